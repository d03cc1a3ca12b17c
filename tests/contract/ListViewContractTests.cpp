// ListViewContractTests.cpp - the "Installed Components" report list of the
// settings dialog: LVS_SORTASCENDING places each new row by its text, and
// the module fills the second column through the index the insertion
// returns.
#include "ContractTest.h"

#include <string>
#include <vector>

namespace contract {

namespace {

class ListViewContract : public DialogContract {
protected:
    void SetUp() override
    {
        DialogContract::SetUp();
        if (dialog_ != nullptr)
            list_ = Control(kListId);
        ASSERT_NE(nullptr, list_);
        ASSERT_EQ(0, plat::ListViewInsertColumn(list_, 0, 120, "Component"));
        ASSERT_EQ(1, plat::ListViewInsertColumn(list_, 1, 80, "Version"));
    }
    std::string Text(int row, int column)
    {
        char buffer[64] = "";
        const std::intptr_t length = plat::ListViewGetItemText(list_, row, column, buffer, sizeof buffer);
        EXPECT_EQ(static_cast<std::intptr_t>(std::string(buffer).size()), length)
            << "LVM_GETITEMTEXTA length of row " << row << ", column " << column;
        return buffer;
    }
    // Every row as "text=subitem", in display order.
    std::string Rows()
    {
        std::string rows;
        const std::intptr_t count = plat::ListViewGetItemCount(list_);
        for (int row = 0; row < static_cast<int>(count); ++row)
            rows += (rows.empty() ? "" : " | ") + Text(row, 0) + "=" + Text(row, 1);
        return rows;
    }
    // Inserts a row and sets its second column through the returned index,
    // as the module does.
    std::intptr_t Insert(int givenIndex, const char* text, const char* detail)
    {
        const std::intptr_t index = plat::ListViewInsertItem(list_, givenIndex, text);
        EXPECT_NE(-1, index) << "LVM_INSERTITEMA(\"" << text << "\")";
        EXPECT_NE(0, plat::ListViewSetItemText(list_, static_cast<int>(index), 1, detail))
            << "LVM_SETITEMTEXTA on row " << index;
        return index;
    }

    plat::Window list_ = nullptr;
};

}  // namespace

TEST_F(ListViewContract, InsertionIgnoresTheGivenIndexAndReturnsTheSortedOne)
{
    struct Step {
        int givenIndex;
        const char* text;
        std::intptr_t expected;
        const char* rowsAfter;
    };
    // Case-insensitive text order: "Zeta" after "alpha", "10" before "9", a
    // shorter text before a longer one it begins.
    const Step steps[] = {
        {0, "Player", 0, "Player=v:Player"},
        {0, "Zeta", 1, "Player=v:Player | Zeta=v:Zeta"},
        {5, "alpha", 0, "alpha=v:alpha | Player=v:Player | Zeta=v:Zeta"},
        {0, "9", 0, "9=v:9 | alpha=v:alpha | Player=v:Player | Zeta=v:Zeta"},
        {99, "10", 0, "10=v:10 | 9=v:9 | alpha=v:alpha | Player=v:Player | Zeta=v:Zeta"},
        {0, "BETA", 3, "10=v:10 | 9=v:9 | alpha=v:alpha | BETA=v:BETA | Player=v:Player | Zeta=v:Zeta"},
        {1, "plugin", 5,
         "10=v:10 | 9=v:9 | alpha=v:alpha | BETA=v:BETA | Player=v:Player | plugin=v:plugin | Zeta=v:Zeta"},
        {0, "player core", 5,
         "10=v:10 | 9=v:9 | alpha=v:alpha | BETA=v:BETA | Player=v:Player | player core=v:player core | "
         "plugin=v:plugin | Zeta=v:Zeta"},
    };
    int count = 0;
    for (const Step& step : steps) {
        const std::string detail = std::string("v:") + step.text;
        EXPECT_EQ(step.expected, Insert(step.givenIndex, step.text, detail.c_str()))
            << "index returned for \"" << step.text << "\" given index " << step.givenIndex;
        EXPECT_EQ(++count, plat::ListViewGetItemCount(list_));
        EXPECT_EQ(step.rowsAfter, Rows()) << "rows after inserting \"" << step.text << "\"";
    }
}

// The list compares whole texts in locale order: letters first without
// regard to case, then, for texts that differ only in case, the lower-case
// one first. A text equal to an existing one goes before it.
TEST_F(ListViewContract, TextsDifferingOnlyInCaseAreOrderedLowerCaseFirstAndAnEqualTextGoesFirst)
{
    struct Step {
        const char* text;
        const char* detail;
        std::intptr_t expected;
    };
    const Step steps[] = {
        {"Direct3D", "first", 0},
        {"Software", "other", 1},
        {"DIRECT3D", "second", 1},  // after "Direct3D": 'i' sorts before 'I'
        {"direct3d", "third", 0},   // before "Direct3D": 'd' sorts before 'D'
        {"Software", "again", 3},   // equal text: before the existing one
        {"software", "lower", 3},
    };
    for (const Step& step : steps)
        EXPECT_EQ(step.expected, Insert(0, step.text, step.detail)) << "index returned for \"" << step.text << "\"";
    EXPECT_EQ("direct3d=third | Direct3D=first | DIRECT3D=second | software=lower | Software=again | Software=other",
              Rows());
}

TEST_F(ListViewContract, SetItemTextChangesOnlyTheAddressedRowAndColumn)
{
    Insert(0, "b", "1");
    Insert(0, "a", "2");
    Insert(0, "c", "3");
    EXPECT_NE(0, plat::ListViewSetItemText(list_, 1, 1, "changed"));
    EXPECT_NE(0, plat::ListViewSetItemText(list_, 2, 0, "d"));
    EXPECT_EQ("a=2 | b=changed | d=3", Rows());
}

}  // namespace contract
