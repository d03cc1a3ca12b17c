// RegistryKey.cpp - see RegistryKey.h.
#include "RegistryKey.h"

#include <cstring>

LONG RegistryKey::Open(HKEY root, const char* subKey, REGSAM access)
{
    Close();
    const LONG result = RegOpenKeyExA(root, subKey, 0, access, &key_);
    if (result != ERROR_SUCCESS)
        key_ = nullptr;
    return result;
}

LONG RegistryKey::Create(HKEY root, const char* subKey)
{
    Close();
    const LONG result = RegCreateKeyA(root, subKey, &key_);
    if (result != ERROR_SUCCESS)
        key_ = nullptr;
    return result;
}

LONG RegistryKey::CreateEx(HKEY root, const char* subKey, REGSAM access)
{
    Close();
    const LONG result = RegCreateKeyExA(root, subKey, 0, nullptr, 0, access, nullptr, &key_, nullptr);
    if (result != ERROR_SUCCESS)
        key_ = nullptr;
    return result;
}

void RegistryKey::Close()
{
    if (key_ != nullptr)
        RegCloseKey(key_);
    key_ = nullptr;
}

LONG RegistryKey::QueryNumber(const char* name, DWORD& number) const
{
    BYTE bytes[sizeof number];
    DWORD type = REG_DWORD;
    DWORD size = sizeof bytes;
    const LONG result = RegQueryValueExA(key_, name, nullptr, &type, bytes, &size);
    if (result == ERROR_SUCCESS)
        std::memcpy(&number, bytes, size < sizeof bytes ? size : sizeof bytes);
    return result;
}

LONG RegistryKey::SetNumber(const char* name, DWORD value) const
{
    return RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG RegistryKey::SetText(const char* name, const char* text) const
{
    return RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text) + 1));
}

std::string TextOfValue(const char* bytes, DWORD count)
{
    const void* nul = std::memchr(bytes, '\0', count);
    return std::string(bytes, nul != nullptr ? static_cast<const char*>(nul) : bytes + count);
}
