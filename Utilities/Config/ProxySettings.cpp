// ProxySettings.cpp - reading (with repair) and writing the per-user proxy
// settings.
#include "ProxySettings.h"

#include <vector>

#include "RegistryKey.h"
#include "Text.h"

const char kPlayerKey[] = "Software\\Kestrova";
const char kProxySettingsKey[] = "Software\\Kestrova\\Network";

namespace {

const char* const kTypeNames[] = {"NONE", "SOCKS4", "SOCKS5", "HTTP"};

// Buffer sizes of the stored texts, their NUL included.
const plat::Dword kTypeNameBufferSize = 100;
const plat::Dword kTextBufferSize = 1024;

// The player's top-level key must exist for every user; opening it with full
// access (or creating it) is also the test that this user may change the
// player's settings at all. Then the per-user key, created when missing.
bool OpenProxyKey(RegistryKey& key)
{
    RegistryKey playerKey;
    if (!playerKey.Open(plat::HKeyLocalMachine(), kPlayerKey, plat::kKeyAllAccess) &&
        !playerKey.CreateEx(plat::HKeyLocalMachine(), kPlayerKey, plat::kKeyAllAccess))
        return false;
    playerKey.Close();
    return key.Open(plat::HKeyCurrentUser(), kProxySettingsKey, plat::kKeyAllAccess) ||
           key.CreateEx(plat::HKeyCurrentUser(), kProxySettingsKey, plat::kKeyAllAccess);
}

// A number value, taken byte for byte whatever its type; missing, too large
// or unreadable: 0, written back. False only when that write fails.
bool ReadNumber(const RegistryKey& key, const char* name, std::int32_t& number)
{
    unsigned char bytes[4] = {0, 0, 0, 0};
    plat::Dword type = plat::kRegDword;
    plat::Dword size = sizeof bytes;
    if (plat::RegQueryValueExA(key.Get(), name, &type, bytes, &size) == plat::kErrorSuccess) {
        number = static_cast<std::int32_t>(DwordFromBytes(bytes, size));
        return true;
    }
    number = 0;
    return key.SetDword(name, 0) == plat::kErrorSuccess;
}

// A text value, taken byte for byte up to its first NUL; missing, too large
// or unreadable: the default, written back. False only when that write fails.
bool ReadText(const RegistryKey& key, const char* name, plat::Dword bufferSize, const char* fallback,
              std::string& text)
{
    std::vector<char> buffer(bufferSize, '\0');
    plat::Dword type = plat::kRegSz;
    plat::Dword size = bufferSize;
    if (plat::RegQueryValueExA(key.Get(), name, &type, reinterpret_cast<unsigned char*>(buffer.data()), &size) ==
        plat::kErrorSuccess) {
        // The buffer's last byte is the NUL's place: a value that fills it
        // without one loses its last byte, so every text holds at most
        // bufferSize - 1 characters and what is read is stored back alike.
        text = TextFromBuffer(buffer.data(), size < bufferSize - 1 ? size : bufferSize - 1);
        return true;
    }
    text = fallback;
    return key.SetText(name, fallback) == plat::kErrorSuccess;
}

// Types outside the table are stored as "NONE", so they are stored as NONE
// throughout: what is written always reads back consistently.
bool IsNone(ProxyType type) { return ProxyTypeFromName(ProxyTypeToName(type)) == ProxyTypeNone; }

}  // namespace

const char* ProxyTypeToName(ProxyType type)
{
    const std::int32_t value = static_cast<std::int32_t>(type);
    return value >= ProxyTypeNone && value <= ProxyTypeHttp ? kTypeNames[value] : kTypeNames[ProxyTypeNone];
}

ProxyType ProxyTypeFromName(const char* text)
{
    const ProxyType types[] = {ProxyTypeSocks4, ProxyTypeSocks5, ProxyTypeHttp};
    for (ProxyType type : types)
        if (EqualsNoCase(text, kTypeNames[type]))
            return type;
    return ProxyTypeNone;
}

int ReadProxySettings(ProxySettings& settings)
{
    try {
        RegistryKey key;
        if (!OpenProxyKey(key))
            return 0;
        std::int32_t port = 0;
        std::int32_t auth = 0;
        std::string typeName, address, username, password;
        if (!ReadNumber(key, "proxy_port", port) ||
            !ReadText(key, "proxy_type", kTypeNameBufferSize, "NONE", typeName) ||
            !ReadText(key, "proxy_address", kTextBufferSize, "", address) ||
            !ReadNumber(key, "proxy_auth", auth) ||
            !ReadText(key, "proxy_username", kTextBufferSize, "", username) ||
            !ReadText(key, "proxy_password", kTextBufferSize, "", password))
            return 0;
        settings.address = address;
        settings.port = port;
        settings.type = ProxyTypeFromName(typeName.c_str());
        settings.auth = auth;
        settings.username = username;
        settings.password = password;
        return 1;
    } catch (...) {
        // The key closes itself on the way out.
        return 0;
    }
}

int WriteProxySettings(const ProxySettings& settings)
{
    RegistryKey key;
    if (!OpenProxyKey(key))
        return 0;
    const bool none = IsNone(settings.type);
    const std::int32_t storedAuth = none ? 0 : settings.auth;
    key.SetText("proxy_type", ProxyTypeToName(settings.type));
    key.SetText("proxy_address", none ? "" : settings.address.c_str());
    key.SetDword("proxy_port", static_cast<std::uint32_t>(none ? 0 : settings.port));
    key.SetDword("proxy_auth", static_cast<std::uint32_t>(storedAuth));
    key.SetText("proxy_username", storedAuth != 0 ? settings.username.c_str() : "");
    key.SetText("proxy_password", storedAuth != 0 ? settings.password.c_str() : "");
    return 1;
}
