// ComboBoxContractTests.cpp - the drop-down lists of the settings dialog
// (render drivers and resolutions): unsorted, filled with CB_ADDSTRING,
// searched with CB_FINDSTRING and tagged with item data.
#include "ContractTest.h"

#include <string>
#include <vector>

namespace contract {

namespace {

class ComboBoxContract : public DialogContract {
protected:
    void SetUp() override
    {
        DialogContract::SetUp();
        if (dialog_ != nullptr)
            combo_ = Control(kComboId);
        ASSERT_NE(nullptr, combo_);
    }
    void Fill(const std::vector<std::string>& items)
    {
        for (const std::string& item : items)
            plat::ComboAddString(combo_, item.c_str());
    }
    std::string ItemText(std::intptr_t index)
    {
        const std::intptr_t length = plat::ComboGetLBTextLen(combo_, index);
        if (length < 0)
            return "<CB_ERR>";
        std::string text(static_cast<std::size_t>(length) + 1, '#');
        const std::intptr_t copied = plat::ComboGetLBText(combo_, index, &text[0]);
        EXPECT_EQ(length, copied) << "CB_GETLBTEXT and CB_GETLBTEXTLEN of item " << index;
        EXPECT_EQ('\0', text[static_cast<std::size_t>(length)]) << "CB_GETLBTEXT ends the text with a NUL";
        text.resize(static_cast<std::size_t>(length));
        return text;
    }
    std::vector<std::string> Items()
    {
        std::vector<std::string> items;
        const std::intptr_t count = plat::ComboGetCount(combo_);
        for (std::intptr_t i = 0; i < count; ++i)
            items.push_back(ItemText(i));
        return items;
    }

    plat::Window combo_ = nullptr;
};

std::string Joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : "|") + item;
    return text;
}

}  // namespace

TEST_F(ComboBoxContract, AddStringAppendsInCallOrderAndReturnsTheIndex)
{
    EXPECT_EQ(0, plat::ComboGetCount(combo_));
    const std::vector<std::string> items = {"Software", "Direct3D", "", "OpenGL", "direct3d"};
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(static_cast<std::intptr_t>(i), plat::ComboAddString(combo_, items[i].c_str())) << items[i];
    EXPECT_EQ(static_cast<std::intptr_t>(items.size()), plat::ComboGetCount(combo_));
    EXPECT_EQ(Joined(items), Joined(Items())) << "an unsorted list keeps the order of the calls";
}

TEST_F(ComboBoxContract, FindStringIsACaseInsensitivePrefixSearchThatWraps)
{
    Fill({"Software Renderer", "soft", "Hardware", "SOFTWARE", "1024x768", "102"});
    struct Row {
        std::intptr_t startAfter;
        const char* text;
        std::intptr_t expected;
    };
    const Row rows[] = {
        // From the top (-1): the first item the text begins.
        {-1, "soft", 0},
        {-1, "SOFT", 0},
        {-1, "software r", 0},
        {-1, "hard", 2},
        {-1, "HARDWARE", 2},
        {-1, "102", 4},                         // a prefix, not an exact match
        {-1, "1024x768", 4},
        {-1, "Software Renderer 2", plat::kCbErr},  // longer than every item
        {-1, "ware", plat::kCbErr},             // inside an item, not at its start
        {-1, "x", plat::kCbErr},
        {-1, "", plat::kCbErr},
        // After an item: the search begins below it and wraps to the top.
        {0, "soft", 1},
        {1, "soft", 3},
        {3, "soft", 0},
        {2, "hard", 2},                         // wraps back to the item itself
        {4, "102", 5},
        {5, "102", 4},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.expected, plat::ComboFindString(combo_, row.startAfter, row.text))
            << "CB_FINDSTRING(" << row.startAfter << ", \"" << row.text << "\") in " << Joined(Items());
    }
}

TEST_F(ComboBoxContract, FindStringInAnEmptyListFails)
{
    EXPECT_EQ(plat::kCbErr, plat::ComboFindString(combo_, -1, "640x480"));
}

