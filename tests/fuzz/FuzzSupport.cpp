// FuzzSupport.cpp - see FuzzSupport.h.
#include "FuzzSupport.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "MemoryDialogs.h"
#include "platform/MemoryPlatform.h"

namespace fuzz {

namespace {

std::vector<std::pair<std::string, std::string>>& TheNotes()
{
    static std::vector<std::pair<std::string, std::string>> notes;
    return notes;
}


}  // namespace

void Fail(const char* file, int line, const char* condition, const std::string& detail)
{
    std::fprintf(stderr, "\n==== invariant violated at %s:%d\n  %s\n%s\n", file, line, condition, detail.c_str());
    std::fflush(stderr);
    __builtin_trap();
}

std::string Show(const std::string& bytes)
{
    const std::size_t shown = 200;
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < shown; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\') {
            text += "\\\\";
        } else if (c == '"') {
            text += "\\\"";
        } else if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    if (bytes.size() > shown)
        text += "...";
    return text;
}

void ClearNotes() { TheNotes().clear(); }

void Note(const std::string& what, const std::string& value) { TheNotes().emplace_back(what, value); }

std::string Notes()
{
    std::string text = "scenario:\n";
    for (const auto& note : TheNotes())
        text += "  " + note.first + ": " + note.second + "\n";
    return text;
}

std::string WithoutNuls(const std::string& bytes)
{
    std::string text;
    for (char c : bytes)
        if (c != '\0')
            text.push_back(c);
    return text;
}

void ResetPlatformWithDialogs()
{
    memplat::Reset();
    RegisterModuleDialogs();
}

bool ReferenceDecimal(const char* text, std::int32_t& value)
{
    const char* p = text;
    while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    const char* digits = p;
    while (*p >= '0' && *p <= '9')
        ++p;
    const std::size_t count = static_cast<std::size_t>(p - digits);
    if (count == 0)
        return false;
    // 10^32 = 2^32 * 5^32: digits further left add multiples of 2^32.
    const std::size_t kept = count < 32 ? count : 32;
    unsigned __int128 magnitude = 0;
    for (const char* d = p - kept; d < p; ++d)
        magnitude = magnitude * 10 + static_cast<unsigned>(*d - '0');
    std::uint32_t low = static_cast<std::uint32_t>(magnitude & 0xFFFFFFFFu);
    if (negative)
        low = ~low + 1u;
    value = static_cast<std::int32_t>(low);

    // Where the C library's own conversion cannot overflow, it must agree.
    if (count <= 18) {
        errno = 0;
        char* end = nullptr;
        const long long wide = std::strtoll(text, &end, 10);
        if (errno != 0 || end != p || static_cast<std::int32_t>(static_cast<std::uint32_t>(wide)) != value) {
            std::fprintf(stderr, "the reference conversion disagrees with strtoll on \"%s\"\n", Show(text).c_str());
            __builtin_trap();
        }
    }
    return true;
}

std::int32_t LittleEndian(const std::string& bytes)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes.size() && i < 4; ++i)
        value += static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return static_cast<std::int32_t>(value);
}

std::string DwordBytes(std::uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return bytes;
}

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        const unsigned char fx = x >= 'a' && x <= 'z' ? static_cast<unsigned char>(x - 32) : x;
        const unsigned char fy = y >= 'a' && y <= 'z' ? static_cast<unsigned char>(y - 32) : y;
        if (fx != fy)
            return false;
    }
    return true;
}

ProxyType ReferenceTypeFromName(const std::string& name)
{
    if (SameIgnoringAsciiCase(name, "SOCKS4"))
        return ProxyTypeSocks4;
    if (SameIgnoringAsciiCase(name, "SOCKS5"))
        return ProxyTypeSocks5;
    if (SameIgnoringAsciiCase(name, "HTTP"))
        return ProxyTypeHttp;
    return ProxyTypeNone;
}

}  // namespace fuzz
