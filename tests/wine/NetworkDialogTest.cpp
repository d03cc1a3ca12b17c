// NetworkDialogTest.cpp - "&Network Settings": which proxy the dialog offers,
// what it repairs in the user's store on the way, which boxes the proxy type
// enables, what "&Ok" stores or refuses, and that nothing else ends it.
#include "ConfigTest.h"

#include <cstring>
#include <iterator>

namespace e2e {
namespace {

using Script = std::function<void(User&)>;

const std::string kDefaults =
    "proxy_port REG_DWORD 0; proxy_type REG_SZ \"NONE\\0\"; proxy_address REG_SZ \"\\0\"; "
    "proxy_auth REG_DWORD 0; proxy_username REG_SZ \"\\0\"; proxy_password REG_SZ \"\\0\"";
const char kWarning[] =
    "Warning! | [OK] | Please complete all fields before clicking 'OK' | owner Kestrova Dad Azizov Network Settings";

// The module's writes to the user's proxy store, without the key's name.
std::string ProxyWrites(const SystemCalls& calls)
{
    std::string text;
    for (std::string line : calls.Calls({"RegSetValueExA HKCU\\Software\\Kestrova\\Network *"}))
        text += (text.empty() ? "" : "; ") + line.substr(std::strlen("RegSetValueExA HKCU\\Software\\Kestrova\\Network "));
    return text;
}

std::vector<Stored> Proxy(const std::string& type, const std::string& address, DWORD port, DWORD auth = 0,
                          const std::string& user = "", const std::string& password = "")
{
    return {Dword("proxy_port", port), Text("proxy_type", type), Text("proxy_address", address),
            Dword("proxy_auth", auth), Text("proxy_username", user), Text("proxy_password", password)};
}

struct OpeningRow {
    const char* scenario;
    std::vector<Stored> stored;  // the user's proxy store; none: no key
    const char* systemProxy;     // switched on with this server text; null: no system proxy
    const char* shown;
    std::string repairs;         // what opening wrote back
};

TEST_F(ConfigTest, NetworkDialogOffersTheStoredProxyElseTheSystemsAndRepairsTheStore)
{
    const OpeningRow rows[] = {
        {"a stored proxy: the system's is not consulted", Proxy("HTTP", "h", 8080, 1, "u", "p"), "proxyhost:3128",
         "HTTP | host: h | port: 8080 | auth: on | user: u | password: p | enabled: 1010 1011 1012 1016 1017", ""},
        {"nothing stored, a system proxy", {}, "proxyhost:8080",
         "HTTP | host: proxyhost | port: 8080 | auth: off | user:  | password:  | enabled: 1010 1011 1012", kDefaults},
        {"nothing stored, no system proxy", {}, nullptr,
         "NONE | host:  | port:  | auth: off | user:  | password:  | enabled: ", kDefaults},
        {"a system proxy of an unknown scheme shows in the disabled boxes", {}, "https=proxyhost:443",
         "NONE | host: proxyhost | port: 443 | auth: off | user:  | password:  | enabled: ", kDefaults},
        {"stored types are read ignoring case", Proxy("socks5", "h2", 1080), nullptr,
         "SOCKS5 | host: h2 | port: 1080 | auth: off | user:  | password:  | enabled: 1010 1011 1012", ""},
        {"an unknown stored type is NONE: the system's proxy, the stored credentials",
         Proxy("Socks", "h", 1, 1, "u", "p"), "socks=sp:1080",
         "SOCKS4 | host: sp | port: 1080 | auth: on | user: u | password: p | enabled: 1010 1011", ""},
        {"NONE keeps the stored port when there is no system proxy", Proxy("NONE", "", 77), nullptr,
         "NONE | host:  | port: 77 | auth: off | user:  | password:  | enabled: ", ""},
        {"a system proxy without a number clears it", Proxy("NONE", "", 77), "proxyhost:abc",
         "NONE | host:  | port:  | auth: off | user:  | password:  | enabled: ", ""},
        {"only a type stored: the rest repaired", {Text("proxy_type", "HTTP")}, nullptr,
         "HTTP | host:  | port:  | auth: off | user:  | password:  | enabled: 1010 1011 1012",
         "proxy_port REG_DWORD 0; proxy_address REG_SZ \"\\0\"; proxy_auth REG_DWORD 0; "
         "proxy_username REG_SZ \"\\0\"; proxy_password REG_SZ \"\\0\""},
        {"values that do not fit are replaced, shorter ones taken byte for byte",
         {Text("proxy_port", "1234"), Text("proxy_type", std::string(120, 'S')), Text("proxy_address", std::string(1024, 'a')),
          {"proxy_auth", REG_BINARY, "\x01\x02\x03"}, Text("proxy_username", "u"), Text("proxy_password", "p")},
         nullptr, "NONE | host:  | port:  | auth: on | user: u | password: p | enabled: ",
         "proxy_port REG_DWORD 0; proxy_type REG_SZ \"NONE\\0\"; proxy_address REG_SZ \"\\0\""},
    };
    for (const OpeningRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        DeleteKey(HKEY_LOCAL_MACHINE, "Software\\Kestrova");
        DeleteKey(HKEY_CURRENT_USER, kNetworkKey);
        if (!row.stored.empty())
            Store(HKEY_CURRENT_USER, kNetworkKey, row.stored);
        Store(HKEY_CURRENT_USER, kSystemProxyKey,
              {Dword("ProxyEnable", row.systemProxy != nullptr), Text("ProxyServer", row.systemProxy ? row.systemProxy : "")});
        calls->Forget();
        sim::SimEngine engine;
        std::string shown, types;
        Run(engine, [&](User& user) {
            user.OpenNetworkSettings();
            shown = user.Network();
            types = user.Entries(1015);
            user.Click(1019);
            user.Press(VK_ESCAPE);
        });
        EXPECT_EQ(shown, row.shown);
        types.erase(types.find('*'), 1);
        EXPECT_EQ(types, "NONE, SOCKS4, SOCKS5, HTTP");
        EXPECT_EQ(ProxyWrites(*calls), row.repairs);
        // Reading the store also makes sure the player's top-level key exists.
        EXPECT_EQ(Joined(calls->Calls({"Reg* HKLM\\Software\\Kestrova", "Reg* HKLM\\Software\\Kestrova 0x*"})),
                  "RegOpenKeyExA HKLM\\Software\\Kestrova 0xf003f; RegCreateKeyExA HKLM\\Software\\Kestrova 0xf003f; "
                  "RegCloseKey HKLM\\Software\\Kestrova");
    }
}

struct EditRow {
    Script act;
    const char* shown;
};

TEST_F(ConfigTest, ProxyTypeAndCheckBoxEnableOnlyTheBoxesTheProxyNeeds)
{
    const EditRow steps[] = {
        {[](User&) {}, "NONE | host:  | port:  | auth: off | user:  | password:  | enabled: "},
        {[](User& user) { user.Pick(1015, "SOCKS4"); },
         "SOCKS4 | host:  | port:  | auth: off | user:  | password:  | enabled: 1010 1011"},
        {[](User& user) { user.Pick(1015, "SOCKS5"); },
         "SOCKS5 | host:  | port:  | auth: off | user:  | password:  | enabled: 1010 1011 1012"},
        {[](User& user) {
             user.Click(1012);
             user.Type(1016, "u");
             user.Type(1017, "p");
         },
         "SOCKS5 | host:  | port:  | auth: on | user: u | password: p | enabled: 1010 1011 1012 1016 1017"},
        // Disabled boxes keep what they hold.
        {[](User& user) { user.Pick(1015, "SOCKS4"); },
         "SOCKS4 | host:  | port:  | auth: on | user: u | password: p | enabled: 1010 1011"},
        {[](User& user) { user.Pick(1015, "HTTP"); },
         "HTTP | host:  | port:  | auth: on | user: u | password: p | enabled: 1010 1011 1012 1016 1017"},
        {[](User& user) { user.Click(1012); },
         "HTTP | host:  | port:  | auth: off | user: u | password: p | enabled: 1010 1011 1012"},
        {[](User& user) { user.Pick(1015, "NONE"); },
         "NONE | host:  | port:  | auth: off | user: u | password: p | enabled: "},
    };
    sim::SimEngine engine;
    std::vector<std::string> shown;
    Run(engine, [&](User& user) {
        user.OpenNetworkSettings();
        for (const EditRow& step : steps) {
            step.act(user);
            shown.push_back(user.Network());
        }
        user.Click(1019);
        user.Press(VK_ESCAPE);
    });
    ASSERT_EQ(shown.size(), std::size(steps));
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], steps[i].shown) << "after step " << i;
}

