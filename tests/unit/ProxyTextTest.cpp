// ProxyTextTest.cpp - what the network dialog takes from the system's proxy
// server text (type names: the fuzz target and the Wine suite).
#include "ProxyText.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

// The outputs start as sentinels: a text that names no proxy leaves the type
// and the address as they were, and the port too unless it held a ':'.
TEST(ProxyText, SystemProxyServerTextGivesTypeAddressAndPort)
{
    const ProxyType unset = static_cast<ProxyType>(77);
    const std::int32_t untouched = 0x5EED;
    const struct { const char* server; bool parsed; ProxyType type; const char* address; std::int32_t port; } rows[] = {
        {"proxyhost:8080", true, ProxyTypeHttp, "proxyhost", 8080},
        {"http=proxyhost:3128", true, ProxyTypeHttp, "proxyhost", 3128},
        {"socks=proxyhost:1080", true, ProxyTypeSocks4, "proxyhost", 1080},
        {"socks4=proxyhost:1080", true, ProxyTypeSocks4, "proxyhost", 1080},
        {"socks5=proxyhost:1080", true, ProxyTypeSocks5, "proxyhost", 1080},
        {"SOCKS=proxyhost:1080", true, ProxyTypeNone, "proxyhost", 1080},
        {"https=proxyhost:443", true, ProxyTypeNone, "proxyhost", 443},
        {"=proxyhost:80", true, ProxyTypeNone, "proxyhost", 80},
        {"http=h1:80;https=h2:443", true, ProxyTypeNone, "h2", 443},
        {"http=h1:80;ftp=h2", true, ProxyTypeHttp, "h1", 80},
        {"h:1:2", true, ProxyTypeHttp, "h:1", 2},
        {"proxyhost: -5", true, ProxyTypeHttp, "proxyhost", -5},
        {"proxyhost:8080x", true, ProxyTypeHttp, "proxyhost", 8080},
        {"proxyhost", false, unset, "before", untouched},
        {"", false, unset, "before", untouched},
        {"proxyhost:", false, unset, "before", 0},
        {"proxyhost:abc", false, unset, "before", 0},
        {"socks5=h:1:x", false, unset, "before", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.server);
        ProxyType type = unset;
        std::string address = "before";
        std::int32_t port = untouched;
        const bool parsed = ParseProxyServer(row.server, type, address, port);
        EXPECT_EQ(std::make_tuple(parsed, type, address, port),
                  std::make_tuple(row.parsed, row.type, row.address, row.port));
    }
}

}  // namespace