TEST_F(ComboBoxContract, SelectionFollowsSetCurSelAndIsClearedByMinusOneAndReset)
{
    EXPECT_EQ(plat::kCbErr, plat::ComboGetCurSel(combo_)) << "no selection in a new list";
    EXPECT_EQ(plat::kCbErr, plat::ComboSetCurSel(combo_, 0)) << "selecting in an empty list";
    Fill({"640x480", "800x600", "1024x768"});
    EXPECT_EQ(plat::kCbErr, plat::ComboGetCurSel(combo_)) << "adding items selects nothing";

    struct Step {
        std::intptr_t index;
        std::intptr_t returned;
        std::intptr_t selected;
    };
    const Step steps[] = {
        {1, 1, 1},
        {2, 2, 2},
        {-1, plat::kCbErr, plat::kCbErr},  // -1 clears the selection
        {0, 0, 0},
        {0, 0, 0},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(step.returned, plat::ComboSetCurSel(combo_, step.index)) << "CB_SETCURSEL(" << step.index << ")";
        EXPECT_EQ(step.selected, plat::ComboGetCurSel(combo_)) << "CB_GETCURSEL after CB_SETCURSEL(" << step.index << ")";
    }
    // An index past the end fails. What happens to the selection then is
    // left open: Windows documents it as cleared, Wine 8 keeps it. The
    // module never selects past the end of a list that has items.
    for (std::intptr_t index : {std::intptr_t(3), std::intptr_t(100)})
        EXPECT_EQ(plat::kCbErr, plat::ComboSetCurSel(combo_, index)) << "CB_SETCURSEL(" << index << ")";

    plat::ComboSetCurSel(combo_, 1);
    plat::ComboResetContent(combo_);
    EXPECT_EQ(0, plat::ComboGetCount(combo_)) << "CB_RESETCONTENT empties the list";
    EXPECT_EQ(plat::kCbErr, plat::ComboGetCurSel(combo_)) << "CB_RESETCONTENT clears the selection";
    EXPECT_EQ(0, plat::ComboAddString(combo_, "320x200")) << "after CB_RESETCONTENT items start at 0 again";
    EXPECT_EQ(plat::kCbErr, plat::ComboGetCurSel(combo_));
}

TEST_F(ComboBoxContract, ItemDataRoundTripsAndInvalidIndexesFail)
{
    Fill({"Software", "Direct3D", "OpenGL"});
    for (std::intptr_t i = 0; i < 3; ++i)
        EXPECT_EQ(0, plat::ComboGetItemData(combo_, i)) << "item data of new item " << i;

    const std::intptr_t data[] = {7, 0, 0x12345678};
    for (std::intptr_t i = 0; i < 3; ++i)
        EXPECT_NE(plat::kCbErr, plat::ComboSetItemData(combo_, i, data[i])) << "CB_SETITEMDATA(" << i << ")";
    plat::ComboAddString(combo_, "Later");
    for (std::intptr_t i = 0; i < 3; ++i)
        EXPECT_EQ(data[i], plat::ComboGetItemData(combo_, i)) << "item data of item " << i;
    EXPECT_EQ(0, plat::ComboGetItemData(combo_, 3)) << "item data of the later item";

    for (std::intptr_t invalid : {std::intptr_t(-1), std::intptr_t(4), std::intptr_t(1000)}) {
        EXPECT_EQ(plat::kCbErr, plat::ComboGetItemData(combo_, invalid)) << "CB_GETITEMDATA(" << invalid << ")";
        EXPECT_EQ(plat::kCbErr, plat::ComboSetItemData(combo_, invalid, 5)) << "CB_SETITEMDATA(" << invalid << ")";
    }
    for (std::intptr_t i = 0; i < 3; ++i)
        EXPECT_EQ(data[i], plat::ComboGetItemData(combo_, i)) << "item data of item " << i << " after failed sets";
    // The selection the module reads item data through: none gives CB_ERR.
    EXPECT_EQ(plat::kCbErr, plat::ComboGetItemData(combo_, plat::ComboGetCurSel(combo_)));
}

TEST_F(ComboBoxContract, ItemTextAndLengthAndInvalidIndexesFail)
{
    Fill({"Direct3D HAL", "", "x"});
    EXPECT_EQ("Direct3D HAL", ItemText(0));
    EXPECT_EQ("", ItemText(1));
    EXPECT_EQ("x", ItemText(2));
    for (std::intptr_t invalid : {std::intptr_t(-1), std::intptr_t(3), std::intptr_t(1000)}) {
        EXPECT_EQ(plat::kCbErr, plat::ComboGetLBTextLen(combo_, invalid)) << "CB_GETLBTEXTLEN(" << invalid << ")";
        char buffer[16] = "untouched";
        EXPECT_EQ(plat::kCbErr, plat::ComboGetLBText(combo_, invalid, buffer)) << "CB_GETLBTEXT(" << invalid << ")";
        EXPECT_STREQ("untouched", buffer) << "CB_GETLBTEXT(" << invalid << ") wrote into the buffer";
    }
}

}  // namespace contract
