// Every public operation of the module, on its ordinary path and on the
// failure paths a browser process can meet (keys missing or out of reach,
// exceptions from the platform, no memory for a version block, files
// missing, no module path, a faulty player), must give back every registry
// key, log stream, directory search and memory block it took, and leave
// the player's AcquireContext/ReleaseContext pairs balanced. One table: a
// row is one operation on one path, with the outcome that proves the path
// was really taken.
#include "ModuleFixture.h"

#include <functional>
#include <stdexcept>

#include "ComponentInfo.h"
#include "ConfigModule.h"
#include "DiagnosticLog.h"
#include "DisplaySettings.h"
#include "MediaCache.h"
#include "MemoryDialogs.h"
#include "NetworkDialog.h"
#include "ProxySettings.h"
#include "RenderLists.h"
#include "SetupUtils.h"
#include "SystemProxy.h"
#include "resources/resource.h"

namespace {

const char kPlayerDir[] = "C:\\Program Files\\Kestrova\\Player";
const char kModulePath[] = "C:\\Program Files\\Kestrova\\Player\\Config.dll";
const char kLogPath[] = "C:\\Program Files\\Kestrova\\Player\\KestrovaWebPlayer.log";
const char kCacheDir[] = "C:\\Program Files\\Kestrova\\Player\\MediaCache";
const char kControlPath[] = "C:\\Program Files\\Kestrova\\Player\\ctl.dll";
const char kNetscapeDir[] = "C:\\Netscape";

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

// A complete installation: stored display settings and proxy, a system
// proxy, the control and a plug-in registered with versions, libraries in
// the installation directory (one in a subdirectory, one without version
// information) and a filled media cache.
void SeedInstallation()
{
    const plat::RegKey hklm = plat::HKeyLocalMachine();
    const plat::RegKey hkcu = plat::HKeyCurrentUser();
    memplat::SetModulePath(kModulePath);
    memplat::PutDirectory(kPlayerDir);

    memplat::PutDword(hklm, kDisplaySettingsKey, "AutoUpdate", 0);
    memplat::PutDword(hklm, kDisplaySettingsKey, "RenderEngine", 1);
    memplat::PutDword(hklm, kDisplaySettingsKey, "fsWidth", 1024);
    memplat::PutDword(hklm, kDisplaySettingsKey, "fsHeight", 768);
    memplat::PutDword(hklm, kDisplaySettingsKey, "Set32bits", 1);
    memplat::PutDword(hklm, kDisplaySettingsKey, "ForceRenderMode", 0);

    memplat::PutValue(hkcu, kProxySettingsKey, "proxy_type", plat::kRegSz, Sz("HTTP"));
    memplat::PutValue(hkcu, kProxySettingsKey, "proxy_address", plat::kRegSz, Sz("gate"));
    memplat::PutDword(hkcu, kProxySettingsKey, "proxy_port", 3128);
    memplat::PutDword(hkcu, kProxySettingsKey, "proxy_auth", 1);
    memplat::PutValue(hkcu, kProxySettingsKey, "proxy_username", plat::kRegSz, Sz("anna"));
    memplat::PutValue(hkcu, kProxySettingsKey, "proxy_password", plat::kRegSz, Sz("pw"));
    memplat::PutDword(hkcu, kInternetSettingsKey, "ProxyEnable", 1);
    memplat::PutValue(hkcu, kInternetSettingsKey, "ProxyServer", plat::kRegSz, Sz("proxyhost:8080"));

    memplat::PutValue(plat::HKeyClassesRoot(), kControlServerKey, "", plat::kRegSz, Sz(kControlPath));
    memplat::PutVersionedFile(kControlPath, {1, 2, 3, 4, true});
    memplat::PutValue(hklm, "SOFTWARE\\Netscape\\Netscape", "CurrentVersion", plat::kRegSz, Sz("4.7"));
    memplat::PutValue(hklm, "SOFTWARE\\Netscape\\Netscape\\4.7\\Main", "Install Directory", plat::kRegSz,
                      Sz(kNetscapeDir));
    memplat::PutVersionedFile(std::string(kNetscapeDir) + "\\plugins\\zaredazaro.dll", {5, 0, 0, 9, true});

    memplat::PutValue(hklm, kInstallKey, "InstallPath", plat::kRegSz, Sz(kPlayerDir));
    memplat::PutVersionedFile(std::string(kPlayerDir) + "\\alpha.dll", {2, 0, 0, 1, true});
    memplat::PutVersionedFile(std::string(kPlayerDir) + "\\sub\\beta.dll", {3, 1, 0, 0, true});
    memplat::PutFile(std::string(kPlayerDir) + "\\plain.dll", "MZ");

    memplat::PutFile(std::string(kCacheDir) + "\\scene.k3d", "x");
    memplat::PutFile(std::string(kCacheDir) + "\\textures\\wood.jpg", "x");
}

// What the network dialog shows: type|host|port|user.
std::string NetworkShown(plat::Window dialog)
{
    return memplat::ComboSelectedText(plat::GetDlgItem(dialog, IDC_PROXY_TYPE)) + "|" +
           memplat::WindowText(plat::GetDlgItem(dialog, IDC_PROXY_HOST)) + "|" +
           memplat::WindowText(plat::GetDlgItem(dialog, IDC_PROXY_PORT)) + "|" +
           memplat::WindowText(plat::GetDlgItem(dialog, IDC_PROXY_USERNAME));
}

std::string ProxyText(int result, const ProxySettings& s)
{
    return std::to_string(result) + " " + ProxyTypeToName(s.type) + "|" + s.address + "|" + std::to_string(s.port) +
           "|" + std::to_string(s.auth) + "|" + s.username;
}

}  // namespace