struct OkRow {
    const char* scenario;
    Script entry;
    const char* stored;  // what "&Ok" wrote; null: refused with the warning
};

TEST_F(ConfigTest, OkStoresACompleteEntryAndWarnsAboutAnIncompleteOne)
{
    const auto fill = [](const char* type, const char* host, const char* port, bool auth, const char* user = "u",
                         const char* password = "p") {
        return [=](User& u) {
            u.Pick(1015, "HTTP");
            if (auth)
                u.Click(1012);
            u.Pick(1015, type);
            u.Type(1010, host);
            u.Type(1011, port);
            u.Type(1016, user);
            u.Type(1017, password);
        };
    };
    const OkRow rows[] = {
        {"HTTP without authentication drops the credentials", fill("HTTP", "h", "8080", false),
         "proxy_type REG_SZ \"HTTP\\0\"; proxy_address REG_SZ \"h\\0\"; proxy_port REG_DWORD 8080; "
         "proxy_auth REG_DWORD 0; proxy_username REG_SZ \"\\0\"; proxy_password REG_SZ \"\\0\""},
        {"SOCKS5 with authentication", fill("SOCKS5", "socks.example", "1080", true, "me", "secret"),
         "proxy_type REG_SZ \"SOCKS5\\0\"; proxy_address REG_SZ \"socks.example\\0\"; proxy_port REG_DWORD 1080; "
         "proxy_auth REG_DWORD 1; proxy_username REG_SZ \"me\\0\"; proxy_password REG_SZ \"secret\\0\""},
        {"SOCKS4 keeps a checked box and the disabled boxes' texts", fill("SOCKS4", "h", "1", true),
         "proxy_type REG_SZ \"SOCKS4\\0\"; proxy_address REG_SZ \"h\\0\"; proxy_port REG_DWORD 1; "
         "proxy_auth REG_DWORD 1; proxy_username REG_SZ \"u\\0\"; proxy_password REG_SZ \"p\\0\""},
        {"NONE stores nothing of what the boxes hold", fill("NONE", "h", "8080", true),
         "proxy_type REG_SZ \"NONE\\0\"; proxy_address REG_SZ \"\\0\"; proxy_port REG_DWORD 0; "
         "proxy_auth REG_DWORD 0; proxy_username REG_SZ \"\\0\"; proxy_password REG_SZ \"\\0\""},
        {"a port of ten digits counts with its first nine, a blank is a host", fill("HTTP", " ", "1234567890", false),
         "proxy_type REG_SZ \"HTTP\\0\"; proxy_address REG_SZ \" \\0\"; proxy_port REG_DWORD 123456789; "
         "proxy_auth REG_DWORD 0; proxy_username REG_SZ \"\\0\"; proxy_password REG_SZ \"\\0\""},
        {"no host", fill("SOCKS4", "", "1080", false), nullptr},
        {"port 0", fill("SOCKS4", "h", "0", false), nullptr},
        {"no port", fill("HTTP", "h", "", false), nullptr},
        {"authentication without a password", fill("SOCKS5", "h", "1080", true, "u", ""), nullptr},
        {"authentication without a user name", fill("HTTP", "h", "1080", true, "", "p"), nullptr},
    };
    for (const OkRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        DeleteKey(HKEY_CURRENT_USER, kNetworkKey);
        sim::SimEngine engine;
        std::string box, before, after;
        bool stillOpen = false;
        Run(engine, [&](User& user) {
            user.OpenNetworkSettings();
            row.entry(user);
            before = user.Network();
            calls->Forget();
            user.Click(1018);
            box = user.MessageBox();
            if (!box.empty())
                user.DismissMessageBox();
            stillOpen = user.NetworkOpen();
            if (stillOpen) {
                after = user.Network();
                user.Click(1019);
            }
            user.Press(VK_ESCAPE);
        });
        EXPECT_EQ(box, row.stored ? "" : kWarning);
        EXPECT_EQ(stillOpen, row.stored == nullptr);
        EXPECT_EQ(ProxyWrites(*calls), row.stored ? row.stored : "") << before;
        if (stillOpen) {
            EXPECT_EQ(after, before) << "the entries stay as they were";
        }
    }
}

