// The network settings dialog: what it shows, what it enables, what it
// refuses and what it stores.
#include "ModuleFixture.h"

#include <functional>

#include "ConfigModule.h"
#include "NetworkDialog.h"
#include "ProxySettings.h"
#include "SettingsDialog.h"
#include "SystemProxy.h"
#include "resources/resource.h"

namespace {

const char kNetworkKey[] = "Software\\Kestrova\\Network";

void StoreProxy(const ProxySettings& settings) { ASSERT_EQ(1, WriteProxySettings(settings)); }

void SetSystemProxy(const std::string& server)
{
    memplat::PutDword(plat::HKeyCurrentUser(), kInternetSettingsKey, "ProxyEnable", 1);
    memplat::PutValue(plat::HKeyCurrentUser(), kInternetSettingsKey, "ProxyServer", plat::kRegSz,
                      server + std::string(1, '\0'));
}

ProxySettings StoredProxy()
{
    ProxySettings settings;
    EXPECT_EQ(1, ReadProxySettings(settings));
    return settings;
}

}  // namespace

class NetworkDialogTest : public ModuleTest {
protected:
    plat::Window OpenNetwork()
    {
        dialog_ = memplat::CreateDialogWindow(IDD_NETWORK, NetworkDlgProc);
        return dialog_;
    }
    // The five boxes, enabled or not, as "1" and "0" in the order
    // host, port, check box, username, password.
    std::string Enabled() const
    {
        std::string states;
        for (int id : {IDC_PROXY_HOST, IDC_PROXY_PORT, IDC_PROXY_AUTH, IDC_PROXY_USERNAME, IDC_PROXY_PASSWORD})
            states += plat::IsWindowEnabled(Item(id)) ? '1' : '0';
        return states;
    }
    std::string Text(int id) const { return memplat::WindowText(Item(id)); }
    void Type(int id, const std::string& text) { plat::SetWindowTextA(Item(id), text.c_str()); }
    void PickType(const char* name)
    {
        memplat::SelectComboItem(dialog_, IDC_PROXY_TYPE,
                                 static_cast<int>(plat::ComboFindString(Item(IDC_PROXY_TYPE), -1, name)));
    }
    void Close() { memplat::DestroyDialogWindow(dialog_), dialog_ = nullptr; }
};

TEST_F(NetworkDialogTest, OpensWithStoredThenSystemProxyThenNone)
{
    struct OpenCase {
        const char* what;
        bool storeHttp;      // a stored HTTP proxy gate:8080 with authentication
        const char* system;  // system proxy server text, or null for none
        std::string type, host, port;
        bool authChecked;
        std::string enabled;
    };
    const OpenCase cases[] = {
        {"stored proxy wins", true, "socks=other:1080", "HTTP", "gate", "8080", true, "11111"},
        {"system proxy when nothing is stored", false, "proxyhost:8080", "HTTP", "proxyhost", "8080", false, "11100"},
        {"nothing anywhere", false, nullptr, "NONE", "", "", false, "00000"},
        {"system proxy of an unusable scheme", false, "https=proxyhost:443", "NONE", "proxyhost", "443", false, "00000"},
        {"system proxy without a port", false, "proxyhost", "NONE", "", "", false, "00000"},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.what);
        memplat::Reset();
        SetUp();
        if (c.storeHttp)
            StoreProxy({ProxyTypeHttp, "gate", 8080, 1, "anna", "pw"});
        if (c.system != nullptr)
            SetSystemProxy(c.system);
        OpenNetwork();
        EXPECT_EQ(std::vector<std::string>({"NONE", "SOCKS4", "SOCKS5", "HTTP"}), Items(IDC_PROXY_TYPE));
        EXPECT_EQ(c.type, Selected(IDC_PROXY_TYPE));
        EXPECT_EQ(c.host, Text(IDC_PROXY_HOST));
        EXPECT_EQ(c.port, Text(IDC_PROXY_PORT));
        EXPECT_EQ(c.authChecked, Checked(IDC_PROXY_AUTH));
        EXPECT_EQ(c.enabled, Enabled());
        EXPECT_EQ(0, memplat::LastProcResult(dialog_));
        // Opening alone leaves a complete per-user key behind.
        EXPECT_EQ(6u, memplat::ValueNames(plat::HKeyCurrentUser(), kNetworkKey).size());
        Close();
    }
}

