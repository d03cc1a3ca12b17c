// fuzz_parse_proxy_server.cpp - any system proxy server text: ParseProxyServer
// against the text taken apart by hand, and the type names read back.
#include "ProxyText.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#define REQUIRE(holds) ((holds) ? (void)0 : (std::fprintf(stderr, "invariant violated: %s\n", #holds), std::abort()))

// What "%d" reads: white space, an optional sign, decimal digits. The value
// is exact when it fits in 31 bits.
struct Number { bool found; bool exact; long long value; };
static Number ReadNumber(const std::string& text)
{
    std::size_t i = std::min(text.find_first_not_of(" \t\n\v\f\r"), text.size());
    const bool negative = text[i] == '-';
    i += text[i] == '-' || text[i] == '+';
    const std::size_t first = i;
    long long value = 0;
    for (; text[i] >= '0' && text[i] <= '9'; ++i)
        value = value > INT32_MAX ? value : value * 10 + (text[i] - '0');
    return {i > first, value <= INT32_MAX, negative ? -value : value};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = std::string(reinterpret_cast<const char*>(data), size).c_str();
    const std::vector<char> server(text.c_str(), text.c_str() + text.size() + 1);  // exactly sized, for ASan
    const ProxyType unset = static_cast<ProxyType>(-7);
    ProxyType type = unset;
    std::string address = "before";
    std::int32_t port = 0x5EED;
    const bool parsed = ParseProxyServer(server.data(), type, address, port);

    const std::size_t colon = text.rfind(':');
    const Number number = ReadNumber(colon == std::string::npos ? "" : text.substr(colon + 1));
    if (!number.found) {
        REQUIRE(!parsed && type == unset && address == "before" && port == (colon == std::string::npos ? 0x5EED : 0));
    } else {
        const std::string head = text.substr(0, colon);
        const std::size_t equals = head.rfind('=');
        const std::string scheme = equals == std::string::npos ? "http" : head.substr(0, equals);
        REQUIRE(parsed && (!number.exact || port == number.value));
        REQUIRE(address == head.substr(equals == std::string::npos ? 0 : equals + 1));
        REQUIRE(type == (scheme == "http" ? ProxyTypeHttp : scheme == "socks5" ? ProxyTypeSocks5
                         : scheme == "socks4" || scheme == "socks" ? ProxyTypeSocks4 : ProxyTypeNone));
    }

    std::string upper = text;
    std::transform(text.begin(), text.end(), upper.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
    const ProxyType named = upper == "SOCKS4" ? ProxyTypeSocks4 : upper == "SOCKS5" ? ProxyTypeSocks5
                            : upper == "HTTP" ? ProxyTypeHttp : ProxyTypeNone;
    REQUIRE(ProxyTypeFromName(server.data()) == named && ProxyTypeFromName(ProxyTypeToName(named)) == named);
    return 0;
}