class ResourceBalanceTest : public ModuleTest {
public:
    // The table's rows act on the fixture through these.
    using ModuleTest::BareSettings;
    using ModuleTest::Item;
    using ModuleTest::Items;
    using ModuleTest::Selected;
    using ModuleTest::dialog_;
    using ModuleTest::engine;

    // Everything back to a fresh installation and a fresh player.
    void Fresh()
    {
        if (dialog_ != nullptr)
            memplat::DestroyDialogWindow(dialog_);
        dialog_ = nullptr;
        memplat::Reset();
        RegisterModuleDialogs();
        NewEngine(StandardDrivers(), {0, 0});
        SeedInstallation();
    }
    plat::Window BareNetwork()
    {
        dialog_ = memplat::CreateDialogWindow(IDD_NETWORK, nullptr);
        return dialog_;
    }
    std::string DriverEntries() const { return std::to_string(Items(IDC_RENDER_DRIVER).size()) + " drivers"; }
    std::string Resolutions() const { return std::to_string(Items(IDC_RESOLUTION).size()) + " resolutions"; }
    std::string ComponentRows() const
    {
        return std::to_string(memplat::ListViewRows(Item(IDC_INSTALLED_COMPONENTS)).size()) + " rows";
    }
    // DoConfig as a user plays it: optionally the network dialog opened and
    // cancelled, then "&Close".
    std::string RunDoConfig(PlayerHost* host, bool openNetwork)
    {
        std::string network = "network not opened";
        memplat::SetModalDriver([&](plat::Window dialog, int templateId) {
            if (templateId == IDD_NETWORK) {
                network = NetworkShown(dialog);
                memplat::Click(dialog, IDC_PROXY_CANCEL);
                return;
            }
            if (openNetwork)
                memplat::Click(dialog, IDC_NETWORK_SETTINGS);
            memplat::Click(dialog, IDC_CLOSE);
        });
        const int result = DoConfig(host, nullptr);
        return std::to_string(result) + " " + network;
    }
};

