// OutOfReachTest.cpp - a user without the rights the module would like, or a
// registry that refuses writes: the settings that cannot be read fall back to
// their defaults, the ones that cannot be stored are lost without a message,
// and both dialogs still open and close.
#include "ConfigTest.h"

namespace e2e {
namespace {

struct ReachRow {
    const char* scenario;
    std::vector<std::pair<const char*, long>> faults;
    const char* checked;   // the settings dialog's check boxes
    const char* offered;   // what the network dialog offers
    const char* proxies;   // the user's proxy store afterwards
    const char* settings;  // the display settings afterwards
};

TEST_F(ConfigTest, SettingsOutOfReachAreLostQuietlyAndBothDialogsClose)
{
    const char* const system = "HTTP | host: sys | port: 3128 | auth: off | user:  | password:  | enabled: 1010 1011 1012";
    const char* const untouchedProxies = "proxy_port=REG_DWORD 80; proxy_type=REG_SZ \"HTTP\\0\"";
    const char* const storedSocks4 = "proxy_address=REG_SZ \"x\\0\"; proxy_auth=REG_DWORD 0; proxy_password=REG_SZ \"\\0\"; "
                                     "proxy_port=REG_DWORD 1; proxy_type=REG_SZ \"SOCKS4\\0\"; proxy_username=REG_SZ \"\\0\"";
    const char* const untouchedSettings = "Set32bits=REG_DWORD 1";
    const ReachRow rows[] = {
        {"the machine's keys are read-only",
         {{"RegOpenKeyExA HKLM\\* 0xf003f", ERROR_ACCESS_DENIED}, {"RegCreateKey*HKLM\\*", ERROR_ACCESS_DENIED}},
         "1000 1004 1022", system, untouchedProxies, untouchedSettings},
        {"the machine's keys are denied", {{"Reg*Key* HKLM\\*", ERROR_ACCESS_DENIED}}, "1000 1022", system,
         untouchedProxies, untouchedSettings},
        {"the user's proxy key can be neither opened nor created",
         {{"Reg*Key* HKCU\\Software\\Kestrova\\Network*", ERROR_ACCESS_DENIED}}, "1000 1004 1022", system,
         untouchedProxies,
         "AutoUpdate=REG_DWORD 1; ForceRenderMode=REG_DWORD 0; fsHeight=REG_DWORD 480; fsWidth=REG_DWORD 640; "
         "RenderEngine=REG_DWORD 4294967295; Set32bits=REG_DWORD 1"},
        // The read gives up at the address; the port it repaired stays, and
        // "&Ok" stores what it can.
        {"a missing value whose default cannot be written back",
         {{"RegSetValueExA * proxy_address *", ERROR_ACCESS_DENIED}}, "1000 1004 1022", system,
         "proxy_auth=REG_DWORD 0; proxy_password=REG_SZ \"\\0\"; proxy_port=REG_DWORD 1; "
         "proxy_type=REG_SZ \"SOCKS4\\0\"; proxy_username=REG_SZ \"\\0\"",
         "AutoUpdate=REG_DWORD 1; ForceRenderMode=REG_DWORD 0; fsHeight=REG_DWORD 480; fsWidth=REG_DWORD 640; "
         "RenderEngine=REG_DWORD 4294967295; Set32bits=REG_DWORD 1"},
        {"display values that cannot be written", {{"RegSetValueExA * AutoUpdate *", ERROR_ACCESS_DENIED}},
         "1000 1004 1022", "HTTP | host:  | port: 80 | auth: off | user:  | password:  | enabled: 1010 1011 1012",
         storedSocks4,
         "ForceRenderMode=REG_DWORD 0; fsHeight=REG_DWORD 480; fsWidth=REG_DWORD 640; "
         "RenderEngine=REG_DWORD 4294967295; Set32bits=REG_DWORD 1"},
    };
    for (const ReachRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        DeleteKey(HKEY_LOCAL_MACHINE, "Software\\Kestrova");
        DeleteKey(HKEY_CURRENT_USER, "Software\\Kestrova");
        Store(HKEY_CURRENT_USER, kNetworkKey, {Text("proxy_type", "HTTP"), Dword("proxy_port", 80)});
        Store(HKEY_CURRENT_USER, kSystemProxyKey, {Dword("ProxyEnable", 1), Text("ProxyServer", "sys:3128")});
        calls->Reset();
        for (const auto& fault : row.faults)
            calls->Fail(fault.first, fault.second);
        const Scenario played = {row.scenario, {Dword("Set32bits", 1)}, [](sim::SimEngine&) {}, nullptr, ""};
        EXPECT_EQ(Play(played, [](User& user, sim::SimEngine&) {
                      std::string seen = Settings(user) + "\n";
                      user.OpenNetworkSettings();
                      seen += Network(user) + "\n";
                      user.Pick(1015, "SOCKS4");
                      user.Type(1010, "x");
                      user.Type(1011, "1");
                      user.Click(1018);
                      seen += MessageBox(user);
                      user.Click(1);  // "&Close" saves what it can
                      return seen;
                  }),
                  std::string("drivers:  | modes:  | checked: ") + row.checked + "\n" + row.offered + "\n");
        EXPECT_EQ(KeyText(HKEY_CURRENT_USER, kNetworkKey), row.proxies);
        EXPECT_EQ(KeyText(HKEY_LOCAL_MACHINE, kSettingsKey), row.settings);
    }
}

}  // namespace
}  // namespace e2e
