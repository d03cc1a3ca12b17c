// SystemProxy.cpp - reading the system proxy from the user's Internet
// settings.
#include "SystemProxy.h"

#include "RegistryKey.h"

namespace {

const char kInternetSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// A server text of up to 1023 characters: the buffer's last byte is the
// NUL's place, as for the player's own proxy texts.
const DWORD kServerBufferSize = 1024;

}  // namespace

int ReadSystemProxy(ProxyType& type, std::string& address, std::int32_t& port)
{
    try {
        RegistryKey key;
        if (key.Open(HKEY_CURRENT_USER, kInternetSettingsKey, KEY_READ) != ERROR_SUCCESS)
            return 0;
        DWORD enabled = 0;
        if (key.QueryNumber("ProxyEnable", enabled) != ERROR_SUCCESS)
            return 0;
        std::string server;
        if (key.QueryText<kServerBufferSize>("ProxyServer", server) != ERROR_SUCCESS)
            return 0;
        if (enabled == 0)
            return 0;
        return ParseProxyServer(server.c_str(), type, address, port) ? 1 : 0;
    } catch (...) {
        // Out of memory for the texts: no usable system proxy. The key
        // closes itself on the way out.
        return 0;
    }
}
