// ProxyText.cpp - see ProxyText.h.
#include "ProxyText.h"

#include <cstring>
#ifndef _WIN32
#include <strings.h>
#endif

#include "RuntimeScan.h"

namespace {

const char* const kTypeNames[] = {"NONE", "SOCKS4", "SOCKS5", "HTTP"};

// The scheme is compared exactly, letter case included: "SOCKS" or "https"
// name nothing the player can use, and the entry is shown as NONE.
ProxyType TypeFromScheme(const char* scheme)
{
    if (std::strcmp(scheme, "http") == 0)
        return ProxyTypeHttp;
    if (std::strcmp(scheme, "socks5") == 0)
        return ProxyTypeSocks5;
    if (std::strcmp(scheme, "socks4") == 0 || std::strcmp(scheme, "socks") == 0)
        return ProxyTypeSocks4;
    return ProxyTypeNone;
}

}  // namespace

const char* ProxyTypeToName(ProxyType type)
{
    const std::int32_t value = type;
    return value >= ProxyTypeNone && value <= ProxyTypeHttp ? kTypeNames[value] : kTypeNames[ProxyTypeNone];
}

ProxyType ProxyTypeFromName(const char* text)
{
    const ProxyType types[] = {ProxyTypeSocks4, ProxyTypeSocks5, ProxyTypeHttp};
    for (ProxyType type : types)
        if (_stricmp(text, kTypeNames[type]) == 0)
            return type;
    return ProxyTypeNone;
}

// A text of several entries ("http=h1:80;https=h2:443") is not split into
// them: only its last ':' and the last '=' before it count.
bool ParseProxyServer(const char* server, ProxyType& type, std::string& address, std::int32_t& port)
{
    const char* colon = std::strrchr(server, ':');
    if (colon == nullptr)
        return false;
    std::int32_t number = 0;
    if (RuntimeScan(colon + 1, "%d", &number) != 1) {
        port = 0;
        return false;
    }

    // Type, address and port change together, once nothing can fail any
    // more: a text that cannot be taken apart for want of memory leaves them
    // all as they were.
    std::string head(server, colon);
    const char* equals = std::strrchr(head.c_str(), '=');
    ProxyType parsed = ProxyTypeHttp;
    if (equals != nullptr) {
        const std::size_t schemeLength = static_cast<std::size_t>(equals - head.c_str());
        parsed = TypeFromScheme(head.substr(0, schemeLength).c_str());
        head.erase(0, schemeLength + 1);
    }
    address.swap(head);
    type = parsed;
    port = number;
    return true;
}
