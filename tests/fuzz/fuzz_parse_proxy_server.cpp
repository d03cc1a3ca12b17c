// fuzz_parse_proxy_server.cpp - any system proxy server text: ParseProxyServer
// against one forward pass over it, the type names against a table of them.
// The documented texts are the unit test's table (ProxyTextTest.cpp), which
// ties the module, and through it this reference, to what the player shows.
#include "ProxyText.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#define REQUIRE(holds) ((holds) ? (void)0 : (std::fprintf(stderr, "invariant violated: %s\n", #holds), std::abort()))

struct Named { const char* text; std::int32_t type; };
const Named kSchemes[] = {{"http", 3}, {"socks5", 2}, {"socks4", 1}, {"socks", 1}};
const Named kNames[] = {{"SOCKS4", 1}, {"SOCKS5", 2}, {"HTTP", 3}};
const std::int32_t kUnset = -7, kUntouched = 24301;

// What the network dialog is left with, as "parsed type port address". A port of
// more than 18 significant digits shows as "?": C runtimes saturate those each their way.
static std::string Outcome(bool parsed, std::int32_t type, std::int32_t port, bool portKnown, std::string address)
{
    const std::string shownPort = portKnown ? std::to_string(port) : "?";
    return std::to_string(parsed) + " " + std::to_string(type) + " " + shownPort + " " + address;
}

static std::string Module(const std::string& text, bool portKnown = true)
{
    const std::vector<char> server(text.c_str(), text.c_str() + text.size() + 1);  // exactly sized, for ASan
    ProxyType type = static_cast<ProxyType>(kUnset);
    std::string address = "before";
    std::int32_t port = kUntouched;
    const bool parsed = ParseProxyServer(server.data(), type, address, port);
    return Outcome(parsed, type, port, portKnown, address);
}

// The last ':' and the last '=' before it, in one pass; then the number as
// "%d" reads it, kept to its low 32 bits as the runtime's int conversion does.
static std::string Reference(const std::string& text, bool& portKnown)
{
    const std::size_t none = std::string::npos;
    std::size_t colon = none, equals = none, seen = none;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '=')
            seen = i;
        else if (text[i] == ':')
            colon = i, equals = seen;
    if (colon == none)
        return Outcome(false, kUnset, kUntouched, true, "before");
    std::size_t i = std::min(text.find_first_not_of(" \t\n\v\f\r", colon + 1), text.size());
    const bool negative = text[i] == '-';
    i += text[i] == '-' || text[i] == '+';
    const std::size_t first = i;
    std::uint32_t value = 0;
    for (; text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
    if (i == first)
        return Outcome(false, kUnset, 0, true, "before");
    std::int32_t type = equals == none ? 3 : 0;
    for (const Named& row : kSchemes)
        type = equals != none && text.compare(0, equals, row.text) == 0 ? row.type : type;
    portKnown = i - std::min(text.find_first_not_of('0', first), i) <= 18;
    const auto port = static_cast<std::int32_t>(negative ? 0u - value : value);
    return Outcome(true, type, port, portKnown, text.substr(0, colon).substr(equals == none ? 0 : equals + 1));
}

static std::int32_t TypeNamed(std::string text)
{
    for (char& c : text)
        c = c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
    const auto row = std::find_if(std::begin(kNames), std::end(kNames), [&](const Named& r) { return text == r.text; });
    return row == std::end(kNames) ? 0 : row->type;
}

static std::string NameOf(std::int32_t type)
{
    const auto row = std::find_if(std::begin(kNames), std::end(kNames), [&](const Named& r) { return type == r.type; });
    return row == std::end(kNames) ? "NONE" : row->text;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = std::string(reinterpret_cast<const char*>(data), size).c_str();
    bool portKnown = true;
    const std::string expected = Reference(text, portKnown);
    REQUIRE(Module(text, portKnown) == expected);
    const std::vector<char> name(text.c_str(), text.c_str() + text.size() + 1);  // exactly sized, for ASan
    REQUIRE(ProxyTypeFromName(name.data()) == TypeNamed(text));
    std::int32_t type = 0;  // the first bytes, as a type value
    std::memcpy(&type, data, size < sizeof type ? size : sizeof type);
    REQUIRE(ProxyTypeToName(static_cast<ProxyType>(type)) == NameOf(type));
    return 0;
}
