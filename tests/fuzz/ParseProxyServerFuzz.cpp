// Splitting the system proxy's server text: the whole input is the text.
//
// Rules checked against a restatement written here:
//  - no ':' anywhere: false, and type, address and port untouched;
//  - a ':' but no number after the last one: false, port 0, type and
//    address untouched;
//  - else true, port = the "%d" conversion of what follows the last ':'
//    (32-bit wrap), address = the text before that ':' after its last '='
//    (all of it without '='), type from the scheme before that '=':
//    exactly "http", "socks5", "socks4"/"socks", anything else NONE, and
//    HTTP when there is no '='.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "SystemProxy.h"

namespace {

// A value outside the four types, so a type left alone is recognisable.
const ProxyType kUntouchedType = static_cast<ProxyType>(77);
const char kUntouchedAddress[] = "\x01untouched\x02";
const std::int32_t kUntouchedPort = 0x5A5A5A5A;

ProxyType ReferenceScheme(const std::string& scheme)
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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string server(reinterpret_cast<const char*>(data), size);
    fuzz::ClearNotes();
    fuzz::Note("server", fuzz::Describe(server));

    ProxyType type = kUntouchedType;
    std::string address = kUntouchedAddress;
    std::int32_t port = kUntouchedPort;
    const bool parsed = ParseProxyServer(server, type, address, port);

    std::size_t colon = std::string::npos;
    for (std::size_t i = 0; i < server.size(); ++i)
        if (server[i] == ':')
            colon = i;

    if (colon == std::string::npos) {
        FUZZ_CHECK(!parsed);
        FUZZ_CHECK_EQ(kUntouchedType, type);
        FUZZ_CHECK_EQ(std::string(kUntouchedAddress), address);
        FUZZ_CHECK_EQ(kUntouchedPort, port);
        return 0;
    }

    // The number is read as a C string: it ends at the first NUL too.
    const std::string tail = server.substr(colon + 1);
    std::int32_t expectedPort = 0;
    if (!fuzz::ReferenceDecimal(tail.c_str(), expectedPort)) {
        FUZZ_CHECK(!parsed);
        FUZZ_CHECK_EQ(0, port);
        FUZZ_CHECK_EQ(kUntouchedType, type);
        FUZZ_CHECK_EQ(std::string(kUntouchedAddress), address);
        return 0;
    }

    FUZZ_CHECK(parsed);
    FUZZ_CHECK_EQ(expectedPort, port);
    const std::string head = server.substr(0, colon);
    std::size_t equals = std::string::npos;
    for (std::size_t i = 0; i < head.size(); ++i)
        if (head[i] == '=')
            equals = i;
    const std::string expectedAddress = equals == std::string::npos ? head : head.substr(equals + 1);
    const ProxyType expectedType =
        equals == std::string::npos ? ProxyTypeHttp : ReferenceScheme(head.substr(0, equals));
    FUZZ_CHECK_EQ(expectedAddress, address);
    FUZZ_CHECK_EQ(expectedType, type);

    // The same facts in other words: a known type; the address holds no
    // '=' and stands in the text right before the last ':'.
    FUZZ_CHECK(type >= ProxyTypeNone && type <= ProxyTypeHttp);
    FUZZ_CHECK(address.find('=') == std::string::npos);
    FUZZ_CHECK(address.size() <= colon);
    FUZZ_CHECK(server.compare(colon - address.size(), address.size(), address) == 0);
    FUZZ_CHECK(colon == address.size() || server[colon - address.size() - 1] == '=');
    return 0;
}
