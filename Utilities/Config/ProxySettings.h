// ProxySettings.h - the user's proxy (firewall) settings and their per-user
// store in the registry.
#ifndef KESTROVA_CONFIG_PROXY_SETTINGS_H
#define KESTROVA_CONFIG_PROXY_SETTINGS_H

#include <cstdint>
#include <string>

#include "ProxyText.h"

struct ProxySettings {
    ProxyType type = ProxyTypeNone;
    std::string address;
    std::int32_t port = 0;
    std::int32_t auth = 0;  // non-zero: the proxy needs a user name and a password
    std::string username;
    std::string password;  // kept and stored in plain text
};

// 1 with all six fields set; 0 with the record unchanged. Every value that
// is missing or cannot be read is repaired with its default on the way.
int ReadProxySettings(ProxySettings& settings);
// 0 when a key can be neither opened nor created, else 1 (the six writes
// are not verified). Stores no address, port or credentials for NONE and
// no credentials without authentication.
int WriteProxySettings(const ProxySettings& settings);

#endif  // KESTROVA_CONFIG_PROXY_SETTINGS_H
