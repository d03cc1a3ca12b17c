// fuzz_parse_proxy_server.cpp - any system proxy server text, and any type
// value, through ProxyText on buffers of their exact size: no memory error,
// no undefined behaviour, and the promises of ProxyText.h kept. What each
// documented text must give is the unit test's table (ProxyTextTest.cpp).
#include "ProxyText.h"

#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#define REQUIRE(holds) ((holds) ? (void)0 : (std::fprintf(stderr, "invariant violated: %s\n", #holds), std::abort()))

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = std::string(reinterpret_cast<const char*>(data), size).c_str();
    const std::vector<char> server(text.c_str(), text.c_str() + text.size() + 1);  // exactly sized, for ASan
    const ProxyType unset = static_cast<ProxyType>(-7);
    ProxyType type = unset;
    std::string address = "before";
    std::int32_t port = 24301;
    const std::size_t colon = text.rfind(':');
    if (ParseProxyServer(server.data(), type, address, port)) {
        // One of the four types, and an address that ends at the last ':'.
        REQUIRE(colon != std::string::npos && type >= ProxyTypeNone && type <= ProxyTypeHttp);
        REQUIRE(address.size() <= colon && text.compare(colon - address.size(), address.size(), address) == 0);
    } else {
        REQUIRE(type == unset && address == "before" && (colon != std::string::npos ? port == 0 : port == 24301));
    }

    // Names: any text is one of the four, ignoring case; every value has a name that reads back.
    const ProxyType named = ProxyTypeFromName(server.data());
    REQUIRE(named >= ProxyTypeNone && named <= ProxyTypeHttp);
    REQUIRE(named == ProxyTypeNone || strcasecmp(ProxyTypeToName(named), text.c_str()) == 0);
    std::int32_t value = 0;  // the first bytes, as a type value
    std::memcpy(&value, data, size < sizeof value ? size : sizeof value);
    const char* name = ProxyTypeToName(static_cast<ProxyType>(value));
    const bool known = value >= ProxyTypeNone && value <= ProxyTypeHttp;
    REQUIRE(name != nullptr && ProxyTypeFromName(name) == (known ? value : ProxyTypeNone));
    return 0;
}
