// The per-user proxy store: reading with repair, writing with
// normalisation, and the round trip between them.
//
// Input:
//   access byte: bits 0-1 the rule on HKLM "Software" (0/3 full, 1 read
//     only, 2 denied); bit 2 the player key exists beforehand; bits 3-4 the
//     rule on the per-user key itself (same coding);
//   six values in reading order (proxy_port, proxy_type, proxy_address,
//     proxy_auth, proxy_username, proxy_password), each: a presence byte
//     (bit 0), a registry type byte and a blob (FuzzSupport.h) of up to
//     1279 bytes;
//   a byte whose bit 0 asks for a second, arbitrary record to be written:
//     type (4 bytes, any number), port (4), auth (4), then address, user
//     name and password as blobs without NULs, cut to 1023 characters (what
//     the dialog's boxes can hold).
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "ProxySettings.h"
#include "platform/MemoryPlatform.h"

namespace {

const char kNetworkKey[] = "Software\\Kestrova\\Network";

struct ValueRule {
    const char* name;
    bool number;
    std::size_t bufferSize;  // the reader's buffer, NUL included for texts
    const char* fallback;    // texts: the default text
};

// Reading order.
const ValueRule kValues[6] = {
    {"proxy_port", true, 4, nullptr},         {"proxy_type", false, 100, "NONE"},
    {"proxy_address", false, 1024, ""},       {"proxy_auth", true, 4, nullptr},
    {"proxy_username", false, 1024, ""},      {"proxy_password", false, 1024, ""},
};

struct Seeded {
    bool present;
    plat::Dword type;
    std::string bytes;
};

memplat::KeyAccess AccessOf(unsigned code)
{
    switch (code & 3) {
    case 1:
        return memplat::KeyAccess::ReadOnly;
    case 2:
        return memplat::KeyAccess::Denied;
    default:
        return memplat::KeyAccess::Full;
    }
}

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

std::string UpToNul(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }


const char* ReferenceTypeName(std::int32_t type)
{
    switch (type) {
    case 1:
        return "SOCKS4";
    case 2:
        return "SOCKS5";
    case 3:
        return "HTTP";
    default:
        return "NONE";
    }
}

std::string DescribeRecord(const ProxySettings& s)
{
    return std::to_string(static_cast<std::int32_t>(s.type)) + "|" + fuzz::Show(s.address) + "|" +
           std::to_string(s.port) + "|" + std::to_string(s.auth) + "|" + fuzz::Show(s.username) + "|" +
           fuzz::Show(s.password);
}

bool SameRecord(const ProxySettings& a, const ProxySettings& b)
{
    return a.type == b.type && a.address == b.address && a.port == b.port && a.auth == b.auth &&
           a.username == b.username && a.password == b.password;
}

void CheckStored(const char* name, plat::Dword type, const std::string& bytes)
{
    plat::Dword storedType = 0;
    std::string stored;
    fuzz::Note("checking value", name);
    FUZZ_CHECK(memplat::GetValue(plat::HKeyCurrentUser(), kNetworkKey, name, &storedType, &stored));
    FUZZ_CHECK_EQ(type, storedType);
    FUZZ_CHECK_EQ(bytes, stored);
}

// Writes a record, checks what is stored against the normalisation rules
// and that it reads back as stored without any repair.
void CheckWriteAndReadBack(const ProxySettings& record)
{
    fuzz::Note("written record", DescribeRecord(record));
    memplat::ClearRegistryWrites();
    FUZZ_CHECK_EQ(1, WriteProxySettings(record));
    FUZZ_CHECK_EQ(0, memplat::OpenKeyCount());

    const std::int32_t rawType = static_cast<std::int32_t>(record.type);
    const bool none = rawType < 1 || rawType > 3;
    ProxySettings normal;
    normal.type = none ? ProxyTypeNone : record.type;
    normal.address = none ? "" : record.address;
    normal.port = none ? 0 : record.port;
    normal.auth = none ? 0 : record.auth;
    normal.username = normal.auth != 0 ? record.username : "";
    normal.password = normal.auth != 0 ? record.password : "";
    // The normalisation promise, stated on its own terms.
    FUZZ_CHECK(normal.type != ProxyTypeNone || (normal.address.empty() && normal.port == 0 && normal.auth == 0));
    FUZZ_CHECK(normal.auth != 0 || (normal.username.empty() && normal.password.empty()));

    const std::vector<std::string> order = {
        "proxy_type=1:" + std::to_string(std::string(ReferenceTypeName(rawType)).size() + 1),
        "proxy_address=1:" + std::to_string(normal.address.size() + 1),
        "proxy_port=4:4",
        "proxy_auth=4:4",
        "proxy_username=1:" + std::to_string(normal.username.size() + 1),
        "proxy_password=1:" + std::to_string(normal.password.size() + 1)};
    const std::vector<std::string> writes = memplat::RegistryWrites();
    FUZZ_CHECK_EQ(order.size(), writes.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        FUZZ_CHECK_EQ(order[i], writes[i]);
    CheckStored("proxy_type", plat::kRegSz, Sz(ReferenceTypeName(rawType)));
    CheckStored("proxy_address", plat::kRegSz, Sz(normal.address));
    CheckStored("proxy_port", plat::kRegDword, fuzz::DwordBytes(static_cast<std::uint32_t>(normal.port)));
    CheckStored("proxy_auth", plat::kRegDword, fuzz::DwordBytes(static_cast<std::uint32_t>(normal.auth)));
    CheckStored("proxy_username", plat::kRegSz, Sz(normal.username));
    CheckStored("proxy_password", plat::kRegSz, Sz(normal.password));

    memplat::ClearRegistryWrites();
    ProxySettings back;
    FUZZ_CHECK_EQ(1, ReadProxySettings(back));
    fuzz::Note("read back", DescribeRecord(back));
    FUZZ_CHECK(memplat::RegistryWrites().empty());
    FUZZ_CHECK(SameRecord(normal, back));
    FUZZ_CHECK_EQ(0, memplat::OpenKeyCount());
}

std::string BoxText(fuzz::Reader& in)
{
    std::string text = fuzz::WithoutNuls(in.Blob(1280));
    if (text.size() > 1023)
        text.resize(1023);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    fuzz::ClearNotes();
    memplat::Reset();

    const std::uint8_t access = in.Byte();
    const memplat::KeyAccess machineRule = AccessOf(access);
    const bool playerKeyExists = (access & 4) != 0;
    const memplat::KeyAccess userRule = AccessOf(access >> 3);
    fuzz::Note("HKLM Software rule", std::to_string(static_cast<int>(machineRule)));
    fuzz::Note("player key exists", fuzz::Describe(playerKeyExists));
    fuzz::Note("per-user key rule", std::to_string(static_cast<int>(userRule)));
    if (playerKeyExists)
        memplat::PutDword(plat::HKeyLocalMachine(), "Software\\Kestrova", "other", 1);
    memplat::SetKeyAccess(plat::HKeyLocalMachine(), "Software", machineRule);
    memplat::SetKeyAccess(plat::HKeyCurrentUser(), kNetworkKey, userRule);

    Seeded seeded[6];
    for (int i = 0; i < 6; ++i) {
        seeded[i].present = (in.Byte() & 1) != 0;
        seeded[i].type = in.Byte();
        seeded[i].bytes = in.Blob(1280);
        if (seeded[i].present) {
            memplat::PutValue(plat::HKeyCurrentUser(), kNetworkKey, kValues[i].name, seeded[i].type, seeded[i].bytes);
            fuzz::Note(kValues[i].name, "type " + std::to_string(seeded[i].type) + " " + fuzz::Describe(seeded[i].bytes));
        } else {
            fuzz::Note(kValues[i].name, "missing");
        }
    }
    memplat::ClearRegistryWrites();

    // The player key must be openable for writing (or creatable), and so
    // must the per-user key.
    const bool reachable = machineRule == memplat::KeyAccess::Full && userRule == memplat::KeyAccess::Full;

    ProxySettings settings;
    settings.type = static_cast<ProxyType>(77);
    settings.address = "\x01" "address";
    settings.port = 0x5A5A5A5A;
    settings.auth = 0x3C3C3C3C;
    settings.username = "\x01" "user";
    settings.password = "\x01" "password";
    const ProxySettings before = settings;

    const int result = ReadProxySettings(settings);
    fuzz::Note("read result", std::to_string(result));
    fuzz::Note("read record", DescribeRecord(settings));
    FUZZ_CHECK_EQ(0, memplat::OpenKeyCount());
    FUZZ_CHECK_EQ(reachable ? 1 : 0, result);

    if (result == 0) {
        FUZZ_CHECK(SameRecord(before, settings));
        FUZZ_CHECK(memplat::RegistryWrites().empty());
        for (int i = 0; i < 6; ++i) {
            if (seeded[i].present)
                CheckStored(kValues[i].name, seeded[i].type, seeded[i].bytes);
            else
                FUZZ_CHECK(!memplat::GetValue(plat::HKeyCurrentUser(), kNetworkKey, kValues[i].name, nullptr, nullptr));
        }
        memplat::ClearRegistryWrites();
        FUZZ_CHECK_EQ(0, WriteProxySettings(ProxySettings()));
        FUZZ_CHECK(memplat::RegistryWrites().empty());
        FUZZ_CHECK_EQ(0, memplat::OpenKeyCount());
        return 0;
    }

    FUZZ_CHECK(memplat::KeyExists(plat::HKeyLocalMachine(), "Software\\Kestrova"));

    // Each value: read as it is when it fits the reader's buffer, else
    // replaced by its default, and the record follows.
    std::vector<std::string> repairs;
    std::int32_t numbers[6] = {0, 0, 0, 0, 0, 0};
    std::string texts[6];
    for (int i = 0; i < 6; ++i) {
        const ValueRule& rule = kValues[i];
        const bool read = seeded[i].present && seeded[i].bytes.size() <= rule.bufferSize;
        if (read) {
            CheckStored(rule.name, seeded[i].type, seeded[i].bytes);
            if (rule.number)
                numbers[i] = fuzz::LittleEndian(seeded[i].bytes);
            else  // at most bufferSize - 1 characters: the last byte is the NUL's place
                texts[i] = UpToNul(seeded[i].bytes.substr(0, rule.bufferSize - 1));
        } else if (rule.number) {
            CheckStored(rule.name, plat::kRegDword, std::string(4, '\0'));
            repairs.push_back(std::string(rule.name) + "=4:4");
        } else {
            CheckStored(rule.name, plat::kRegSz, Sz(rule.fallback));
            repairs.push_back(std::string(rule.name) + "=1:" + std::to_string(std::string(rule.fallback).size() + 1));
            texts[i] = rule.fallback;
        }
    }
    FUZZ_CHECK_EQ(6u, memplat::ValueNames(plat::HKeyCurrentUser(), kNetworkKey).size());
    const std::vector<std::string> writes = memplat::RegistryWrites();
    FUZZ_CHECK_EQ(repairs.size(), writes.size());
    for (std::size_t i = 0; i < repairs.size(); ++i)
        FUZZ_CHECK_EQ(repairs[i], writes[i]);

    FUZZ_CHECK_EQ(numbers[0], settings.port);
    FUZZ_CHECK_EQ(fuzz::ReferenceTypeFromName(texts[1]), settings.type);
    FUZZ_CHECK_EQ(texts[2], settings.address);
    FUZZ_CHECK_EQ(numbers[3], settings.auth);
    FUZZ_CHECK_EQ(texts[4], settings.username);
    FUZZ_CHECK_EQ(texts[5], settings.password);
    // The texts as the record holds them: what fits a buffer of 1024 bytes
    // with its NUL.
    for (const std::string* text : {&settings.address, &settings.username, &settings.password}) {
        FUZZ_CHECK(text->find('\0') == std::string::npos);
        FUZZ_CHECK(text->size() <= 1023);
    }
    FUZZ_CHECK(settings.type >= ProxyTypeNone && settings.type <= ProxyTypeHttp);

    // What was read is written back normalised and reads back unchanged.
    CheckWriteAndReadBack(settings);

    if ((in.Byte() & 1) != 0) {
        ProxySettings record;
        record.type = static_cast<ProxyType>(static_cast<std::int32_t>(in.U32()));
        record.port = static_cast<std::int32_t>(in.U32());
        record.auth = static_cast<std::int32_t>(in.U32());
        record.address = BoxText(in);
        record.username = BoxText(in);
        record.password = BoxText(in);
        CheckWriteAndReadBack(record);
    }
    return 0;
}
