// RegistryKey.cpp - see RegistryKey.h.
#include "RegistryKey.h"

#include <cstring>

plat::Status RegistryKey::SetDword(const char* name, std::uint32_t value) const
{
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return plat::RegSetValueExA(key_, name, plat::kRegDword, bytes, sizeof bytes);
}

plat::Status RegistryKey::SetText(const char* name, const char* text) const
{
    return plat::RegSetValueExA(key_, name, plat::kRegSz, reinterpret_cast<const unsigned char*>(text),
                                static_cast<plat::Dword>(std::strlen(text) + 1));
}

std::uint32_t DwordFromBytes(const unsigned char* bytes, plat::Dword count)
{
    std::uint32_t value = 0;
    for (plat::Dword i = 0; i < count && i < 4; ++i)
        value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return value;
}
