// RegistryKey.h - an open registry key that is closed when it goes out of
// scope, on every path including an exception, so no operation of the
// module leaves a key open in the player's process.
#ifndef KESTROVA_CONFIG_REGISTRY_KEY_H
#define KESTROVA_CONFIG_REGISTRY_KEY_H

#include "platform/Platform.h"

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // RegOpenKeyExA(root, subKey, 0, access); true on success.
    bool Open(plat::RegKey root, const char* subKey, plat::Dword access)
    {
        Close();
        return plat::RegOpenKeyExA(root, subKey, 0, access, &key_) == plat::kErrorSuccess || Forget();
    }
    // RegCreateKeyA(root, subKey): creates, or opens with what access the user has.
    bool Create(plat::RegKey root, const char* subKey)
    {
        Close();
        return plat::RegCreateKeyA(root, subKey, &key_) == plat::kErrorSuccess || Forget();
    }
    // RegCreateKeyExA(root, subKey, 0, NULL, 0, access, NULL, &key, NULL).
    bool CreateEx(plat::RegKey root, const char* subKey, plat::Dword access)
    {
        Close();
        return plat::RegCreateKeyExA(root, subKey, access, &key_) == plat::kErrorSuccess || Forget();
    }
    void Close()
    {
        if (key_ != nullptr)
            plat::RegCloseKey(key_);
        key_ = nullptr;
    }
    plat::RegKey Get() const { return key_; }

    // REG_DWORD of 4 bytes, little-endian.
    plat::Status SetDword(const char* name, std::uint32_t value) const;
    // REG_SZ with its terminating NUL counted.
    plat::Status SetText(const char* name, const char* text) const;

private:
    bool Forget()
    {
        key_ = nullptr;
        return false;
    }
    plat::RegKey key_ = nullptr;
};

// The little-endian number in up to 4 bytes; missing high bytes are zero.
std::uint32_t DwordFromBytes(const unsigned char* bytes, plat::Dword count);

#endif  // KESTROVA_CONFIG_REGISTRY_KEY_H
