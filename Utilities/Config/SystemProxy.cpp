// SystemProxy.cpp - reading the system proxy and splitting its server text.
#include "SystemProxy.h"

#include <cstring>
#include <vector>

#include "RegistryKey.h"
#include "Text.h"

const char kInternetSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

namespace {

const plat::Dword kServerBufferSize = 1024;

// The scheme is compared exactly, letter case included: "SOCKS" or "https"
// name nothing the player can use, and the entry is shown as NONE.
ProxyType TypeFromScheme(const std::string& scheme)
{
    if (scheme == "http")
        return ProxyTypeHttp;
    if (scheme == "socks5")
        return ProxyTypeSocks5;
    if (scheme == "socks4" || scheme == "socks")
        return ProxyTypeSocks4;
    return ProxyTypeNone;
}

}  // namespace

// A text of several entries ("http=h1:80;https=h2:443") is not split into
// them: only its last ':' and the last '=' before it count.
bool ParseProxyServer(const std::string& server, ProxyType& type, std::string& address, std::int32_t& port)
{
    const std::string::size_type colon = server.rfind(':');
    if (colon == std::string::npos)
        return false;
    port = 0;
    if (!ScanDecimal(server.c_str() + colon + 1, port))
        return false;
    const std::string head = server.substr(0, colon);
    const std::string::size_type equals = head.rfind('=');
    if (equals == std::string::npos) {
        address = head;
        type = ProxyTypeHttp;
    } else {
        address = head.substr(equals + 1);
        type = TypeFromScheme(head.substr(0, equals));
    }
    return true;
}

int ReadSystemProxy(ProxyType& type, std::string& address, std::int32_t& port)
{
    try {
        RegistryKey key;
        if (!key.Open(plat::HKeyCurrentUser(), kInternetSettingsKey, plat::kKeyRead))
            return 0;

        unsigned char enable[4] = {0, 0, 0, 0};
        plat::Dword enableType = plat::kRegDword;
        plat::Dword enableSize = sizeof enable;
        if (plat::RegQueryValueExA(key.Get(), "ProxyEnable", &enableType, enable, &enableSize) != plat::kErrorSuccess)
            return 0;

        std::vector<char> buffer(kServerBufferSize, '\0');
        plat::Dword serverType = plat::kRegSz;
        plat::Dword serverSize = kServerBufferSize;
        if (plat::RegQueryValueExA(key.Get(), "ProxyServer", &serverType,
                                   reinterpret_cast<unsigned char*>(buffer.data()), &serverSize) != plat::kErrorSuccess)
            return 0;
        // A text of up to 1023 characters: the buffer's last byte is the
        // NUL's place, as for the player's own proxy texts.
        const std::string server =
            TextFromBuffer(buffer.data(), serverSize < kServerBufferSize - 1 ? serverSize : kServerBufferSize - 1);

        if (DwordFromBytes(enable, sizeof enable) == 0)
            return 0;
        return ParseProxyServer(server, type, address, port) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
