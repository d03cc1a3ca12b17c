// WindowContractTests.cpp - window texts, buttons and enabling: what the
// settings and network dialogs of Config.dll do to their controls.
#include "ContractTest.h"

#include <cstring>
#include <string>
#include <vector>

namespace contract {

namespace {

struct Target {
    const char* name;
    int id;  // 0: the dialog itself
};
const Target kTextTargets[] = {
    {"static", kStaticId},
    {"edit", kEditId},
    {"check box", kCheckId},
    {"dialog caption", 0},
};

class WindowContract : public DialogContract {
protected:
    plat::Window TargetWindow(const Target& target) { return target.id == 0 ? dialog_ : Control(target.id); }
};

}  // namespace

TEST_F(WindowContract, GetWindowTextCopiesAtMostMaxCountMinusOneCharsAndANul)
{
    struct Row {
        const char* text;
        int maxCount;
        const char* expected;
    };
    const Row rows[] = {
        {"Hello", 64, "Hello"},
        {"Hello", 6, "Hello"},  // exact fit: five chars and the NUL
        {"Hello", 5, "Hell"},
        {"Hello", 2, "H"},
        {"Hello", 1, ""},
        {"", 64, ""},
        {"8080", 8, "8080"},
    };
    for (const Target& target : kTextTargets) {
        plat::Window window = TargetWindow(target);
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(target.name) + ": \"" + row.text + "\", maxCount " + std::to_string(row.maxCount));
            ASSERT_NE(0, plat::SetWindowTextA(window, row.text));
            char buffer[80];
            std::memset(buffer, '#', sizeof buffer);
            const int copied = plat::GetWindowTextA(window, buffer, row.maxCount);
            EXPECT_EQ(static_cast<int>(std::strlen(row.expected)), copied) << "the count returned";
            EXPECT_EQ(std::string(row.expected), std::string(buffer, std::strlen(row.expected)));
            EXPECT_EQ('\0', buffer[std::strlen(row.expected)]) << "the NUL after the text";
            for (int i = row.maxCount; i < static_cast<int>(sizeof buffer); ++i) {
                ASSERT_EQ('#', buffer[i]) << "byte " << i << " written beyond maxCount " << row.maxCount;
            }
        }
    }
}

TEST_F(WindowContract, SetDlgItemTextReachesTheControl)
{
    for (const Target& target : kTextTargets) {
        if (target.id == 0)
            continue;
        SCOPED_TRACE(target.name);
        EXPECT_NE(0, plat::SetDlgItemTextA(dialog_, target.id, "1.0.0.0"));
        char buffer[32] = "";
        EXPECT_EQ(7, plat::GetWindowTextA(Control(target.id), buffer, sizeof buffer));
        EXPECT_STREQ("1.0.0.0", buffer);
    }
}

TEST_F(WindowContract, CheckDlgButtonSetsOnlyTheAddressedButton)
{
    const int buttons[] = {kCheckId, kRadioAId, kRadioBId, kRadioCId};
    for (int id : buttons)
        EXPECT_EQ(plat::kBstUnchecked, plat::IsDlgButtonChecked(dialog_, id)) << "button " << id << " when created";

    // Unlike a click, CheckDlgButton on a radio button leaves its group
    // mates as they are: the module sets each of the three itself.
    struct Step {
        int id;
        unsigned int check;
        unsigned int expected[4];  // check box, radio A, B, C
    };
    const Step steps[] = {
        {kRadioAId, plat::kBstChecked, {0, 1, 0, 0}},
        {kRadioBId, plat::kBstChecked, {0, 1, 1, 0}},
        {kCheckId, plat::kBstChecked, {1, 1, 1, 0}},
        {kRadioAId, plat::kBstUnchecked, {1, 0, 1, 0}},
        {kRadioCId, plat::kBstChecked, {1, 0, 1, 1}},
        {kCheckId, plat::kBstUnchecked, {0, 0, 1, 1}},
    };
    for (const Step& step : steps) {
        EXPECT_NE(0, plat::CheckDlgButton(dialog_, step.id, step.check));
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(step.expected[i], plat::IsDlgButtonChecked(dialog_, buttons[i]))
                << "button " << buttons[i] << " after CheckDlgButton(" << step.id << ", " << step.check << ")";
            EXPECT_EQ(static_cast<std::intptr_t>(step.expected[i]), plat::ButtonGetCheck(Control(buttons[i])))
                << "BM_GETCHECK of button " << buttons[i] << " after CheckDlgButton(" << step.id << ")";
        }
    }
}

TEST_F(WindowContract, ButtonSetCheckIsSeenByIsDlgButtonChecked)
{
    for (int id : {kCheckId, kRadioAId, kRadioBId}) {
        plat::ButtonSetCheck(Control(id), plat::kBstChecked);
        EXPECT_EQ(plat::kBstChecked, plat::IsDlgButtonChecked(dialog_, id)) << "after BM_SETCHECK(checked) on " << id;
    }
    EXPECT_EQ(plat::kBstChecked, plat::IsDlgButtonChecked(dialog_, kRadioAId)) << "BM_SETCHECK keeps group mates";
    plat::ButtonSetCheck(Control(kRadioBId), plat::kBstUnchecked);
    EXPECT_EQ(plat::kBstUnchecked, plat::IsDlgButtonChecked(dialog_, kRadioBId));
    EXPECT_EQ(static_cast<std::intptr_t>(plat::kBstUnchecked), plat::ButtonGetCheck(Control(kRadioBId)));
}

TEST_F(WindowContract, EnableWindowReturnsWhetherTheWindowWasDisabled)
{
    struct Step {
        bool enable;
        bool wasDisabled;
    };
    const Step steps[] = {{false, false}, {false, true}, {true, true}, {true, false}, {false, false}};
    for (int id : {kEditId, kCheckId, kComboId}) {
        plat::Window window = Control(id);
        EXPECT_NE(0, plat::IsWindowEnabled(window)) << "control " << id << " when created";
        for (const Step& step : steps) {
            EXPECT_EQ(step.wasDisabled, plat::EnableWindow(window, step.enable) != 0)
                << "EnableWindow(" << id << ", " << step.enable << ") returns the previous disabled state";
            EXPECT_EQ(step.enable, plat::IsWindowEnabled(window) != 0) << "IsWindowEnabled(" << id << ")";
        }
    }
}

TEST_F(WindowContract, GetDlgItemFindsEachControlAndNothingForAMissingId)
{
    std::vector<plat::Window> found;
    for (const ControlDef& control : TestDialogControls()) {
        plat::Window window = plat::GetDlgItem(dialog_, control.id);
        EXPECT_NE(nullptr, window) << "GetDlgItem(" << control.id << ")";
        for (plat::Window other : found)
            EXPECT_NE(other, window) << "GetDlgItem(" << control.id << ") gave another control's window";
        found.push_back(window);
    }
    EXPECT_EQ(nullptr, plat::GetDlgItem(dialog_, kMissingId));
}

}  // namespace contract
