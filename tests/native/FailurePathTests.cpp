// Whole sessions of the settings dialog on a machine or with a player that
// refuses something: the user still gets the documented defaults, every
// dialog still closes, nothing stored is lost and nothing is shown that the
// player did not ask for.
#include "ModuleFixture.h"

#include <functional>

#include "ComponentInfo.h"
#include "ConfigModule.h"
#include "DiagnosticLog.h"
#include "MediaCache.h"
#include "NetworkDialog.h"
#include "ProxySettings.h"
#include "SetupUtils.h"
#include "SystemProxy.h"
#include "resources/resource.h"

namespace {

const char kPlayerDir[] = "C:\\Program Files\\Kestrova\\Player";
const char kModulePath[] = "C:\\Program Files\\Kestrova\\Player\\Config.dll";
const char kLogPath[] = "C:\\Program Files\\Kestrova\\Player\\KestrovaWebPlayer.log";

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

void SetSystemProxy(const std::string& server)
{
    memplat::PutDword(plat::HKeyCurrentUser(), kInternetSettingsKey, "ProxyEnable", 1);
    memplat::PutValue(plat::HKeyCurrentUser(), kInternetSettingsKey, "ProxyServer", plat::kRegSz, Sz(server));
}

std::string Shown(plat::Window dialog, int id) { return memplat::WindowText(plat::GetDlgItem(dialog, id)); }

std::string Describe(const ProxySettings& s)
{
    return std::string(ProxyTypeToName(s.type)) + "|" + s.address + "|" + std::to_string(s.port) + "|" +
           std::to_string(s.auth) + "|" + s.username + "|" + s.password;
}

// Every value of a key as "name=<type>:<bytes>", in the order written.
std::vector<std::string> KeyContents(plat::RegKey root, const std::string& path)
{
    std::vector<std::string> contents;
    for (const std::string& name : memplat::ValueNames(root, path)) {
        plat::Dword type = 0;
        std::string bytes;
        memplat::GetValue(root, path, name, &type, &bytes);
        contents.push_back(name + "=" + std::to_string(type) + ":" + bytes);
    }
    return contents;
}

}  // namespace

class FailurePathTest : public ModuleTest {
protected:
    void SetUp() override
    {
        ModuleTest::SetUp();
        memplat::SetModulePath(kModulePath);
        memplat::PutDirectory(kPlayerDir);
    }
    void Fresh()
    {
        memplat::Reset();
        SetUp();
    }
};

// The user changes a setting and confirms the network dialog on a machine
// where one of the player's keys is out of reach. Both dialogs close as if
// all had worked; what could not be written is left as it was.
TEST_F(FailurePathTest, KeysOutOfReachLoseNothingAndEveryDialogCloses)
{
    struct ReachCase {
        const char* what;
        plat::RegKey root;
        const char* path;
        memplat::KeyAccess access;
        bool displaySaved;
    };
    const ReachCase cases[] = {
        {"HKLM read only", plat::HKeyLocalMachine(), "Software", memplat::KeyAccess::ReadOnly, false},
        {"player key denied", plat::HKeyLocalMachine(), "Software\\Kestrova", memplat::KeyAccess::Denied, false},
        {"per-user key cannot be created", plat::HKeyCurrentUser(), "Software", memplat::KeyAccess::ReadOnly, true},
    };
    for (const ReachCase& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        StoreDword("AutoUpdate", 1);
        StoreDword("RenderEngine", 0);
        SetSystemProxy("proxyhost:8080");
        const std::vector<std::string> displayBefore = KeyContents(plat::HKeyLocalMachine(), kConfigKey);
        memplat::SetKeyAccess(c.root, c.path, c.access);

        std::string offered;
        bool networkEnded = false;
        memplat::SetModalDriver([&](plat::Window dialog, int templateId) {
            if (templateId == IDD_NETWORK) {
                offered = memplat::ComboSelectedText(plat::GetDlgItem(dialog, IDC_PROXY_TYPE)) + "|" +
                          Shown(dialog, IDC_PROXY_HOST) + "|" + Shown(dialog, IDC_PROXY_PORT);
                memplat::Click(dialog, IDC_PROXY_OK);
                networkEnded = memplat::IsDialogEnded(dialog);
                return;
            }
            dialog_ = dialog;
            memplat::Click(dialog, IDC_AUTO_UPDATE);
            SelectDriverEntry("Software Rasterizer");
            memplat::Click(dialog, IDC_NETWORK_SETTINGS);
            EXPECT_FALSE(memplat::IsDialogEnded(dialog)) << "the settings dialog carries on";
            memplat::Click(dialog, IDC_CLOSE);
            dialog_ = nullptr;
        });
        EXPECT_EQ(1, DoConfig(engine().Host(), nullptr));

        EXPECT_EQ("HTTP|proxyhost|8080", offered) << "the system proxy stands in for the unreadable store";
        EXPECT_TRUE(networkEnded) << "OK ends the network dialog although nothing could be stored";
        EXPECT_FALSE(memplat::KeyExists(plat::HKeyCurrentUser(), kProxySettingsKey));
        EXPECT_TRUE(memplat::MessageBoxes().empty());
        if (c.displaySaved) {
            EXPECT_EQ(0u, StoredDword("AutoUpdate"));
            EXPECT_EQ(2u, StoredDword("RenderEngine"));
        } else {
            EXPECT_EQ(displayBefore, KeyContents(plat::HKeyLocalMachine(), kConfigKey));
        }
    }
}