TEST_F(NetworkDialogTest, TypeAndCheckBoxEnableOnlyWhatIsNeeded)
{
    struct EnableCase {
        const char* type;
        bool checked;
        std::string enabled;
    };
    const EnableCase cases[] = {
        {"NONE", false, "00000"},  {"NONE", true, "00000"},   {"SOCKS4", false, "11000"},
        {"SOCKS4", true, "11000"}, {"SOCKS5", false, "11100"}, {"SOCKS5", true, "11111"},
        {"HTTP", false, "11100"},  {"HTTP", true, "11111"},
    };
    OpenNetwork();
    Type(IDC_PROXY_USERNAME, "kept");
    for (const EnableCase& c : cases) {
        SCOPED_TRACE(std::string(c.type) + (c.checked ? " checked" : " clear"));
        PickType("HTTP");
        if (Checked(IDC_PROXY_AUTH) != c.checked)
            memplat::Click(dialog_, IDC_PROXY_AUTH);
        PickType(c.type);
        EXPECT_EQ(c.enabled, Enabled());
        EXPECT_EQ(c.checked, Checked(IDC_PROXY_AUTH)) << "disabling keeps the check state";
        EXPECT_EQ("kept", Text(IDC_PROXY_USERNAME)) << "disabling keeps the text";
    }
}

TEST_F(NetworkDialogTest, OkStoresOnlyCompleteEntries)
{
    struct OkCase {
        const char* type;
        std::string host, port;
        bool auth;
        std::string user, password;
        bool accepted;
        std::string stored;  // type|address|port|auth|username|password after Ok
    };
    const std::string before = "NONE||0|0||";
    const OkCase cases[] = {
        {"NONE", "left", "99", true, "u", "p", true, "NONE||0|0||"},
        {"SOCKS4", "", "1080", false, "", "", false, before},
        {"SOCKS4", "host", "", false, "", "", false, before},
        {"SOCKS4", "host", "0", false, "", "", false, before},
        {"SOCKS4", "host", "1080", true, "u", "", true, "SOCKS4|host|1080|1|u|"},
        {"SOCKS5", "host", "1080", true, "u", "", false, before},
        {"SOCKS5", "host", "1080", true, "", "p", false, before},
        {"SOCKS5", " ", "1", true, " ", " ", true, "SOCKS5| |1|1| | "},
        {"HTTP", "host", "8080", false, "u", "p", true, "HTTP|host|8080|0||"},
        {"HTTP", "host", "1234567890", false, "", "", true, "HTTP|host|123456789|0||"},
        {"HTTP", "host", "-7", false, "", "", true, "HTTP|host|-7|0||"},
    };
    for (const OkCase& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " host '" + c.host + "' port '" + c.port + "'");
        memplat::Reset();
        SetUp();
        OpenNetwork();
        PickType("HTTP");
        if (c.auth)
            memplat::Click(dialog_, IDC_PROXY_AUTH);
        Type(IDC_PROXY_HOST, c.host);
        Type(IDC_PROXY_PORT, c.port);
        Type(IDC_PROXY_USERNAME, c.user);
        Type(IDC_PROXY_PASSWORD, c.password);
        PickType(c.type);

        memplat::Click(dialog_, IDC_PROXY_OK);

        EXPECT_EQ(c.accepted, memplat::IsDialogEnded(dialog_));
        EXPECT_EQ(c.accepted ? 1 : 0, memplat::LastProcResult(dialog_));
        const std::vector<memplat::MessageBoxRecord> boxes = memplat::MessageBoxes();
        ASSERT_EQ(c.accepted ? 0u : 1u, boxes.size());
        if (!c.accepted) {
            EXPECT_EQ("Please complete all fields before clicking 'OK'", boxes[0].text);
            EXPECT_EQ("Warning!", boxes[0].caption);
            EXPECT_EQ(plat::kMbOk, boxes[0].type);
            EXPECT_EQ(dialog_, boxes[0].owner);
            EXPECT_EQ(c.host, Text(IDC_PROXY_HOST)) << "the entry stays as it was";
        }
        const ProxySettings stored = StoredProxy();
        EXPECT_EQ(c.stored, std::string(ProxyTypeToName(stored.type)) + "|" + stored.address + "|" +
                                std::to_string(stored.port) + "|" + std::to_string(stored.auth) + "|" +
                                stored.username + "|" + stored.password);
        Close();
    }
}

