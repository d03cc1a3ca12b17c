// SystemProxy.h - the proxy of the user's system Internet settings, offered
// when the player has none of its own.
#ifndef KESTROVA_CONFIG_SYSTEM_PROXY_H
#define KESTROVA_CONFIG_SYSTEM_PROXY_H

#include <cstdint>
#include <string>

#include "ProxyText.h"

// 1 when the system proxy is switched on and its server text has a port;
// reads only, and leaves type and address alone on failure.
int ReadSystemProxy(ProxyType& type, std::string& address, std::int32_t& port);

#endif  // KESTROVA_CONFIG_SYSTEM_PROXY_H
