// The per-user proxy store and the system proxy import, on the in-memory
// registry.
#include "ModuleFixture.h"

#include "ProxySettings.h"
#include "SystemProxy.h"

namespace {

const char kNetworkKey[] = "Software\\Kestrova\\Network";

std::string Dword(std::uint32_t v)
{
    return std::string({static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                        static_cast<char>(v >> 24)});
}
std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

struct Stored {
    const char* name;
    plat::Dword type;
    std::string bytes;
};

void Seed(const std::vector<Stored>& values)
{
    for (const Stored& value : values)
        memplat::PutValue(plat::HKeyCurrentUser(), kNetworkKey, value.name, value.type, value.bytes);
}

// "name=<type>:<bytes>" of every value of the per-user key, in key order.
std::vector<std::string> KeyContents()
{
    std::vector<std::string> contents;
    for (const std::string& name : memplat::ValueNames(plat::HKeyCurrentUser(), kNetworkKey)) {
        plat::Dword type = 0;
        std::string bytes;
        memplat::GetValue(plat::HKeyCurrentUser(), kNetworkKey, name, &type, &bytes);
        contents.push_back(name + "=" + std::to_string(type) + ":" + bytes);
    }
    return contents;
}

std::string Describe(const ProxySettings& s)
{
    return std::string(ProxyTypeToName(s.type)) + "|" + s.address + "|" + std::to_string(s.port) + "|" +
           std::to_string(s.auth) + "|" + s.username + "|" + s.password;
}

}  // namespace

TEST_F(ModuleTest, ReadingRepairsWhatIsMissingOrDoesNotFit)
{
    struct ReadCase {
        const char* what;
        std::vector<Stored> stored;
        std::string record;                // Describe() of what is read
        std::vector<std::string> repairs;  // the write-backs, in order
    };
    const std::string longType(120, 'H'), longestType(99, 'h');
    const std::string longestText(1023, 'a'), tooLongText(1024, 'b');
    const std::vector<std::string> all = {"proxy_port=4:4",     "proxy_type=1:5",     "proxy_address=1:1",
                                          "proxy_auth=4:4",     "proxy_username=1:1", "proxy_password=1:1"};
    const ReadCase cases[] = {
        {"no key at all", {}, "NONE||0|0||", all},
        {"only the type", {{"proxy_type", plat::kRegSz, Sz("HTTP")}}, "HTTP||0|0||",
         {all[0], all[2], all[3], all[4], all[5]}},
        {"type in lower case", {{"proxy_type", plat::kRegSz, Sz("socks5")}}, "SOCKS5||0|0||",
         {all[0], all[2], all[3], all[4], all[5]}},
        {"unknown type name", {{"proxy_type", plat::kRegSz, Sz("Socks")}}, "NONE||0|0||",
         {all[0], all[2], all[3], all[4], all[5]}},
        {"type name of 120 characters", {{"proxy_type", plat::kRegSz, Sz(longType)}}, "NONE||0|0||", all},
        {"type name of 99 characters", {{"proxy_type", plat::kRegSz, Sz(longestType)}}, "NONE||0|0||",
         {all[0], all[2], all[3], all[4], all[5]}},
        {"port stored as text", {{"proxy_port", plat::kRegSz, Sz("8080")}}, "NONE||0|0||", all},
        {"port of 3 bytes", {{"proxy_port", plat::kRegBinary, std::string("\x50\x1F\x01", 3)}},
         "NONE||73552|0||", {all[1], all[2], all[3], all[4], all[5]}},
        {"everything stored",
         {{"proxy_port", plat::kRegDword, Dword(1080)}, {"proxy_type", plat::kRegSz, Sz("SOCKS4")},
          {"proxy_address", plat::kRegSz, Sz("proxy.local")}, {"proxy_auth", plat::kRegDword, Dword(1)},
          {"proxy_username", plat::kRegSz, Sz("anna")}, {"proxy_password", plat::kRegSz, Sz("s3cret pw")}},
         "SOCKS4|proxy.local|1080|1|anna|s3cret pw", {}},
        {"texts end at their first NUL or their size",
         {{"proxy_address", plat::kRegSz, std::string("ab\0cd", 5)}, {"proxy_username", plat::kRegBinary, "xyz"},
          {"proxy_password", plat::kRegExpandSz, Sz("%P%")}},
         "NONE|ab|0|0|xyz|%P%", {all[0], all[1], all[3]}},
        {"a buffer-filling text without NUL keeps 1023 characters",
         {{"proxy_address", plat::kRegBinary, std::string(1024, 'z')}}, "NONE|" + std::string(1023, 'z') + "|0|0||",
         {all[0], all[1], all[3], all[4], all[5]}},
        {"longest address fits, longer one is replaced",
         {{"proxy_address", plat::kRegSz, Sz(longestText)}, {"proxy_username", plat::kRegSz, Sz(tooLongText)}},
         "NONE|" + longestText + "|0|0||", {all[0], all[1], all[3], all[4], all[5]}},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        memplat::Reset();
        SetUp();
        Seed(c.stored);
        ProxySettings settings;
        EXPECT_EQ(1, ReadProxySettings(settings));
        EXPECT_EQ(c.record, Describe(settings));
        EXPECT_EQ(c.repairs, memplat::RegistryWrites());
        EXPECT_TRUE(memplat::KeyExists(plat::HKeyLocalMachine(), "Software\\Kestrova"));
        EXPECT_EQ(0, memplat::OpenKeyCount());
    }
}