TEST_F(ConfigTest, OnlyOkAndCancelEndTheNetworkDialogAndTheSettingsDialogCarriesOn)
{
    sim::SimEngine engine;
    BuildPlayer(engine);
    std::string settingsBefore, settingsAfter, second;
    bool openAfterKeys = false;
    Run(engine, [&](User& user) {
        user.Pick(1003, "800x600");
        settingsBefore = user.Settings();
        user.OpenNetworkSettings();
        user.Pick(1015, "HTTP");
        user.Type(1010, "h");
        user.Type(1011, "8080");
        calls->Forget();
        user.Press(VK_RETURN);
        user.Press(VK_ESCAPE);
        openAfterKeys = user.NetworkOpen();
        user.Click(1019);
        user.OpenNetworkSettings();
        second = user.Network();
        user.Click(1019);
        settingsAfter = user.Settings();
        user.Click(1);
    });
    EXPECT_TRUE(openAfterKeys) << "Enter and Esc leave the network dialog open";
    EXPECT_EQ(ProxyWrites(*calls), "") << "&Cancel stores nothing";
    EXPECT_EQ(second, "NONE | host:  | port:  | auth: off | user:  | password:  | enabled: ");
    EXPECT_EQ(settingsAfter, settingsBefore);
    EXPECT_EQ(KeyText(HKEY_LOCAL_MACHINE, kSettingsKey),
              "AutoUpdate=REG_DWORD 1; ForceRenderMode=REG_DWORD 0; fsHeight=REG_DWORD 600; "
              "fsWidth=REG_DWORD 800; RenderEngine=REG_DWORD 0; Set32bits=REG_DWORD 0");
    EXPECT_EQ(Joined(calls->Calls({"DialogBoxParamA*"})),
              "DialogBoxParamA 102 owner Kestrova Dad Azizov Settings param 0");
}

}  // namespace
}  // namespace e2e