// Missing proxy values are repaired in a fixed order (port, type, address,
// auth, user name, password). When one default cannot be written back the
// read gives up there: the caller's record is untouched, the repairs made
// before it stay, and the next read does not write them again.
TEST_F(FailurePathTest, DefaultThatCannotBeWrittenBackStopsTheRepairThere)
{
    const std::vector<std::string> order = {"proxy_port",     "proxy_type",     "proxy_address",
                                            "proxy_auth",     "proxy_username", "proxy_password"};
    for (std::size_t refused = 0; refused < order.size(); ++refused) {
        SCOPED_TRACE("refused: " + order[refused]);
        Fresh();
        SetSystemProxy("socks5=fallback:1080");
        memplat::FailValueWrites(order[refused], plat::kErrorAccessDenied);
        ProxySettings settings;
        settings.type = ProxyTypeSocks4;
        settings.address = "sentinel";
        settings.port = 77;
        settings.auth = 1;
        settings.username = "u";
        settings.password = "p";

        EXPECT_EQ(0, ReadProxySettings(settings));
        EXPECT_EQ("SOCKS4|sentinel|77|1|u|p", Describe(settings)) << "the record is unchanged";
        const std::vector<std::string> repaired(order.begin(), order.begin() + static_cast<long>(refused));
        EXPECT_EQ(repaired, memplat::ValueNames(plat::HKeyCurrentUser(), kProxySettingsKey));
        EXPECT_EQ(0, memplat::OpenKeyCount());

        memplat::ClearRegistryWrites();
        EXPECT_EQ(0, ReadProxySettings(settings));
        EXPECT_TRUE(memplat::RegistryWrites().empty()) << "first write again: " << memplat::RegistryWrites()[0];
        EXPECT_EQ(repaired, memplat::ValueNames(plat::HKeyCurrentUser(), kProxySettingsKey));

        // The network dialog then offers the system proxy.
        dialog_ = memplat::CreateDialogWindow(IDD_NETWORK, NetworkDlgProc);
        EXPECT_EQ("SOCKS5", memplat::ComboSelectedText(Item(IDC_PROXY_TYPE)));
        EXPECT_EQ("fallback", Shown(dialog_, IDC_PROXY_HOST));
        EXPECT_EQ("1080", Shown(dialog_, IDC_PROXY_PORT));
        memplat::DestroyDialogWindow(dialog_);
        dialog_ = nullptr;
    }
}

// A registry exception is logged; when the log itself cannot be written the
// entry is lost, the reader still answers "not found" and closes its key.
TEST_F(FailurePathTest, RegistryExceptionWithAnUnwritableLogLosesOnlyTheEntry)
{
    struct LogCase {
        const char* what;
        std::function<void()> arrange;
    };
    const LogCase cases[] = {
        {"folder read only", [] { memplat::SetReadOnly(kPlayerDir, true); }},
        {"log locked", [] {
             memplat::PutFile(kLogPath, "older entries\r\n");
             memplat::SetLocked(kLogPath, true);
         }},
        {"module path unreadable", [] { memplat::SetModulePath(""); }},
    };
    for (const LogCase& c : cases) {
        for (const char* function : {"RegQueryValueExA", "RegOpenKeyExA"}) {
            SCOPED_TRACE(std::string(c.what) + ", " + function);
            Fresh();
            memplat::PutValue(plat::HKeyLocalMachine(), "Software\\K", "v", plat::kRegSz, Sz("text"));
            c.arrange();
            const bool logExisted = memplat::PathExists(kLogPath);
            const std::string logBefore = memplat::FileBytes(kLogPath);
            memplat::ThrowOnCall(function);
            std::string out = "before";
            EXPECT_EQ(0, ReadRegistryString(plat::HKeyLocalMachine(), "Software\\K", "v", out));
            EXPECT_EQ("before", out);
            EXPECT_EQ(logExisted, memplat::PathExists(kLogPath));
            EXPECT_EQ(logBefore, memplat::FileBytes(kLogPath));
            EXPECT_EQ(0, memplat::OpenKeyCount());
            EXPECT_EQ(0, memplat::OpenStreamCount());
        }
    }
}

