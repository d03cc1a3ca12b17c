// NetworkDialogTest.cpp - the network settings dialog, opened from the
// settings dialog with "&Network Settings", on the real registry: what it
// offers (the player's own proxy, else the system's), what it enables,
// what "&Ok" refuses with a warning and what it stores, and that Enter, Esc
// and "&Cancel" store nothing.
#include "SettingsDialogTest.h"

#include <functional>
#include <memory>

#include "DialogLayoutCheck.h"
#include "NetworkRegistry.h"
#include "NetworkUser.h"

namespace e2e {
namespace {

typedef std::vector<std::string> Texts;

const Texts kProxyTypes = {"NONE", "SOCKS4", "SOCKS5", "HTTP"};

// What the user types into the network dialog.
struct Entry {
    const char* type;
    const char* host;
    const char* port;
    bool auth;
    const char* username;
    const char* password;
};

// What the network dialog shows, for comparison with NetworkState.
struct Shown {
    const char* type;
    const char* host;
    const char* port;
    bool authChecked;
    const char* username;
    const char* password;
    const char* enabled;  // host, port, check box, username, password
};

// The system proxy of a scenario; a null server means none at all.
struct SystemProxy {
    DWORD enable;
    const char* server;
};
const SystemProxy kNoSystemProxy = {0, nullptr};

void ApplySystemProxy(const SystemProxy& proxy)
{
    if (proxy.server == nullptr)
        RemoveSystemProxy();
    else
        SetSystemProxy(proxy.enable, proxy.server);
}

// Types an entry the way a user can: with HTTP picked every box is enabled
// (the check box first, so the credential boxes are too), then the type
// the entry wants. False when a type is not listed.
bool Enter(NetworkUser& network, const Entry& entry)
{
    if (!network.PickType("HTTP"))
        return false;
    network.SetAuth(entry.auth);
    network.Type(kProxyHost, entry.host);
    network.Type(kProxyPort, entry.port);
    network.Type(kProxyUsername, entry.username);
    network.Type(kProxyPassword, entry.password);
    return network.PickType(entry.type);
}

Shown ShownAfter(const Entry& entry, const char* enabled)
{
    return Shown{entry.type, entry.host, entry.port, entry.auth, entry.username, entry.password, enabled};
}

void ExpectShows(const Shown& expected, const NetworkState& actual)
{
    EXPECT_EQ(kProxyTypes, actual.types) << "entries of the type list";
    EXPECT_EQ(expected.type, actual.type) << "selected type";
    EXPECT_EQ(expected.host, actual.host) << "host box";
    EXPECT_EQ(expected.port, actual.port) << "port box";
    EXPECT_EQ(expected.authChecked, actual.authChecked) << "\"Authentication\" checked";
    EXPECT_EQ(expected.username, actual.username) << "username box";
    EXPECT_EQ(expected.password, actual.password) << "password box";
    EXPECT_EQ(expected.enabled, actual.enabled) << "enabled: host, port, check box, username, password";
}

// How one visit to the network dialog went, seen from the settings dialog.
struct Visit {
    bool shown = false;
    bool ownedBySettings = false;
    bool settingsDisabledMeanwhile = false;
    bool closedByScript = false;
    bool settingsEnabledAfter = false;
};

void ExpectOrdinaryVisit(const Visit& visit)
{
    EXPECT_TRUE(visit.shown) << "\"&Network Settings\" showed no \"" << kNetworkDialogCaption << "\" dialog";
    EXPECT_TRUE(visit.ownedBySettings) << "the network dialog's owner is not the settings dialog";
    EXPECT_TRUE(visit.settingsDisabledMeanwhile)
        << "the settings dialog stayed enabled: the network dialog is not modal";
    EXPECT_TRUE(visit.closedByScript) << "the network dialog was still open after the user's last step";
    EXPECT_TRUE(visit.settingsEnabledAfter) << "the settings dialog stayed disabled after the network dialog closed";
}

typedef std::function<void(NetworkUser&)> NetworkScript;

class NetworkDialogTest : public SettingsDialogTest {
protected:
    void SetUp() override
    {
        SettingsDialogTest::SetUp();
        // The whole per-user player key, not only the proxy key: the
        // module creates the parent too.
        machineKey_.reset(new KeyTreeSnapshot(HKEY_LOCAL_MACHINE, kPlayerKey));
        userKey_.reset(new KeyTreeSnapshot(HKEY_CURRENT_USER, kPlayerKey));
        systemProxy_.reset(new ValueSnapshot(HKEY_CURRENT_USER, kInternetSettingsKey, {"ProxyEnable", "ProxyServer"}));
        ASSERT_TRUE(machineKey_->Taken()) << "HKLM\\" << kPlayerKey << " could not be put aside";
        ASSERT_TRUE(userKey_->Taken()) << "HKCU\\" << kPlayerKey << " could not be put aside";
        SeedProxyKey({});
        RemoveSystemProxy();
        barrier_.reset(new DialogThreadBarrier);
    }

