// RegistryKey.h - an open registry key that is closed when it goes out of
// scope, on every path including an exception, so no operation of the
// module leaves a key open in the player's process. Each member is one
// registry call and returns its own result code.
#ifndef KESTROVA_CONFIG_REGISTRY_KEY_H
#define KESTROVA_CONFIG_REGISTRY_KEY_H

#include <windows.h>

#include <string>

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // RegOpenKeyExA(root, subKey, 0, access, &key).
    LONG Open(HKEY root, const char* subKey, REGSAM access);
    // RegCreateKeyA(root, subKey, &key): creates the key, or opens it with
    // whatever access the user has.
    LONG Create(HKEY root, const char* subKey);
    // RegCreateKeyExA(root, subKey, 0, NULL, 0, access, NULL, &key, NULL):
    // no class, non-volatile, default security, no disposition asked for.
    LONG CreateEx(HKEY root, const char* subKey, REGSAM access);
    void Close();

    // The value's bytes, whatever its registry type, laid over number as in
    // its little-endian memory: a value shorter than 4 bytes replaces only
    // the low bytes. number is untouched when the query fails (a value
    // longer than 4 bytes included).
    LONG QueryNumber(const char* name, DWORD& number) const;
    // The value read into a buffer of BufferSize bytes, as text: up to its
    // first NUL, never past the bytes read, and at most BufferSize - 1
    // characters (the buffer's last byte is the NUL's place, so a value that
    // fills it without one loses its last byte). text is untouched when the
    // query fails (a value longer than the buffer included).
    template <DWORD BufferSize>
    LONG QueryText(const char* name, std::string& text) const;

    // REG_DWORD of 4 bytes.
    LONG SetNumber(const char* name, DWORD value) const;
    // REG_SZ with its terminating NUL counted.
    LONG SetText(const char* name, const char* text) const;

private:
    HKEY key_ = nullptr;
};

// The text of a value read into bytes: up to the first NUL, or every byte
// read when none of them is NUL.
std::string TextOfValue(const char* bytes, DWORD count);

template <DWORD BufferSize>
LONG RegistryKey::QueryText(const char* name, std::string& text) const
{
    char buffer[BufferSize];
    DWORD type = REG_SZ;
    DWORD size = BufferSize;
    const LONG result = RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (result == ERROR_SUCCESS)
        text = TextOfValue(buffer, size < BufferSize - 1 ? size : BufferSize - 1);
    return result;
}

#endif  // KESTROVA_CONFIG_REGISTRY_KEY_H