// GetModuleFileNameA fills a 260-byte buffer; a module path that does not
// fit with its NUL cannot locate the cache, and nothing is deleted.
TEST_F(FailurePathTest, LongModulePathsNeverClearAnotherFolder)
{
    struct LongPathCase {
        std::size_t length;
        bool cleared;
    };
    const LongPathCase cases[] = {{258, true}, {259, true}, {260, false}, {300, false}};
    for (const LongPathCase& c : cases) {
        SCOPED_TRACE("module path of " + std::to_string(c.length) + " characters");
        Fresh();
        const std::string directory = "C:\\" + std::string(c.length - 3 - 11, 'p');
        const std::string cached = directory + "\\MediaCache\\scene.k3d";
        memplat::PutFile(cached, "x");
        memplat::SetModulePath(directory + "\\Config.dll");
        BareSettings();

        ClearMediaCache(dialog_);
        LogMessage("entry", nullptr, 0);

        EXPECT_EQ(!c.cleared, memplat::PathExists(cached));
        EXPECT_EQ(c.cleared ? 1u : 0u, memplat::FileOperations().size());
        EXPECT_TRUE(plat::IsWindowEnabled(Item(IDC_DELETE_TEMP_FILES)));
        EXPECT_FALSE(memplat::PathExists(directory + "\\KestrovaWebPlayer.log"))
            << "a log path beyond 259 characters is not written";
        EXPECT_TRUE(memplat::MessageBoxes().empty());
        memplat::DestroyDialogWindow(dialog_);
        dialog_ = nullptr;
    }
}

// A cache file the user's browser still holds open stays where it is: no
// message, the button comes back, and the dialog carries on to save.
TEST_F(FailurePathTest, CacheFileInUseStaysAndTheDialogCarriesOn)
{
    const std::string cache = std::string(kPlayerDir) + "\\MediaCache";
    memplat::PutFile(cache + "\\a_in_use.k3d", "x");
    memplat::PutFile(cache + "\\b_scene.k3d", "x");
    memplat::SetLocked(cache + "\\a_in_use.k3d", true);
    bool buttonBack = false;
    memplat::SetModalDriver([&](plat::Window dialog, int) {
        dialog_ = dialog;
        memplat::Click(dialog, IDC_DELETE_TEMP_FILES);
        buttonBack = plat::IsWindowEnabled(Item(IDC_DELETE_TEMP_FILES)) != 0;
        memplat::Click(dialog, IDC_DELETE_TEMP_FILES);
        SelectDriverEntry("Hardware Rasterizer");
        memplat::Click(dialog, IDC_CLOSE);
        dialog_ = nullptr;
    });
    EXPECT_EQ(1, DoConfig(engine().Host(), nullptr));
    EXPECT_TRUE(buttonBack);
    EXPECT_TRUE(memplat::PathExists(cache + "\\a_in_use.k3d"));
    EXPECT_EQ(2u, memplat::FileOperations().size()) << "the second click tries again";
    EXPECT_TRUE(memplat::MessageBoxes().empty());
    EXPECT_EQ(1u, StoredDword("RenderEngine"));
}

