// Text.cpp - see Text.h.
#include "Text.h"

#include <cstring>

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

bool EqualsNoCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (LowerAscii(*a) != LowerAscii(*b))
            return false;
    return *a == *b;
}

bool ScanDecimal(const char* text, std::int32_t& value)
{
    const char* p = text;
    while (IsSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (*p < '0' || *p > '9')
        return false;
    std::uint32_t magnitude = 0;  // wraps modulo 2^32 like the runtime's
    for (; *p >= '0' && *p <= '9'; ++p)
        magnitude = magnitude * 10u + static_cast<std::uint32_t>(*p - '0');
    if (negative)
        magnitude = 0u - magnitude;
    value = static_cast<std::int32_t>(magnitude);
    return true;
}

std::string TextFromBuffer(const char* buffer, std::size_t byteCount)
{
    const void* nul = std::memchr(buffer, '\0', byteCount);
    const std::size_t length = nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer)
                                              : byteCount;
    return std::string(buffer, length);
}
