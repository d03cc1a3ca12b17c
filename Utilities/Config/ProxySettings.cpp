// ProxySettings.cpp - reading (with repair) and writing the per-user proxy
// settings.
#include "ProxySettings.h"

#include "RegistryKey.h"

#include <utility>

namespace {

const char kPlayerKey[] = "Software\\Kestrova";
const char kProxySettingsKey[] = "Software\\Kestrova\\Network";

// Buffer sizes of the stored texts, their NUL included.
const DWORD kTypeNameBufferSize = 100;
const DWORD kTextBufferSize = 1024;

// The player's top-level key must exist for every user; opening it with full
// access (or creating it) is also the test that this user may change the
// player's settings at all. Then the per-user key, created when missing.
bool OpenProxyKey(RegistryKey& key)
{
    RegistryKey playerKey;
    if (playerKey.Open(HKEY_LOCAL_MACHINE, kPlayerKey, KEY_ALL_ACCESS) != ERROR_SUCCESS &&
        playerKey.CreateEx(HKEY_LOCAL_MACHINE, kPlayerKey, KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return false;
    playerKey.Close();
    return key.Open(HKEY_CURRENT_USER, kProxySettingsKey, KEY_ALL_ACCESS) == ERROR_SUCCESS ||
           key.CreateEx(HKEY_CURRENT_USER, kProxySettingsKey, KEY_ALL_ACCESS) == ERROR_SUCCESS;
}

// A number value, taken byte for byte whatever its type; missing, too large
// or unreadable: 0, written back. False only when that write fails.
bool ReadNumber(const RegistryKey& key, const char* name, std::int32_t& number)
{
    DWORD bytes = 0;
    if (key.QueryNumber(name, bytes) == ERROR_SUCCESS) {
        number = static_cast<std::int32_t>(bytes);
        return true;
    }
    number = 0;
    return key.SetNumber(name, 0) == ERROR_SUCCESS;
}

// A text value, taken byte for byte up to its first NUL; missing, too large
// or unreadable: the default, written back. False only when that write
// fails. What is read is stored back alike, since every text holds at most
// BufferSize - 1 characters.
template <DWORD BufferSize>
bool ReadText(const RegistryKey& key, const char* name, const char* fallback, std::string& text)
{
    if (key.QueryText<BufferSize>(name, text) == ERROR_SUCCESS)
        return true;
    text = fallback;
    return key.SetText(name, fallback) == ERROR_SUCCESS;
}

// Types outside the table are stored as "NONE", so they are stored as NONE
// throughout: what is written always reads back consistently.
bool IsNone(ProxyType type) { return ProxyTypeFromName(ProxyTypeToName(type)) == ProxyTypeNone; }

}  // namespace

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
            !ReadText<kTypeNameBufferSize>(key, "proxy_type", "NONE", typeName) ||
            !ReadText<kTextBufferSize>(key, "proxy_address", "", address) ||
            !ReadNumber(key, "proxy_auth", auth) ||
            !ReadText<kTextBufferSize>(key, "proxy_username", "", username) ||
            !ReadText<kTextBufferSize>(key, "proxy_password", "", password))
            return 0;
        // Moved, not copied: nothing can fail once the record starts to
        // change, so a failure above leaves it as it was.
        settings.address = std::move(address);
        settings.port = port;
        settings.type = ProxyTypeFromName(typeName.c_str());
        settings.auth = auth;
        settings.username = std::move(username);
        settings.password = std::move(password);
        return 1;
    } catch (...) {
        // Out of memory for the texts: the store counts as unreadable, and
        // the key closes itself on the way out.
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
    key.SetNumber("proxy_port", static_cast<DWORD>(none ? 0 : settings.port));
    key.SetNumber("proxy_auth", static_cast<DWORD>(storedAuth));
    key.SetText("proxy_username", storedAuth != 0 ? settings.username.c_str() : "");
    key.SetText("proxy_password", storedAuth != 0 ? settings.password.c_str() : "");
    return 1;
}