    void TearDown() override
    {
        barrier_.reset();
        systemProxy_.reset();
        userKey_.reset();
        machineKey_.reset();
        SettingsDialogTest::TearDown();
    }

    // Opens the network dialog from the settings dialog and records how
    // the visit went; script must end the network dialog.
    Visit VisitNetworkDialog(DialogUser& settings, const NetworkScript& script)
    {
        Visit visit;
        {
            NetworkUser network(settings, *barrier_);
            visit.shown = network.Shown();
            if (visit.shown) {
                visit.ownedBySettings = network.Owner() == settings.Dialog();
                visit.settingsDisabledMeanwhile = !IsWindowEnabled(settings.Dialog());
                script(network);
                visit.closedByScript = !IsWindow(network.Dialog());
            }
        }
        visit.settingsEnabledAfter = IsWindowEnabled(settings.Dialog()) != FALSE;
        return visit;
    }

    // A whole session: the settings dialog, one visit to the network
    // dialog, Esc. The network dialog touches neither the player nor the
    // display settings.
    void RunNetworkSession(const NetworkScript& script)
    {
        sim::SimEngine engine;
        BuildStandardEngine(engine);
        Visit visit;
        Run(engine, [&](DialogUser& settings) {
            visit = VisitNetworkDialog(settings, script);
            settings.PressEsc();
        });
        ExpectOrdinaryVisit(visit);
        EXPECT_TRUE(SameCalls(OpenedWithContextZero(), engine.Journal()));
        EXPECT_FALSE(SettingsKeyExists()) << "the display settings were stored";
    }

