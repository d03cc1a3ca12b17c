// ProxySettings.h - the user's proxy (firewall) settings and their per-user
// store in the registry.
#ifndef KESTROVA_CONFIG_PROXY_SETTINGS_H
#define KESTROVA_CONFIG_PROXY_SETTINGS_H

#include <cstdint>
#include <string>

// Stored and shown only as its name text.
enum ProxyType : std::int32_t {
    ProxyTypeNone = 0,    // "NONE"
    ProxyTypeSocks4 = 1,  // "SOCKS4"
    ProxyTypeSocks5 = 2,  // "SOCKS5"
    ProxyTypeHttp = 3     // "HTTP"
};

struct ProxySettings {
    ProxyType type = ProxyTypeNone;
    std::string address;
    std::int32_t port = 0;
    std::int32_t auth = 0;  // non-zero: the proxy needs a user name and a password
    std::string username;
    std::string password;  // kept and stored in plain text
};

extern const char kPlayerKey[];         // HKLM "Software\Kestrova"
extern const char kProxySettingsKey[];  // HKCU "Software\Kestrova\Network"

// The name text; "NONE" for any value outside the four types.
const char* ProxyTypeToName(ProxyType type);
// SOCKS4, SOCKS5 or HTTP by name, ignoring case; every other text is NONE.
ProxyType ProxyTypeFromName(const char* text);

// 1 with all six fields set; 0 with the record unchanged. Every value that
// is missing or cannot be read is repaired with its default on the way.
int ReadProxySettings(ProxySettings& settings);
// 0 when a key can be neither opened nor created, else 1 (the six writes
// are not verified). Stores no address, port or credentials for NONE and
// no credentials without authentication.
int WriteProxySettings(const ProxySettings& settings);

#endif  // KESTROVA_CONFIG_PROXY_SETTINGS_H
