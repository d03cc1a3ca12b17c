// The settings dialog as the player sees it: DoConfig, the dialog's
// initialisation order and the routing of the user's commands.
#include "ModuleFixture.h"

#include <functional>

#include "ConfigModule.h"
#include "SettingsDialog.h"
#include "resources/resource.h"

namespace {

// Runs DoConfig with the user's actions played inside the modal loop.
int RunDoConfig(PlayerHost* host, const std::function<void(plat::Window)>& user)
{
    memplat::SetModalDriver([&](plat::Window dialog, int templateId) {
        if (templateId == IDD_SETTINGS)
            user(dialog);
    });
    return DoConfig(host, nullptr);
}

}  // namespace

TEST_F(ModuleTest, EveryWayOfClosingReturnsOneAndOnlyCloseAndEnterSave)
{
    struct CloseCase {
        const char* what;
        std::function<void(plat::Window)> close;
        bool saves;
    };
    const CloseCase cases[] = {
        {"the Close button", [](plat::Window d) { memplat::Click(d, IDC_CLOSE); }, true},
        {"Enter", [](plat::Window d) { memplat::PressEnter(d); }, true},
        {"Esc", [](plat::Window d) { memplat::PressEscape(d); }, false},
    };
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.what);
        memplat::Reset();
        SetUp();
        StoreDword("AutoUpdate", 1);
        StoreDword("Set32bits", 0);
        std::intptr_t procResult = -7;
        const int result = RunDoConfig(engine().Host(), [&](plat::Window dialog) {
            EXPECT_EQ(0, memplat::LastProcResult(dialog)) << "WM_INITDIALOG returns FALSE";
            memplat::Click(dialog, IDC_AUTO_UPDATE);
            memplat::Click(dialog, IDC_USE_32BIT_COLOR);
            EXPECT_EQ(0, memplat::LastProcResult(dialog)) << "a click that does not end the dialog returns FALSE";
            c.close(dialog);
            procResult = memplat::LastProcResult(dialog);
        });
        EXPECT_EQ(1, result);
        EXPECT_EQ(1, procResult) << "the paths that end the dialog return TRUE";
        EXPECT_EQ(c.saves ? 0u : 1u, StoredDword("AutoUpdate"));
        EXPECT_EQ(c.saves ? 1u : 0u, StoredDword("Set32bits"));
        EXPECT_EQ(c.saves ? 6u : 2u, memplat::ValueNames(plat::HKeyLocalMachine(), kConfigKey).size());
        EXPECT_EQ(engine().Host(), CurrentPlayerHost);
    }
}

TEST_F(ModuleTest, ContextZerosDriverWinsAtOpeningOverTheStoredOne)
{
    StoreDword("RenderEngine", 1);
    StoreDword("fsWidth", 1600);
    StoreDword("fsHeight", 1200);
    NewEngine(StandardDrivers(), {2, 0});
    RunDoConfig(engine().Host(), [&](plat::Window dialog) {
        dialog_ = dialog;
        EXPECT_EQ("Software Rasterizer", Selected(IDC_RENDER_DRIVER));
        EXPECT_EQ(std::vector<std::string>({"1024x768", "1600x1200"}), Items(IDC_RESOLUTION))
            << "the resolution list stays the one built for the stored driver";
        EXPECT_EQ("1600x1200", Selected(IDC_RESOLUTION));
        memplat::PressEscape(dialog);
        dialog_ = nullptr;
    });
    EXPECT_TRUE(Switches().empty()) << "opening the dialog switches no driver";
    EXPECT_EQ(0, engine().AcquireDepth());
}

TEST_F(ModuleTest, OnlyRealSelectionsAndRadioClicksReachTheEngine)
{
    struct CommandCase {
        const char* what;
        int id;
        unsigned int notification;
        bool switchesDriver;
    };
    const unsigned int kCbnDropDown = 7, kCbnCloseUp = 8, kBnDoubleClicked = 5;
    const CommandCase cases[] = {
        {"driver list opened", IDC_RENDER_DRIVER, kCbnDropDown, false},
        {"driver list closed", IDC_RENDER_DRIVER, kCbnCloseUp, false},
        {"driver selected", IDC_RENDER_DRIVER, plat::kCbnSelChange, true},
        {"resolution selected", IDC_RESOLUTION, plat::kCbnSelChange, false},
        {"software radio, any notification", IDC_FORCE_SOFTWARE, kBnDoubleClicked, true},
        {"network settings (not routed yet)", IDC_NETWORK_SETTINGS, plat::kBnClicked, false},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.what);
        memplat::Reset();
        SetUp();
        OpenSettings();
        // Software forced while a hardware driver is listed: a render-mode
        // change must switch the engine.
        plat::CheckDlgButton(dialog_, IDC_FORCE_SOFTWARE, plat::kBstChecked);
        engine().ClearJournal();
        EXPECT_EQ(0, memplat::SendCommand(dialog_, c.id, c.notification));
        // Two contexts, four calls each.
        EXPECT_EQ(c.switchesDriver ? 8u : 0u, Switches().size());
        EXPECT_FALSE(memplat::IsDialogEnded(dialog_));
        memplat::DestroyDialogWindow(dialog_);
        dialog_ = nullptr;
    }
}

TEST_F(ModuleTest, DoConfigReturnsTheFailureWhenTheDialogCannotBeCreated)
{
    memplat::Reset();  // no templates: the dialog cannot be created
    EXPECT_EQ(-1, DoConfig(engine().Host(), nullptr));
    EXPECT_EQ(engine().Host(), CurrentPlayerHost);
    EXPECT_TRUE(engine().Journal().empty());
}

TEST_F(ModuleTest, NoPlayerHostMeansEmptyListsAndNoCrash)
{
    const int result = RunDoConfig(nullptr, [&](plat::Window dialog) {
        dialog_ = dialog;
        EXPECT_TRUE(Items(IDC_RENDER_DRIVER).empty());
        memplat::Click(dialog, IDC_FORCE_HARDWARE);
        memplat::PressEnter(dialog);
        dialog_ = nullptr;
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0xFFFFFFFFu, StoredDword("RenderEngine"));
    EXPECT_EQ(1u, StoredDword("ForceRenderMode"));
}