TEST_F(ResourceBalanceTest, EveryOperationGivesBackWhatItTookOnEveryPath)
{
    typedef std::function<void(ResourceBalanceTest&)> Arrange;
    typedef std::function<std::string(ResourceBalanceTest&)> Act;
    struct BalanceCase {
        const char* operation;
        const char* path;
        Arrange arrange;
        Act act;
        std::string outcome;  // "threw" when the injected exception left the operation
        int keysLeftOpen;
    };
    const Arrange nothing = [](ResourceBalanceTest&) {};
    const Arrange hklmDenied = [](ResourceBalanceTest&) {
        memplat::SetKeyAccess(plat::HKeyLocalMachine(), "Software", memplat::KeyAccess::Denied);
    };
    const Arrange hklmReadOnly = [](ResourceBalanceTest&) {
        memplat::SetKeyAccess(plat::HKeyLocalMachine(), "Software", memplat::KeyAccess::ReadOnly);
    };
    const Arrange noKeys = [](ResourceBalanceTest&) {
        memplat::DeleteKey(plat::HKeyLocalMachine(), "Software");
        memplat::DeleteKey(plat::HKeyLocalMachine(), "SOFTWARE");
        memplat::DeleteKey(plat::HKeyCurrentUser(), "Software");
        memplat::DeleteKey(plat::HKeyClassesRoot(), "CLSID");
    };
    const Arrange noModulePath = [](ResourceBalanceTest&) { memplat::SetModulePath(""); };
    const Arrange throwOnQuery = [](ResourceBalanceTest&) { memplat::ThrowOnCall("RegQueryValueExA"); };
    const Arrange throwOnOpen = [](ResourceBalanceTest&) { memplat::ThrowOnCall("RegOpenKeyExA"); };

    const Act load = [](ResourceBalanceTest& t) {
        LoadDisplaySettings(t.BareSettings());
        return t.DriverEntries() + ", " + t.Selected(IDC_RESOLUTION);
    };
    const Act save = [](ResourceBalanceTest& t) {
        LoadDisplaySettings(t.BareSettings());
        memplat::ClearRegistryWrites();
        SaveDisplaySettings(t.dialog_);
        return std::to_string(memplat::RegistryWrites().size()) + " writes";
    };
    const Act readProxy = [](ResourceBalanceTest&) {
        ProxySettings s;
        const int result = ReadProxySettings(s);
        return ProxyText(result, s);
    };
    const Act writeProxy = [](ResourceBalanceTest&) {
        ProxySettings s;
        s.type = ProxyTypeSocks5;
        s.address = "socks.local";
        s.port = 1080;
        return std::to_string(WriteProxySettings(s));
    };
    const Act systemProxy = [](ResourceBalanceTest&) {
        ProxyType type = ProxyTypeNone;
        std::string address;
        std::int32_t port = 0;
        const int result = ReadSystemProxy(type, address, port);
        return std::to_string(result) + " " + address + ":" + std::to_string(port);
    };
    const Act initNetwork = [](ResourceBalanceTest& t) {
        InitNetworkDialog(t.BareNetwork());
        return NetworkShown(t.dialog_);
    };
    const Act saveNetwork = [](ResourceBalanceTest& t) {
        InitNetworkDialog(t.BareNetwork());
        memplat::ClearRegistryWrites();
        SaveNetworkDialog(t.dialog_);
        return std::to_string(memplat::RegistryWrites().size()) + " writes";
    };
    const Act clearCache = [](ResourceBalanceTest& t) {
        ClearMediaCache(t.BareSettings());
        return std::to_string(memplat::ListTree(kCacheDir).size()) + " left, button " +
               (plat::IsWindowEnabled(t.Item(IDC_DELETE_TEMP_FILES)) ? "on" : "off");
    };
    const Act readString = [](ResourceBalanceTest&) {
        std::string out = "none";
        const int result = ReadRegistryString(plat::HKeyClassesRoot(), kControlServerKey, nullptr, out);
        return std::to_string(result) + " " + out;
    };
    const Act fileVersion = [](ResourceBalanceTest&) {
        std::string out;
        const int result = GetFileVersionString(kControlPath, out);
        return std::to_string(result) + " " + out;
    };
    const Act components = [](ResourceBalanceTest& t) {
        FillComponentInfo(t.BareSettings());
        return memplat::WindowText(t.Item(IDC_IE_VERSION)) + ", " + t.ComponentRows();
    };
    const Act logLine = [](ResourceBalanceTest&) {
        LogMessage("entry", "a\\b.cpp", 7);
        return std::to_string(memplat::FileBytes(kLogPath).size()) + " bytes";
    };
    const Act fillDrivers = [](ResourceBalanceTest& t) {
        FillDriverList(t.BareSettings(), RenderModePageDecides);
        return t.DriverEntries();
    };
    const Act driverChanged = [](ResourceBalanceTest& t) {
        FillDriverList(t.BareSettings(), RenderModePageDecides);
        if (!t.Items(IDC_RENDER_DRIVER).empty())
            plat::ComboSetCurSel(t.Item(IDC_RENDER_DRIVER), 1);
        OnDriverChanged(t.dialog_);
        return t.Resolutions();
    };
    const Act modeChanged = [](ResourceBalanceTest& t) {
        LoadDisplaySettings(t.BareSettings());
        plat::CheckDlgButton(t.dialog_, IDC_PAGE_DECIDES, plat::kBstUnchecked);
        plat::CheckDlgButton(t.dialog_, IDC_FORCE_SOFTWARE, plat::kBstChecked);
        OnRenderModeChanged(t.dialog_);
        return t.DriverEntries();
    };
    const Act doConfigClosed = [](ResourceBalanceTest& t) { return t.RunDoConfig(t.engine().Host(), false); };
    const Act doConfigNetwork = [](ResourceBalanceTest& t) { return t.RunDoConfig(t.engine().Host(), true); };

    const BalanceCase cases[] = {
        {"LoadDisplaySettings", "stored values", nothing, load, "3 drivers, 1024x768", 0},
        {"LoadDisplaySettings", "no key", noKeys, load, "3 drivers, 640x480", 0},
        {"LoadDisplaySettings", "key denied", hklmDenied, load, "3 drivers, 640x480", 0},
        {"LoadDisplaySettings", "query throws", throwOnQuery, load, "threw", 0},
        {"SaveDisplaySettings", "stored", nothing, save, "6 writes", 0},
        {"SaveDisplaySettings", "HKLM read only", hklmReadOnly, save, "0 writes", 0},
        {"SaveDisplaySettings", "HKLM denied, no key", [&](ResourceBalanceTest& t) { noKeys(t), hklmDenied(t); },
         save, "0 writes", 0},
        {"SaveDisplaySettings", "write throws", [](ResourceBalanceTest&) { memplat::ThrowOnCall("RegSetValueExA", 2); },
         save, "threw", 0},
        {"ReadProxySettings", "stored", nothing, readProxy, "1 HTTP|gate|3128|1|anna", 0},
        {"ReadProxySettings", "nothing stored: repaired", noKeys, readProxy, "1 NONE||0|0|", 0},
        {"ReadProxySettings", "HKLM denied", hklmDenied, readProxy, "0 NONE||0|0|", 0},
        {"ReadProxySettings", "per-user key read only and missing", [](ResourceBalanceTest&) {
             memplat::DeleteKey(plat::HKeyCurrentUser(), kProxySettingsKey);
             memplat::SetKeyAccess(plat::HKeyCurrentUser(), "Software", memplat::KeyAccess::ReadOnly);
         }, readProxy, "0 NONE||0|0|", 0},
        {"ReadProxySettings", "query throws", throwOnQuery, readProxy, "0 NONE||0|0|", 0},
        {"ReadProxySettings", "a default cannot be written back", [](ResourceBalanceTest&) {
             memplat::DeleteKey(plat::HKeyCurrentUser(), kProxySettingsKey);
             memplat::FailValueWrites("proxy_auth", plat::kErrorAccessDenied);
         }, readProxy, "0 NONE||0|0|", 0},
        {"WriteProxySettings", "stored", nothing, writeProxy, "1", 0},
        {"WriteProxySettings", "HKLM denied", hklmDenied, writeProxy, "0", 0},
        {"WriteProxySettings", "values refused", [](ResourceBalanceTest&) {
             memplat::FailValueWrites("proxy_address", plat::kErrorAccessDenied);
         }, writeProxy, "1", 0},
        {"WriteProxySettings", "write throws", [](ResourceBalanceTest&) { memplat::ThrowOnCall("RegSetValueExA", 3); },
         writeProxy, "threw", 0},
        {"ReadProxySettings", "repair write throws", [](ResourceBalanceTest&) {
             memplat::DeleteKey(plat::HKeyCurrentUser(), kProxySettingsKey);
             memplat::ThrowOnCall("RegSetValueExA", 1);
         }, readProxy, "0 NONE||0|0|", 0},
        {"ReadSystemProxy", "set", nothing, systemProxy, "1 proxyhost:8080", 0},
        {"ReadSystemProxy", "no key", noKeys, systemProxy, "0 :0", 0},
        {"ReadSystemProxy", "query throws", throwOnQuery, systemProxy, "0 :0", 0},
        {"InitNetworkDialog", "stored proxy", nothing, initNetwork, "HTTP|gate|3128|anna", 0},
        {"InitNetworkDialog", "HKLM denied: system proxy", hklmDenied, initNetwork, "HTTP|proxyhost|8080|", 0},
        {"InitNetworkDialog", "nothing anywhere", noKeys, initNetwork, "NONE|||", 0},
        {"SaveNetworkDialog", "stored", nothing, saveNetwork, "6 writes", 0},
        {"SaveNetworkDialog", "HKLM denied", hklmDenied, saveNetwork, "0 writes", 0},
        {"ClearMediaCache", "filled cache", nothing, clearCache, "0 left, button on", 0},
        {"ClearMediaCache", "module path unreadable", noModulePath, clearCache, "3 left, button on", 0},
        {"ClearMediaCache", "a file in use", [](ResourceBalanceTest&) {
             memplat::SetLocked(std::string(kCacheDir) + "\\scene.k3d", true);
         }, clearCache, "3 left, button on", 0},
        {"ReadRegistryString", "present", nothing, readString, std::string("1 ") + kControlPath, 0},
        {"ReadRegistryString", "missing key", noKeys, readString, "0 none", 0},
        {"ReadRegistryString", "open throws, logged", throwOnOpen, readString, "0 none", 0},
        {"ReadRegistryString", "query throws, logged", throwOnQuery, readString, "0 none", 0},
        {"ReadRegistryString", "query throws, log unwritable", [](ResourceBalanceTest&) {
             memplat::SetReadOnly(kPlayerDir, true);
             memplat::ThrowOnCall("RegQueryValueExA");
         }, readString, "0 none", 0},
        // The one path that leaves a key behind: the query's handler fails
        // to log, and the outer handler does not know the key.
        {"ReadRegistryString", "query and its log entry throw", [](ResourceBalanceTest&) {
             memplat::ThrowOnCall("RegQueryValueExA");
             memplat::ThrowOnCall("OpenFileStream");
         }, readString, "0 none", 1},
        {"GetFileVersionString", "versioned", nothing, fileVersion, "0 1.2.3.4", 0},
        {"GetFileVersionString", "missing file", nothing, [](ResourceBalanceTest&) {
             std::string out = "before";
             const int result = GetFileVersionString("C:\\nowhere\\gone.dll", out);
             return std::to_string(result) + " " + out;
         }, "-1 ", 0},
        {"GetFileVersionString", "block not allocated", [](ResourceBalanceTest&) { memplat::FailNextGlobalAlloc(); },
         fileVersion, "0 ", 0},
        {"GetFileVersionString", "size query throws", [](ResourceBalanceTest&) {
             memplat::ThrowOnCall("GetFileVersionInfoSizeA");
         }, fileVersion, "threw", 0},
        {"FillComponentInfo", "full installation", nothing, components, "1.2.3.4, 3 rows", 0},
        {"FillComponentInfo", "nothing registered", noKeys, components, ", 0 rows", 0},
        {"FillComponentInfo", "installation directory missing", [](ResourceBalanceTest&) {
             memplat::PutValue(plat::HKeyLocalMachine(), kInstallKey, "InstallPath", plat::kRegSz,
                               Sz("C:\\Gone\\Player"));
         }, components, "1.2.3.4, 0 rows", 0},
        {"FillComponentInfo", "first version block not allocated",
         [](ResourceBalanceTest&) { memplat::FailNextGlobalAlloc(); }, components, ", 3 rows", 0},
        {"FillComponentInfo", "queries throw", [](ResourceBalanceTest&) {
             memplat::ThrowOnCall("RegQueryValueExA");
             memplat::ThrowOnCall("RegOpenKeyExA", 1);
         }, components, ", 3 rows", 0},
        // Control and plug-in take two size queries; the third comes while
        // the installation directory is being searched.
        {"FillComponentInfo", "exception while listing the directory", [](ResourceBalanceTest&) {
             memplat::ThrowOnCall("GetFileVersionInfoSizeA", 2);
         }, components, "threw", 0},
        {"LogMessage", "written", nothing, logLine, "25 bytes", 0},
        {"LogMessage", "module path unreadable", noModulePath, logLine, "0 bytes", 0},
        {"LogMessage", "log locked", [](ResourceBalanceTest&) {
             memplat::PutFile(kLogPath, "");
             memplat::SetLocked(kLogPath, true);
         }, logLine, "0 bytes", 0},
        {"LogMessage", "folder read only", [](ResourceBalanceTest&) { memplat::SetReadOnly(kPlayerDir, true); }, logLine,
         "0 bytes", 0},
        {"LogMessage", "open throws", [](ResourceBalanceTest&) { memplat::ThrowOnCall("OpenFileStream"); }, logLine,
         "threw", 0},
        {"FillDriverList", "engine", nothing, fillDrivers, "3 drivers", 0},
        {"FillDriverList", "no render manager", [](ResourceBalanceTest& t) { t.engine().SetHasRenderManager(false); },
         fillDrivers, "0 drivers", 0},
        {"FillDriverList", "no engine context", [](ResourceBalanceTest& t) { t.engine().SetAcquireYieldsNull(true); },
         fillDrivers, "0 drivers", 0},
        {"FillDriverList", "negative driver count",
         [](ResourceBalanceTest& t) { t.engine().SetDriverCountOverride(-5); }, fillDrivers, "0 drivers", 0},
        {"FillDriverList", "count beyond the descriptions",
         [](ResourceBalanceTest& t) { t.engine().SetDriverCountOverride(9); }, fillDrivers, "3 drivers", 0},
        {"FillDriverList", "no player", [](ResourceBalanceTest&) { CurrentPlayerHost = nullptr; }, fillDrivers,
         "0 drivers", 0},
        {"OnDriverChanged", "two contexts", nothing, driverChanged, "2 resolutions", 0},
        {"OnDriverChanged", "negative context count",
         [](ResourceBalanceTest& t) { t.engine().SetContextCountOverride(-1); }, driverChanged, "2 resolutions", 0},
        {"OnDriverChanged", "no engine context", [](ResourceBalanceTest& t) { t.engine().SetAcquireYieldsNull(true); },
         driverChanged, "0 resolutions", 0},
        {"OnRenderModeChanged", "software only", nothing, modeChanged, "1 drivers", 0},
        {"OnRenderModeChanged", "no render manager",
         [](ResourceBalanceTest& t) { t.engine().SetHasRenderManager(false); }, modeChanged, "0 drivers", 0},
        {"DoConfig", "network closed", nothing, doConfigClosed, "1 network not opened", 0},
        {"DoConfig", "network opened and cancelled", nothing, doConfigNetwork, "1 HTTP|gate|3128|anna", 0},
        {"DoConfig", "network opened, HKLM denied", hklmDenied, doConfigNetwork, "1 HTTP|proxyhost|8080|", 0},
        {"DoConfig", "network opened, nothing stored", noKeys, doConfigNetwork, "1 NONE|||", 0},
        {"DoConfig", "faulty player", [](ResourceBalanceTest& t) {
             t.engine().SetDriverCountOverride(-5);
             t.engine().SetContextCountOverride(-1);
         }, doConfigNetwork, "1 HTTP|gate|3128|anna", 0},
        {"DoConfig", "registry queries throw", [](ResourceBalanceTest&) {
             memplat::ThrowOnCall("RegQueryValueExA", 6);
         }, doConfigClosed, "1 network not opened", 0},
    };

    for (const BalanceCase& c : cases) {
        SCOPED_TRACE(std::string(c.operation) + ", " + c.path);
        Fresh();
        c.arrange(*this);
        std::string outcome;
        try {
            outcome = c.act(*this);
        } catch (const std::runtime_error&) {
            outcome = "threw";
        }
        if (dialog_ != nullptr)
            memplat::DestroyDialogWindow(dialog_);
        dialog_ = nullptr;
        EXPECT_EQ(c.outcome, outcome) << "the path under test was not the one taken";
        EXPECT_EQ(c.keysLeftOpen, memplat::OpenKeyCount()) << "registry keys open after the operation";
        EXPECT_EQ(0, memplat::OpenStreamCount()) << "file streams open after the operation";
        EXPECT_EQ(0, memplat::OpenFindCount()) << "directory searches open after the operation";
        EXPECT_EQ(0, memplat::GlobalBlockCount()) << "memory blocks not freed after the operation";
        EXPECT_EQ(0, engine().AcquireDepth()) << "AcquireContext calls without their ReleaseContext";
        EXPECT_TRUE(engine().Violations().empty())
            << "first violation: " << (engine().Violations().empty() ? "" : engine().Violations()[0]);
    }
    // The row that leaves a key open is not the fixture's concern.
    Fresh();
}
