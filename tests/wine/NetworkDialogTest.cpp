// NetworkDialogTest.cpp - "&Network Settings": the proxy offered, what is repaired on the way,
// what "&Ok" stores or refuses, the boxes the type enables, what ends it; and the registry out of reach.
#include "ConfigTest.h"

#include <cstring>

namespace e2e {
namespace {

const char kWarning[] =
    "Warning! | [OK] | Please complete all fields before clicking 'OK' | owner Kestrova Dad Azizov Network Settings";
const char kNone[] = "NONE | host:  | port:  | auth: off | user:  | password:  | enabled: ";
// Texts of a French user, in the system's code page (1252).
const char kHost[] = "proxy.soci\xE9t\xE9.example", kUser[] = "Fr\xE9" "d\xE9ric", kPassword[] = "\xE9t\xE9 \xE0 No\xEBl";

// The six values as "&Ok" writes them, in its order.
std::string Writes(const char* type, const char* address, DWORD port, int auth, const char* user, const char* password)
{
    return "proxy_type REG_SZ \"" + std::string(type) + "\\0\"; proxy_address REG_SZ \"" + address +
           "\\0\"; proxy_port REG_DWORD " + std::to_string(port) + "; proxy_auth REG_DWORD " + std::to_string(auth) +
           "; proxy_username REG_SZ \"" + user + "\\0\"; proxy_password REG_SZ \"" + password + "\\0\"";
}

std::string ProxyWrites(const SystemCalls& calls)
{
    std::string text;
    for (const std::string& line : calls.Calls({"RegSetValueExA HKCU\\Software\\Kestrova\\Network *"}))
        text += (text.empty() ? "" : "; ") + line.substr(std::strlen("RegSetValueExA HKCU\\Software\\Kestrova\\Network "));
    return text;
}

std::vector<Stored> Proxy(const std::string& type, const std::string& address, DWORD port, DWORD auth = 0,
                          const std::string& user = "", const std::string& password = "")
{
    return {Dword("proxy_port", port), Text("proxy_type", type), Text("proxy_address", address),
            Dword("proxy_auth", auth), Text("proxy_username", user), Text("proxy_password", password)};
}

// The user opens "&Network Settings" over a proxy stored (none: no key) and the system's ("": off).
Script Offering(const std::vector<Stored>& stored, const std::string& systemProxy)
{
    return [=](User& user) {
        DeleteKey(HKEY_CURRENT_USER, kNetworkKey);
        if (!stored.empty())
            Store(HKEY_CURRENT_USER, kNetworkKey, stored);
        Store(HKEY_CURRENT_USER, kSystemProxyKey,
              {Dword("ProxyEnable", !systemProxy.empty()), Text("ProxyServer", systemProxy)});
        user.OpenNetworkSettings();
    };
}

TEST_F(ConfigTest, NetworkDialogOffersTheStoredProxyElseTheSystemsAndRepairsTheStore)
{
    const std::string defaults = " || repaired: proxy_port REG_DWORD 0; proxy_type REG_SZ \"NONE\\0\"; proxy_address "
                                 "REG_SZ \"\\0\"; proxy_auth REG_DWORD 0; proxy_username REG_SZ \"\\0\"; "
                                 "proxy_password REG_SZ \"\\0\"";
    const std::string a1023(1023, 'a'), h1018(1018, 'h'), longText = "a text past the short-text size";
    // A row: what is stored (none: no key), the system's proxy ("": off), what the dialog offers.
    const auto row = [](const char* name, std::vector<Stored> stored, std::string systemProxy, std::string offered,
                        Faults faults = nullptr) {
        return Scenario{name, {}, nullptr, Offering(stored, systemProxy), offered, faults};
    };
    PlayAll({
        row("nothing stored, no system proxy", {}, "", kNone + defaults),
        row("stored types are read ignoring case", Proxy("socks5", "h2", 1080), "",
            "SOCKS5 | host: h2 | port: 1080 | auth: off | user:  | password:  | enabled: 1010 1011 1012"),
        row("an unknown stored type is NONE: the system's proxy, the stored credentials", Proxy("Socks", "h", 1, 1, "u", "p"),
            "socks=sp:1080", "SOCKS4 | host: sp | port: 1080 | auth: on | user: u | password: p | enabled: 1010 1011"),
        row("a system proxy port past 32 bits keeps its low 32 bits, as the system's runtime reads it", {},
            "proxyhost:4294967376",
            "HTTP | host: proxyhost | port: 80 | auth: off | user:  | password:  | enabled: 1010 1011 1012" + defaults),
        // Never half-changed (the system's host with the stored checked box and user name).
        row("no memory for the last value: nothing of the store is taken", Proxy("HTTP", "h", 8080, 1, longText, longText),
            "sys:3128", "HTTP | host: sys | port: 3128 | auth: off | user:  | password:  | enabled: 1010 1011 1012",
            StarvingAfter("RegQueryValueExA HKCU\\Software\\Kestrova\\Network proxy_password")),
        // Taking its 36-character address apart takes a block of 37 bytes: every such block fails.
        row("no memory to take the system's proxy apart: none of it, not even its port", {},
            "proxy.of.the.system.example.internal:3128", kNone + defaults, Failing("malloc 37")),
        row("NONE keeps the stored port when there is no system proxy", Proxy("NONE", "", 77), "",
            "NONE | host:  | port: 77 | auth: off | user:  | password:  | enabled: "),
        row("a system proxy without a number clears it", Proxy("NONE", "", 77), "proxyhost:abc", kNone),
        row("only a type stored: the rest repaired", {Text("proxy_type", "HTTP")}, "",
            "HTTP | host:  | port:  | auth: off | user:  | password:  | enabled: 1010 1011 1012 || repaired: "
            "proxy_port REG_DWORD 0; proxy_address REG_SZ \"\\0\"; proxy_auth REG_DWORD 0; "
            "proxy_username REG_SZ \"\\0\"; proxy_password REG_SZ \"\\0\""),
        // At the edges of their buffers (100 bytes for the type, 1024 for the texts, 4 for the
        // numbers), of any type: a text without its NUL loses its last byte, one byte more is replaced.
        row("values that fit exactly are taken byte for byte, whatever their type",
            {Text("proxy_port", "80"), Text("proxy_type", std::string(99, 'S')), Text("proxy_address", a1023),
             {"proxy_auth", REG_BINARY, "\x01\x02\x03"}, {"proxy_username", REG_BINARY, std::string(1024, 'u')},
             Text("proxy_password", "p", REG_EXPAND_SZ)}, "",
            "NONE | host: " + a1023 + " | port: 12344 | auth: on | user: " + std::string(1023, 'u') +
                " | password: p | enabled: "),
        row("values one byte too long are replaced",
            {Text("proxy_port", "8080"), Text("proxy_type", std::string(100, 'S')), Text("proxy_address", a1023 + "a"),
             {"proxy_auth", REG_BINARY, std::string(5, '\1')}, {"proxy_username", REG_SZ, std::string(1025, 'u')},
             Text("proxy_password", std::string(65536, 'p'))}, "", kNone + defaults),
        row("a stored port of -2147483648 fills the 12 bytes of its text, NUL included", Proxy("HTTP", "h", 0x80000000), "",
            "HTTP | host: h | port: -2147483648 | auth: off | user:  | password:  | enabled: 1010 1011 1012"),
        row("a system proxy of 1023 characters is offered", {}, h1018 + ":8080",
            "HTTP | host: " + h1018 + " | port: 8080 | auth: off | user:  | password:  | enabled: 1010 1011 1012" + defaults),
        row("a system proxy of 1024 characters does not fit: none", {}, h1018 + "h:8080", kNone + defaults),
        row("texts with accents are shown as stored", Proxy("HTTP", kHost, 8080, 1, kUser, kPassword), "",
            "HTTP | host: " + std::string(kHost) + " | port: 8080 | auth: on | user: " + kUser + " | password: " +
                kPassword + " | enabled: 1010 1011 1012 1016 1017"),
    }, [this](User& user, Player&) {
        const std::string repairs = ProxyWrites(*calls);  // what opening wrote back
        const std::string shown = Network(user) + (repairs.empty() ? "" : " || repaired: " + repairs);
        user.Click(1019);
        return shown;
    });
}

TEST_F(ConfigTest, OkStoresACompleteEntryAndWarnsAboutAnIncompleteOne)
{
    const auto fill = [](const char* type, const char* host, const char* port, bool auth, const char* user = "u",
                         const char* password = "p") {
        return [=](User& u) {
            Offering({}, "")(u);
            u.Pick(1015, "HTTP");
            if (auth)
                u.Click(1012);
            u.Pick(1015, type);
            u.Type(1010, host), u.Type(1011, port), u.Type(1016, user), u.Type(1017, password);
        };
    };
    const std::string longHost(1024, 'h');
    PlayAll({
        // What the dialog offers, confirmed untouched.
        {"a stored proxy wins over the system's, comes back unchanged, credentials included", {}, nullptr,
         Offering(Proxy("HTTP", "h", 8080, 1, "u", "p"), "sys:3128"), Writes("HTTP", "h", 8080, 1, "u", "p")},
        {"nothing stored: the system's proxy is stored as offered", {}, nullptr, Offering({}, "proxyhost:8080"),
         Writes("HTTP", "proxyhost", 8080, 0, "", "")},
        {"HTTP without authentication drops the credentials", {}, nullptr, fill("HTTP", "h", "8080", false),
         Writes("HTTP", "h", 8080, 0, "", "")},
        {"SOCKS4 keeps a checked box and the disabled boxes' texts", {}, nullptr, fill("SOCKS4", "h", "1", true),
         Writes("SOCKS4", "h", 1, 1, "u", "p")},
        {"NONE stores nothing of what the boxes hold", {}, nullptr, fill("NONE", "h", "8080", true),
         Writes("NONE", "", 0, 0, "", "")},
        {"a host, a user name and a password of 1,024 characters are stored with their first 1023", {}, nullptr,
         fill("HTTP", longHost.c_str(), "1", true, longHost.c_str(), longHost.c_str()),
         Writes("HTTP", longHost.substr(1).c_str(), 1, 1, longHost.substr(1).c_str(), longHost.substr(1).c_str())},
        {"SOCKS5 with authentication, texts with accents stored byte for byte", {}, nullptr,
         fill("SOCKS5", kHost, "1080", true, kUser, kPassword), Writes("SOCKS5", kHost, 1080, 1, kUser, kPassword)},
        {"ten digits count with their first nine, a blank is a host", {}, nullptr,
         fill("HTTP", " ", "1234567890", false), Writes("HTTP", " ", 123456789, 0, "", "")},
        {"any port but 0 passes, a negative one too", {}, nullptr, fill("HTTP", "h", "-1", false),
         Writes("HTTP", "h", 0xFFFFFFFF, 0, "", "")},
        {"no host", {}, nullptr, fill("SOCKS4", "", "1080", false), kWarning},
        {"port 0", {}, nullptr, fill("SOCKS4", "h", "0", false), kWarning},
        {"no port", {}, nullptr, fill("HTTP", "h", "", false), kWarning},
        {"authentication without a password", {}, nullptr, fill("SOCKS5", "h", "1080", true, "u", ""), kWarning},
        {"authentication without a user name", {}, nullptr, fill("HTTP", "h", "1080", true, "", "p"), kWarning},
    }, [&](User& user, Player&) {
        const std::string entered = Network(user);
        calls->Reset();  // what "&Ok" stores
        user.Click(1018);
        const std::string box = MessageBoxText(user);
        if (box.empty())
            return ProxyWrites(*calls) + (user.NetworkOpen() ? " (left open)" : "");
        // Refused: nothing stored, and the entries stay as they were.
        const std::string kept = Network(user) == entered ? "" : " (entries changed)";
        user.Click(1019);
        return box + ProxyWrites(*calls) + kept;
    });
}

// One visit: the type and the check box enable only the boxes the proxy needs (disabled ones keep
// their text), only "&Ok" and "&Cancel" end the dialog, and the settings dialog carries on as it was.
TEST_F(ConfigTest, NetworkBoxesFollowTheProxyTypeAndOnlyOkOrCancelEndTheDialog)
{
    std::string shown;
    Play({"", {}, nullptr, [&](User& user) {
        user.Pick(1003, "800x600");
        const std::string settings = Settings(user);
        user.OpenNetworkSettings();
        // Reading the store also makes sure the player's top-level key exists.
        shown += KeyText(HKEY_LOCAL_MACHINE, "Software\\Kestrova") + Entries(user, 1015) + "\n";
        const Script steps[] = {[](User& u) { u.Pick(1015, "SOCKS5"); },
                                [](User& u) { u.Click(1012), u.Type(1016, "u"), u.Type(1017, "p"); },
                                [](User& u) { u.Pick(1015, "SOCKS4"); }, [](User& u) { u.Pick(1015, "HTTP"); },
                                [](User& u) { u.Click(1012); }, [](User& u) { u.Pick(1015, "NONE"); }};
        for (const Script& step : steps)
            step(user), shown += Network(user) + "\n";
        user.Pick(1015, "HTTP");
        // Keys as a user types them: the port box takes digits only, the password box shows a mask.
        for (const char key : std::string("8x08-0"))
            SendMessageA(user.Item(1011), WM_CHAR, key, 0);
        shown += "port typed: " + Shown(user, 1011) + ", password " +
                 (SendMessageA(user.Item(1017), EM_GETPASSWORDCHAR, 0, 0) != 0 ? "masked\n" : "shown\n");
        calls->Reset();
        user.Press(VK_RETURN), user.Press(VK_ESCAPE);
        shown += user.NetworkOpen() ? "still open\n" : "closed by Enter or Esc\n";
        user.Click(1019);
        user.OpenNetworkSettings();  // afresh: "&Cancel" stored nothing
        shown += Network(user) + "\n" + ProxyWrites(*calls);
        user.Click(1019);
        shown += Settings(user) == settings ? "" : "settings changed";
        user.Click(1);
    }, ""}, nullptr);
    EXPECT_EQ(shown, "NONE*, SOCKS4, SOCKS5, HTTP\n"
                     "SOCKS5 | host:  | port:  | auth: off | user:  | password:  | enabled: 1010 1011 1012\n"
                     "SOCKS5 | host:  | port:  | auth: on | user: u | password: p | enabled: 1010 1011 1012 1016 1017\n"
                     "SOCKS4 | host:  | port:  | auth: on | user: u | password: p | enabled: 1010 1011\n"
                     "HTTP | host:  | port:  | auth: on | user: u | password: p | enabled: 1010 1011 1012 1016 1017\n"
                     "HTTP | host:  | port:  | auth: off | user: u | password: p | enabled: 1010 1011 1012\n"
                     "NONE | host:  | port:  | auth: off | user: u | password: p | enabled: \n"
                     "port typed: 8080, password masked\nstill open\n" + std::string(kNone) + "\n");
    EXPECT_EQ(Joined(calls->Calls({"DialogBoxParamA*"})),
              "DialogBoxParamA 102 owner Kestrova Dad Azizov Settings param 0");
}

// A user without the rights the module would like, or a registry refusing writes: settings that
// cannot be read are defaults, those that cannot be stored are lost quietly, both dialogs work.
TEST_F(ConfigTest, SettingsOutOfReachAreLostQuietlyAndBothDialogsClose)
{
    const std::string system = "HTTP | host: sys | port: 3128 | auth: off | user:  | password:  | enabled: 1010 1011 1012";
    const std::string untouched = "proxy_port=REG_DWORD 80; proxy_type=REG_SZ \"HTTP\\0\"\n";
    const std::string saved = "AutoUpdate=REG_DWORD 1; ForceRenderMode=REG_DWORD 0; fsHeight=REG_DWORD 480; "
                              "fsWidth=REG_DWORD 640; RenderEngine=REG_DWORD 4294967295; Set32bits=REG_DWORD 1";
    // The check boxes, what the network dialog offers, no message, the proxy store and the display settings.
    const std::string opened = "drivers:  | modes:  | checked: 1000 1004 1022\n" + system + "\n\n";
    const Tweak noDrivers = [](Player&) {};
    PlayAll({
        {"the machine's keys are read-only", {Dword("Set32bits", 1)}, noDrivers, nullptr,
         opened + untouched + "Set32bits=REG_DWORD 1",
         [](SystemCalls& calls) {
             calls.Fail("RegOpenKeyExA HKLM\\* 0xf003f", ERROR_ACCESS_DENIED);
             calls.Fail("RegCreateKey*HKLM\\*", ERROR_ACCESS_DENIED);
         }},
        {"the user's proxy key can be neither opened nor created", {Dword("Set32bits", 1)}, noDrivers, nullptr,
         opened + untouched + saved, Failing("Reg*Key* HKCU\\Software\\Kestrova\\Network*", ERROR_ACCESS_DENIED)},
        // The read gives up at the address; the port it repaired stays, "&Ok" stores what it can.
        {"a missing value whose default cannot be written back", {Dword("Set32bits", 1)}, noDrivers, nullptr,
         opened + "proxy_auth=REG_DWORD 0; proxy_password=REG_SZ \"\\0\"; proxy_port=REG_DWORD 1; "
                  "proxy_type=REG_SZ \"SOCKS4\\0\"; proxy_username=REG_SZ \"\\0\"\n" + saved,
         Failing("RegSetValueExA * proxy_address *", ERROR_ACCESS_DENIED)},
    }, [](User& user, Player&) {
        std::string seen = Settings(user) + "\n";
        Offering({Text("proxy_type", "HTTP"), Dword("proxy_port", 80)}, "sys:3128")(user);
        seen += Network(user) + "\n";
        user.Pick(1015, "SOCKS4");
        user.Type(1010, "x");
        user.Type(1011, "1");
        user.Click(1018);
        seen += MessageBoxText(user) + "\n";
        user.Click(1);  // "&Close" saves what it can
        seen += KeyText(HKEY_CURRENT_USER, kNetworkKey) + "\n";
        return seen + KeyText(HKEY_LOCAL_MACHINE, kSettingsKey);
    });
}

}  // namespace
}  // namespace e2e