TEST_F(ModuleTest, StoreFailsWithoutTouchingTheUserKeyWhenThePlayerKeyIsOutOfReach)
{
    struct FailCase {
        const char* what;
        const char* lockedPath;
        plat::RegKey lockedRoot;
        memplat::KeyAccess access;
    };
    const FailCase cases[] = {
        {"HKLM read only, no player key", "Software", plat::HKeyLocalMachine(), memplat::KeyAccess::ReadOnly},
        {"player key denied", "Software\\Kestrova", plat::HKeyLocalMachine(), memplat::KeyAccess::Denied},
        {"per-user key cannot be created", "Software", plat::HKeyCurrentUser(), memplat::KeyAccess::ReadOnly},
    };
    for (const FailCase& c : cases) {
        SCOPED_TRACE(c.what);
        memplat::Reset();
        SetUp();
        memplat::SetKeyAccess(c.lockedRoot, c.lockedPath, c.access);
        ProxySettings settings;
        settings.type = ProxyTypeHttp;
        settings.address = "keep";
        EXPECT_EQ(0, ReadProxySettings(settings));
        EXPECT_EQ("HTTP|keep|0|0||", Describe(settings)) << "the record is unchanged";
        EXPECT_EQ(0, WriteProxySettings(settings));
        EXPECT_TRUE(memplat::RegistryWrites().empty());
        EXPECT_FALSE(memplat::KeyExists(plat::HKeyCurrentUser(), kNetworkKey));
    }
}

TEST_F(ModuleTest, WritingNormalisesWhatIsStored)
{
    struct WriteCase {
        const char* what;
        ProxySettings record;
        std::vector<std::string> stored;
    };
    const WriteCase cases[] = {
        {"HTTP without authentication drops the credentials",
         {ProxyTypeHttp, "gate", 3128, 0, "anna", "pw"},
         {"proxy_type=1:" + Sz("HTTP"), "proxy_address=1:" + Sz("gate"), "proxy_port=4:" + Dword(3128),
          "proxy_auth=4:" + Dword(0), "proxy_username=1:" + Sz(""), "proxy_password=1:" + Sz("")}},
        {"NONE stores nothing but its name",
         {ProxyTypeNone, "gate", 8080, 1, "anna", "pw"},
         {"proxy_type=1:" + Sz("NONE"), "proxy_address=1:" + Sz(""), "proxy_port=4:" + Dword(0),
          "proxy_auth=4:" + Dword(0), "proxy_username=1:" + Sz(""), "proxy_password=1:" + Sz("")}},
        {"a type outside the table is stored as NONE",
         {static_cast<ProxyType>(9), "gate", 8080, 1, "anna", "pw"},
         {"proxy_type=1:" + Sz("NONE"), "proxy_address=1:" + Sz(""), "proxy_port=4:" + Dword(0),
          "proxy_auth=4:" + Dword(0), "proxy_username=1:" + Sz(""), "proxy_password=1:" + Sz("")}},
        {"SOCKS5 with credentials and an empty address",
         {ProxyTypeSocks5, "", -5, 7, "anna", "p w"},
         {"proxy_type=1:" + Sz("SOCKS5"), "proxy_address=1:" + Sz(""), "proxy_port=4:" + Dword(0xFFFFFFFBu),
          "proxy_auth=4:" + Dword(7), "proxy_username=1:" + Sz("anna"), "proxy_password=1:" + Sz("p w")}},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.what);
        memplat::Reset();
        SetUp();
        EXPECT_EQ(1, WriteProxySettings(c.record));
        EXPECT_EQ(c.stored, KeyContents());
        const std::vector<std::string> order = {"proxy_type",  "proxy_address",  "proxy_port",
                                                "proxy_auth", "proxy_username", "proxy_password"};
        std::vector<std::string> written;
        for (const std::string& write : memplat::RegistryWrites())
            written.push_back(write.substr(0, write.find('=')));
        EXPECT_EQ(order, written);
        ProxySettings back;
        EXPECT_EQ(1, ReadProxySettings(back));
        EXPECT_EQ(6u, memplat::RegistryWrites().size()) << "what was written reads back without repair";
    }
}