    const DialogThreadBarrier& Barrier() const { return *barrier_; }

private:
    std::unique_ptr<KeyTreeSnapshot> machineKey_;
    std::unique_ptr<KeyTreeSnapshot> userKey_;
    std::unique_ptr<ValueSnapshot> systemProxy_;
    std::unique_ptr<DialogThreadBarrier> barrier_;
};

struct OpeningCase {
    const char* name;
    std::vector<RegValue> stored;  // the per-user key before; none: no key
    SystemProxy system;
    Shown shown;
    StoredProxy savedByOk;
};

const StoredProxy kStoredHttp = {"HTTP", "gate", 3128, 1, "anna", "secret"};

const OpeningCase kOpeningCases[] = {
    {"nothing stored: the system proxy without a scheme is an HTTP one", {}, {1, "proxyhost:8080"},
     {"HTTP", "proxyhost", "8080", false, "", "", "11100"}, {"HTTP", "proxyhost", 8080, 0, "", ""}},
    {"a system proxy of a scheme the player cannot use shows NONE with its host and port", {},
     {1, "https=proxyhost:443"}, {"NONE", "proxyhost", "443", false, "", "", "00000"}, ProxyDefaults()},
    {"the player's own HTTP proxy wins over the system one", ProxyValues(kStoredHttp), {1, "proxyhost:8080"},
     {"HTTP", "gate", "3128", true, "anna", "secret", "11111"}, kStoredHttp},
    {"a stored NONE gives way to the system proxy", ProxyValues(ProxyDefaults()), {1, "socks=sockshost:1080"},
     {"SOCKS4", "sockshost", "1080", false, "", "", "11000"}, {"SOCKS4", "sockshost", 1080, 0, "", ""}},
    {"a system proxy that is switched off is not offered", {}, {0, "proxyhost:8080"},
     {"NONE", "", "", false, "", "", "00000"}, ProxyDefaults()},
    {"no proxy anywhere", {}, kNoSystemProxy, {"NONE", "", "", false, "", "", "00000"}, ProxyDefaults()},
};

TEST_F(NetworkDialogTest, OffersTheStoredProxyElseTheSystemOneAndOkStoresWhatIsShown)
{
    for (const OpeningCase& row : kOpeningCases) {
        SCOPED_TRACE(row.name);
        SeedProxyKey(row.stored);
        ApplySystemProxy(row.system);

        NetworkState shown;
        std::vector<RegValue> afterOpening;
        RunNetworkSession([&](NetworkUser& network) {
            shown = network.State();
            afterOpening = ReadProxyKey();
            network.Press(kProxyOk);
        });

        ExpectShows(row.shown, shown);
        // Opening repairs a missing key with the defaults; a complete one
        // is left alone.
        EXPECT_EQ(row.stored.empty() ? ProxyValues(ProxyDefaults()) : row.stored, afterOpening)
            << "the per-user key while the dialog is open";
        EXPECT_EQ(ProxyValues(row.savedByOk), ReadProxyKey()) << "the per-user key after \"&Ok\"";
    }
}

struct AcceptedCase {
    const char* name;
    Entry entry;
    const char* enabled;  // shown before "&Ok"
    StoredProxy stored;
};

const AcceptedCase kAcceptedCases[] = {
    {"SOCKS4 keeps a check box left checked, and the texts of the two disabled boxes",
     {"SOCKS4", "gate", "1080", true, "anna", "secret"}, "11000", {"SOCKS4", "gate", 1080, 1, "anna", "secret"}},
    {"SOCKS5 with authentication", {"SOCKS5", "socks.example", "1081", true, "bo", "pw"}, "11111",
     {"SOCKS5", "socks.example", 1081, 1, "bo", "pw"}},
    {"HTTP without authentication stores no credentials, though they were typed",
     {"HTTP", "gate", "8080", false, "anna", "secret"}, "11100", {"HTTP", "gate", 8080, 0, "", ""}},
    {"NONE stores nothing of what was typed", {"NONE", "gate", "8080", true, "anna", "secret"}, "00000",
     ProxyDefaults()},
};

TEST_F(NetworkDialogTest, OkStoresACompleteEntryWithExactTypes)
{
    for (const AcceptedCase& row : kAcceptedCases) {
        SCOPED_TRACE(row.name);
        SeedProxyKey({});

        bool entered = false;
        NetworkState shown;
        MessageBoxSeen box;
        RunNetworkSession([&](NetworkUser& network) {
            entered = Enter(network, row.entry);
            shown = network.State();
            network.Press(kProxyOk);
            box = network.MessageBoxNow();
            if (box.window != nullptr)
                network.DismissMessageBox();
            if (IsWindow(network.Dialog()))
                network.Press(kProxyCancel);
        });

        ASSERT_TRUE(entered) << "a proxy type is not listed";
        ExpectShows(ShownAfter(row.entry, row.enabled), shown);
        EXPECT_EQ(nullptr, box.window) << "a complete entry was refused with \"" << box.caption << "\"";
        EXPECT_EQ(ProxyValues(row.stored), ReadProxyKey());
    }
}

struct IncompleteCase {
    const char* name;
    Entry entry;
    const char* enabled;
};

const IncompleteCase kIncompleteCases[] = {
    {"SOCKS5 without a host", {"SOCKS5", "", "1080", false, "", ""}, "11100"},
    {"SOCKS5 with port 0", {"SOCKS5", "gate", "0", false, "", ""}, "11100"},
    {"HTTP without a port", {"HTTP", "gate", "", false, "", ""}, "11100"},
    {"HTTP without a host", {"HTTP", "", "8080", true, "anna", "secret"}, "11111"},
    {"SOCKS5 with authentication but no password", {"SOCKS5", "gate", "1080", true, "anna", ""}, "11111"},
    {"HTTP with authentication but no username", {"HTTP", "gate", "8080", true, "", "secret"}, "11111"},
    {"SOCKS4 with port 0", {"SOCKS4", "gate", "0", true, "anna", ""}, "11000"},
};

// Everything the user sees of one refused "&Ok".
struct Refusal {
    bool entered = false;
    MessageBoxSeen box;
    bool dismissed = false;
    bool stillOpen = false;
    NetworkState shownAfter;
    std::vector<RegValue> storedAfter;
};

// One visit: each incomplete entry in turn is refused, and the user goes
// on in the same dialog, as after any refusal.
TEST_F(NetworkDialogTest, OkRefusesAnIncompleteEntryWithAWarningAndKeepsIt)
{
    std::vector<Refusal> refusals;
    bool cancelled = false;
    HWND networkDialog = nullptr;
    RunNetworkSession([&](NetworkUser& network) {
        networkDialog = network.Dialog();
        for (const IncompleteCase& row : kIncompleteCases) {
            Refusal refusal;
            refusal.entered = Enter(network, row.entry);
            network.Press(kProxyOk);
            refusal.box = network.WaitForMessageBox();
            refusal.dismissed = network.DismissMessageBox();
            refusal.stillOpen = network.IsOpen();
            refusal.shownAfter = network.State();
            refusal.storedAfter = ReadProxyKey();
            refusals.push_back(refusal);
            if (!refusal.stillOpen)
                return;
        }
        network.Press(kProxyCancel);
        cancelled = !IsWindow(network.Dialog());
    });

    ASSERT_EQ(sizeof kIncompleteCases / sizeof kIncompleteCases[0], refusals.size())
        << "entries tried before the network dialog closed";
    for (std::size_t i = 0; i < refusals.size(); ++i) {
        const IncompleteCase& row = kIncompleteCases[i];
        const Refusal& refusal = refusals[i];
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(refusal.entered) << "a proxy type is not listed";
        ASSERT_NE(nullptr, refusal.box.window) << "no message box appeared";
        EXPECT_EQ(networkDialog, refusal.box.owner) << "the message box's owner is not the network dialog";
        EXPECT_EQ(kWarningCaption, refusal.box.caption);
        EXPECT_EQ(Texts{kIncompleteEntryText}, refusal.box.texts) << "the message box's text";
        EXPECT_EQ(Texts{"OK"}, refusal.box.buttons) << "the message box's buttons";
        EXPECT_EQ(std::vector<int>{IDOK}, refusal.box.buttonIds);
        EXPECT_TRUE(refusal.dismissed) << "the message box did not go away with its OK button";
        EXPECT_TRUE(refusal.stillOpen) << "the network dialog closed on an incomplete entry";
        ExpectShows(ShownAfter(row.entry, row.enabled), refusal.shownAfter);
        EXPECT_EQ(ProxyValues(ProxyDefaults()), refusal.storedAfter) << "the per-user key after the refusal";
    }
    EXPECT_TRUE(cancelled) << "\"&Cancel\" did not close the network dialog";
    EXPECT_EQ(ProxyValues(ProxyDefaults()), ReadProxyKey()) << "the per-user key after \"&Cancel\"";
}

struct EnablingCase {
    const char* type;
    bool checked;
    const char* enabled;
};

// The type enables host and port for every proxy and the check box only
// where the proxy can ask for credentials; the credential boxes follow the
// check box there. Disabling keeps texts and the check mark.
const EnablingCase kEnablingCases[] = {
    {"NONE", false, "00000"},  {"NONE", true, "00000"},   {"SOCKS4", false, "11000"}, {"SOCKS4", true, "11000"},
    {"SOCKS5", false, "11100"}, {"SOCKS5", true, "11111"}, {"HTTP", false, "11100"},   {"HTTP", true, "11111"},
};

TEST_F(NetworkDialogTest, TypeAndCheckBoxEnableOnlyTheBoxesTheProxyNeeds)
{
    std::vector<NetworkState> shown;
    NetworkState afterUncheck;
    RunNetworkSession([&](NetworkUser& network) {
        for (const EnablingCase& row : kEnablingCases) {
            Enter(network, Entry{row.type, "gate", "1080", row.checked, "anna", "secret"});
            shown.push_back(network.State());
        }
        // The check box alone, with HTTP still picked from the last row.
        network.ClickCheckBox();
        afterUncheck = network.State();
        network.Press(kProxyCancel);
    });

    ASSERT_EQ(sizeof kEnablingCases / sizeof kEnablingCases[0], shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const EnablingCase& row = kEnablingCases[i];
        SCOPED_TRACE(std::string(row.type) + (row.checked ? ", checked" : ", clear"));
        ExpectShows(Shown{row.type, "gate", "1080", row.checked, "anna", "secret", row.enabled}, shown[i]);
    }
    ExpectShows(Shown{"HTTP", "gate", "1080", false, "anna", "secret", "11100"}, afterUncheck);
}

struct LeavingCase {
    const char* name;
    std::vector<RegValue> stored;  // the per-user key before; none: no key
    std::vector<RegValue> kept;    // as opening left it
};

const StoredProxy kStoredSocks5 = {"SOCKS5", "gate", 1080, 0, "", ""};

const LeavingCase kLeavingCases[] = {
    {"a stored proxy", ProxyValues(kStoredSocks5), ProxyValues(kStoredSocks5)},
    {"nothing stored: the defaults opening wrote", {}, ProxyValues(ProxyDefaults())},
};

// Enter and Esc reach the dialog as commands no control of it has, so
// neither ends it; "&Cancel" does, and like them stores nothing.
TEST_F(NetworkDialogTest, EnterAndEscLeaveItOpenAndCancelStoresNothing)
{
    const Entry edits = {"HTTP", "changed", "3128", true, "anna", "secret"};
    for (const LeavingCase& row : kLeavingCases) {
        SCOPED_TRACE(row.name);
        SeedProxyKey(row.stored);

        bool entered = false;
        bool openAfterEnter = false, openAfterEsc = false;
        HWND boxAfterKeys = nullptr;
        NetworkState shownAfterKeys;
        bool cancelHandled = false, closedByCancel = false;
        RunNetworkSession([&](NetworkUser& network) {
            entered = Enter(network, edits);
            openAfterEnter = network.PressEnter() && network.IsOpen();
            openAfterEsc = network.PressEsc() && network.IsOpen();
            boxAfterKeys = network.MessageBoxNow().window;
            shownAfterKeys = network.State();
            cancelHandled = network.Press(kProxyCancel);
            closedByCancel = !IsWindow(network.Dialog());
        });

        ASSERT_TRUE(entered) << "a proxy type is not listed";
        EXPECT_TRUE(openAfterEnter) << "Enter closed the network dialog";
        EXPECT_TRUE(openAfterEsc) << "Esc closed the network dialog";
        EXPECT_EQ(nullptr, boxAfterKeys) << "a message box appeared after Enter or Esc";
        ExpectShows(ShownAfter(edits, "11111"), shownAfterKeys);
        EXPECT_TRUE(cancelHandled && closedByCancel) << "\"&Cancel\" did not close the network dialog";
        EXPECT_EQ(row.kept, ReadProxyKey()) << "the per-user key after \"&Cancel\"";
    }
}

// The network dialog is a detour: afterwards the settings dialog works as
// before, and DoConfig reports 1 as always.
TEST_F(NetworkDialogTest, SettingsDialogCarriesOnAfterTwoVisits)
{
    sim::SimEngine engine;
    BuildStandardEngine(engine);
    Visit first, second;
    DialogState before, between, after;
    bool entered = false, picked = false;
    Run(engine, [&](DialogUser& settings) {
        before = settings.State();
        settings.Mark("network");
        first = VisitNetworkDialog(settings, [&](NetworkUser& network) {
            Enter(network, Entry{"SOCKS5", "first", "1", false, "", ""});
            network.Press(kProxyCancel);
        });
        between = settings.State();
        second = VisitNetworkDialog(settings, [&](NetworkUser& network) {
            entered = Enter(network, Entry{"HTTP", "gate", "3128", false, "", ""});
            network.Press(kProxyOk);
        });
        after = settings.State();
        settings.Mark("pick");
        picked = settings.PickText(kDriverList, "Hardware Renderer B");
        settings.Click(kCloseButton);
    });

    {
        SCOPED_TRACE("first visit, left with \"&Cancel\"");
        ExpectOrdinaryVisit(first);
    }
    {
        SCOPED_TRACE("second visit, left with \"&Ok\"");
        ExpectOrdinaryVisit(second);
    }
    ASSERT_TRUE(entered && picked) << "an entry the user needs is not listed";
    for (const DialogState* state : {&between, &after}) {
        EXPECT_EQ(before.drivers, state->drivers);
        EXPECT_EQ(before.SelectedDriver(), state->SelectedDriver());
        EXPECT_EQ(before.SelectedResolution(), state->SelectedResolution());
        EXPECT_EQ(before.checked, state->checked) << "checked buttons of the settings dialog";
    }
    EXPECT_TRUE(SameCalls(OpenedWithContextZero() + Calls{"# network", "# pick"} + DriverChange({0, 2}, kHardwareB),
                          engine.Journal()));
    EXPECT_EQ(SettingsValues({1, kHardwareB, 640, 480, 0, 0}), ReadSettingsKey());
    EXPECT_EQ(ProxyValues({"HTTP", "gate", 3128, 0, "", ""}), ReadProxyKey());
}

// On a player whose keys are all missing, merely opening the network
// dialog leaves a complete per-user key and the player's machine key.
TEST_F(NetworkDialogTest, OpeningOnFreshKeysWritesTheSixDefaults)
{
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kPlayerKey);
    DeleteKeyTree(HKEY_CURRENT_USER, kPlayerKey);
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kPlayerKey));
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kPlayerKey));

    RunNetworkSession([](NetworkUser& network) { network.Press(kProxyCancel); });

    struct Expected {
        const char* name;
        DWORD type;
        std::size_t size;
    };
    // ReadKey's order: by name.
    const Expected kDefaults[] = {
        {"proxy_address", REG_SZ, 1}, {"proxy_auth", REG_DWORD, 4},     {"proxy_password", REG_SZ, 1},
        {"proxy_port", REG_DWORD, 4}, {"proxy_type", REG_SZ, 5},        {"proxy_username", REG_SZ, 1},
    };
    const std::vector<RegValue> stored = ReadProxyKey();
    ASSERT_EQ(sizeof kDefaults / sizeof kDefaults[0], stored.size()) << "values of HKCU\\" << kProxyKey;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(kDefaults[i].name, stored[i].name);
        EXPECT_EQ(kDefaults[i].type, stored[i].type) << stored[i].name;
        EXPECT_EQ(kDefaults[i].size, stored[i].data.size()) << stored[i].name << " bytes";
    }
    EXPECT_EQ(ProxyValues(ProxyDefaults()), stored);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kPlayerKey)) << "HKLM\\" << kPlayerKey;
}

// The network dialog the real Config.dll shows, over the settings dialog,
// is exactly its layout: ids, classes, styles, texts and places.
TEST_F(NetworkDialogTest, ResourceIsExactlyTheNetworkLayout)
{
    const layouts::DialogLayout& layout = layouts::NetworkDialogLayout();
    ShownDialog shown;
    RunNetworkSession([&](NetworkUser& network) {
        shown = ReadDialog(network.Dialog(), network.Owner(), layout);
        network.Press(kProxyCancel);
    });
    ExpectMatchesLayout(layout, shown, {});
}

}  // namespace
}  // namespace e2e