TEST_F(NetworkDialogTest, EnterAndEscLeaveItOpenAndCancelStoresNothing)
{
    StoreProxy({ProxyTypeSocks5, "gate", 1080, 0, "", ""});
    OpenNetwork();
    PickType("HTTP");
    Type(IDC_PROXY_HOST, "changed");
    memplat::PressEnter(dialog_);
    memplat::PressEscape(dialog_);
    EXPECT_FALSE(memplat::IsDialogEnded(dialog_));
    EXPECT_TRUE(memplat::MessageBoxes().empty());

    memplat::Click(dialog_, IDC_PROXY_CANCEL);
    EXPECT_TRUE(memplat::IsDialogEnded(dialog_));
    EXPECT_EQ(1, memplat::DialogResult(dialog_));
    const ProxySettings stored = StoredProxy();
    EXPECT_EQ(ProxyTypeSocks5, stored.type);
    EXPECT_EQ("gate", stored.address);
}

// The main dialog opens the network dialog over itself as often as the
// user likes, and goes on working as before.
TEST_F(NetworkDialogTest, SettingsDialogOpensItRepeatedlyAndCarriesOn)
{
    int networkOpenings = 0;
    memplat::SetModalDriver([&](plat::Window dialog, int templateId) {
        if (templateId == IDD_NETWORK) {
            ++networkOpenings;
            EXPECT_EQ(IDD_SETTINGS, memplat::TemplateIdOf(dialog_)) << "owned by the settings dialog";
            if (networkOpenings == 1) {
                memplat::SelectComboItem(dialog, IDC_PROXY_TYPE, 3);
                plat::SetWindowTextA(plat::GetDlgItem(dialog, IDC_PROXY_HOST), "gate");
                plat::SetWindowTextA(plat::GetDlgItem(dialog, IDC_PROXY_PORT), "3128");
                memplat::Click(dialog, IDC_PROXY_OK);
            } else {
                memplat::Click(dialog, IDC_PROXY_CANCEL);
            }
            return;
        }
        dialog_ = dialog;
        memplat::Click(dialog, IDC_NETWORK_SETTINGS);
        EXPECT_EQ(0, memplat::LastProcResult(dialog));
        memplat::Click(dialog, IDC_NETWORK_SETTINGS);
        EXPECT_FALSE(memplat::IsDialogEnded(dialog));
        SelectDriverEntry("Software Rasterizer");
        memplat::Click(dialog, IDC_CLOSE);
        dialog_ = nullptr;
    });
    EXPECT_EQ(1, DoConfig(engine().Host(), nullptr));
    EXPECT_EQ(2, networkOpenings);
    EXPECT_EQ(2u, StoredDword("RenderEngine"));
    const ProxySettings stored = StoredProxy();
    EXPECT_EQ(ProxyTypeHttp, stored.type);
    EXPECT_EQ(3128, stored.port);
}