TEST_F(ModuleTest, SystemProxyImportFollowsTheServerText)
{
    struct ImportCase {
        std::string server;
        std::uint32_t enable;
        int result;
        std::string record;  // Describe() of type, address and port; the rest stays empty
    };
    // The record starts as SOCKS5 "before" port 77: what is unchanged shows.
    const ImportCase cases[] = {
        {"proxyhost:8080", 0, 0, "SOCKS5|before|77|0||"},
        {"proxyhost:8080", 1, 1, "HTTP|proxyhost|8080|0||"},
        {"socks=proxyhost:1080", 1, 1, "SOCKS4|proxyhost|1080|0||"},
        {"socks4=proxyhost:1080", 1, 1, "SOCKS4|proxyhost|1080|0||"},
        {"socks5=proxyhost:1080", 1, 1, "SOCKS5|proxyhost|1080|0||"},
        {"SOCKS=proxyhost:1080", 1, 1, "NONE|proxyhost|1080|0||"},
        {"https=proxyhost:443", 1, 1, "NONE|proxyhost|443|0||"},
        {"http=h1:80;https=h2:443", 1, 1, "NONE|h2|443|0||"},
        {"http=h1:80;ftp=h2", 1, 1, "HTTP|h1|80|0||"},
        {"=proxyhost:80", 1, 1, "NONE|proxyhost|80|0||"},
        {"proxyhost", 1, 0, "SOCKS5|before|77|0||"},
        {"proxyhost:", 1, 0, "SOCKS5|before|0|0||"},
        {"proxyhost:abc", 1, 0, "SOCKS5|before|0|0||"},
        {"proxyhost:-5", 1, 1, "HTTP|proxyhost|-5|0||"},
        {"proxyhost:8080x", 1, 1, "HTTP|proxyhost|8080|0||"},
        {"proxyhost: \t+42", 1, 1, "HTTP|proxyhost|42|0||"},
        {"proxyhost:4294967297", 1, 1, "HTTP|proxyhost|1|0||"},
        {"[::1]:3128", 1, 1, "HTTP|[::1]|3128|0||"},
        {std::string(1021, 'h') + ":1", 1, 1, "HTTP|" + std::string(1021, 'h') + "|1|0||"},
    };
    for (const ImportCase& c : cases) {
        SCOPED_TRACE(c.server.substr(0, 40) + " enable " + std::to_string(c.enable));
        memplat::Reset();
        SetUp();
        memplat::PutDword(plat::HKeyCurrentUser(), kInternetSettingsKey, "ProxyEnable", c.enable);
        memplat::PutValue(plat::HKeyCurrentUser(), kInternetSettingsKey, "ProxyServer", plat::kRegSz, Sz(c.server));
        ProxySettings settings;
        settings.type = ProxyTypeSocks5;
        settings.address = "before";
        settings.port = 77;
        EXPECT_EQ(c.result, ReadSystemProxy(settings.type, settings.address, settings.port));
        EXPECT_EQ(c.record, Describe(settings));
        EXPECT_TRUE(memplat::RegistryWrites().empty()) << "the import only reads";
    }
}

TEST_F(ModuleTest, SystemProxyIsAbsentWithoutItsValues)
{
    struct AbsentCase {
        const char* what;
        bool enable, server;
        std::string serverText;
    };
    const AbsentCase cases[] = {
        {"no key", false, false, ""},
        {"no ProxyEnable", false, true, "proxyhost:8080"},
        {"no ProxyServer", true, false, ""},
        {"server text larger than its buffer", true, true, std::string(1024, 'h') + ":80"},
    };
    for (const AbsentCase& c : cases) {
        SCOPED_TRACE(c.what);
        memplat::Reset();
        SetUp();
        if (c.enable)
            memplat::PutDword(plat::HKeyCurrentUser(), kInternetSettingsKey, "ProxyEnable", 1);
        if (c.server)
            memplat::PutValue(plat::HKeyCurrentUser(), kInternetSettingsKey, "ProxyServer", plat::kRegSz,
                              Sz(c.serverText));
        ProxySettings settings;
        settings.port = 77;
        EXPECT_EQ(0, ReadSystemProxy(settings.type, settings.address, settings.port));
        EXPECT_EQ("NONE||77|0||", Describe(settings));
    }
}
