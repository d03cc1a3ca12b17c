// ProxyText.h - the proxy kinds and their texts: the names the player stores
// and shows, and the system's proxy server text taken apart. No system
// calls, so the same file builds for the player and natively.
#ifndef KESTROVA_CONFIG_PROXY_TEXT_H
#define KESTROVA_CONFIG_PROXY_TEXT_H

#include <cstdint>
#include <string>

// Stored and shown only as its name text.
enum ProxyType : std::int32_t {
    ProxyTypeNone = 0,    // "NONE"
    ProxyTypeSocks4 = 1,  // "SOCKS4"
    ProxyTypeSocks5 = 2,  // "SOCKS5"
    ProxyTypeHttp = 3     // "HTTP"
};

// The name text; "NONE" for any value outside the four types.
const char* ProxyTypeToName(ProxyType type);

// SOCKS4, SOCKS5 or HTTP by name, ignoring case; every other text is NONE.
ProxyType ProxyTypeFromName(const char* text);

// Splits a proxy server text at its last ':' (the port) and the part before
// it at its last '=' (scheme and address). False when there is no ':' or no
// number after it; the port is already 0 in the second case. Type and
// address change only on success, and the port only then or to that 0: a
// text that cannot be taken apart for want of memory changes none of them.
bool ParseProxyServer(const char* server, ProxyType& type, std::string& address, std::int32_t& port);

#endif  // KESTROVA_CONFIG_PROXY_TEXT_H