// A player whose engine answers with nulls or impossible counts: the lists
// show what can be shown, a full session runs through every handler, the
// dialog saves and every acquire is released.
TEST_F(FailurePathTest, FaultyPlayerEnginesNeverStopTheDialog)
{
    const std::vector<DisplayMode> modes = {{800, 600, 16, 0}, {640, 480, 16, 0}};
    struct EngineCase {
        const char* what;
        std::vector<sim::SimDriver> drivers;
        std::vector<int> contexts;
        std::function<void(sim::SimEngine&)> fault;
        std::vector<std::string> entries;  // the driver list at the end
        std::uint32_t storedDriver;
        std::string storedResolution;
    };
    sim::SimDriver unnamed = Driver("", 1, 1, modes);
    unnamed.hasName = false;
    const auto none = [](sim::SimEngine&) {};
    const EngineCase cases[] = {
        {"no engine context", StandardDrivers(), {0}, [](sim::SimEngine& e) { e.SetAcquireYieldsNull(true); }, {},
         0xFFFFFFFFu, "640x480"},
        {"no render manager", StandardDrivers(), {0}, [](sim::SimEngine& e) { e.SetHasRenderManager(false); }, {},
         0xFFFFFFFFu, "640x480"},
        {"no driver descriptions", StandardDrivers(), {0}, [](sim::SimEngine& e) {
             for (int i = 0; i < 4; ++i)
                 e.HideDriverDesc(i);
         }, {}, 0xFFFFFFFFu, "640x480"},
        {"driver count -5", StandardDrivers(), {0}, [](sim::SimEngine& e) { e.SetDriverCountOverride(-5); }, {},
         0xFFFFFFFFu, "640x480"},
        {"context count -1", StandardDrivers(), {0}, [](sim::SimEngine& e) { e.SetContextCountOverride(-1); },
         {"Hardware Accelerated T&L", "Hardware Rasterizer", "Software Rasterizer"}, 2, "800x600"},
        {"every context null", StandardDrivers(), {-1, -1}, none,
         {"Hardware Accelerated T&L", "Hardware Rasterizer", "Software Rasterizer"}, 2, "800x600"},
        {"null driver name", {unnamed, Driver("Soft", 0, 1, modes)}, {0}, none, {"", "Soft"}, 1, "800x600"},
    };
    for (const EngineCase& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        NewEngine(c.drivers, c.contexts);
        c.fault(engine());
        std::vector<std::string> entries;
        memplat::SetModalDriver([&](plat::Window dialog, int) {
            dialog_ = dialog;
            memplat::Click(dialog, IDC_FORCE_HARDWARE);
            memplat::Click(dialog, IDC_FORCE_SOFTWARE);
            memplat::Click(dialog, IDC_PAGE_DECIDES);
            entries = Items(IDC_RENDER_DRIVER);
            if (!entries.empty())
                memplat::SelectComboItem(dialog, IDC_RENDER_DRIVER, static_cast<int>(entries.size()) - 1);
            if (!Items(IDC_RESOLUTION).empty())
                memplat::SelectComboItem(dialog, IDC_RESOLUTION, 0);
            memplat::Click(dialog, IDC_CLOSE);
            dialog_ = nullptr;
        });
        EXPECT_EQ(1, DoConfig(engine().Host(), nullptr));
        EXPECT_EQ(c.entries, entries);
        EXPECT_EQ(c.storedDriver, StoredDword("RenderEngine"));
        EXPECT_EQ(c.storedResolution,
                  std::to_string(StoredDword("fsWidth")) + "x" + std::to_string(StoredDword("fsHeight")));
        EXPECT_TRUE(engine().Balanced());
        EXPECT_EQ(0, engine().AcquireDepth());
    }
}

// An installation directory holding damaged libraries and folders named
// like libraries: only readable versions are listed, a folder's own name
// never is, what it holds is, and every search is closed again.
TEST_F(FailurePathTest, DamagedLibrariesAndFoldersNamedLikeThemAreLeftOut)
{
    const std::string install = std::string(kPlayerDir) + "\\";
    memplat::PutValue(plat::HKeyLocalMachine(), kInstallKey, "InstallPath", plat::kRegSz, Sz(install));
    memplat::PutVersionedFile(install + "good.dll", {1, 2, 3, 4, true});
    memplat::PutFile(install + "corrupt.dll", std::string("MZ\x90\x00garbage\xff\xfe", 13));
    memplat::PutFile(install + "x.dll", "");
    memplat::PutDirectory(install + "y.dll");
    memplat::PutDirectory(install + "z.dll");
    memplat::PutVersionedFile(install + "z.dll\\inner.dll", {5, 6, 7, 8, true});
    memplat::PutFile(install + "z.dll\\empty.dll", "");

    OpenSettings();

    const std::vector<std::vector<std::string>> rows = {{"good.dll", "1.2.3.4"}, {"z.dll\\inner.dll", "5.6.7.8"}};
    EXPECT_EQ(rows, memplat::ListViewRows(Item(IDC_INSTALLED_COMPONENTS)));
    EXPECT_EQ(0, memplat::OpenFindCount());
    EXPECT_EQ(0, memplat::GlobalBlockCount());
    EXPECT_TRUE(memplat::MessageBoxes().empty());
}
