// RegistryText.h - registry values as text and back: what the simulated
// player prints of the settings the module left, and how the tests set up
// and read back what the module stores.
#ifndef KESTROVA_PLAYERSIM_REGISTRY_TEXT_H
#define KESTROVA_PLAYERSIM_REGISTRY_TEXT_H

#include <windows.h>

#include <string>
#include <vector>

namespace sim {

// One value to store: REG_DWORD, text (stored with its NUL) or raw bytes.
struct Stored {
    std::string name;
    DWORD type;
    std::string bytes;
};
Stored Dword(const std::string& name, DWORD value);
Stored Text(const std::string& name, const std::string& text, DWORD type = REG_SZ);

// False when the key cannot be created or a value cannot be written.
bool Store(HKEY root, const std::string& key, const std::vector<Stored>& values);

// A value as text: a 4-byte REG_DWORD as "REG_DWORD 1", anything else as its
// type and its quoted bytes with \0 for NUL, e.g. "REG_SZ \"NONE\\0\"".
std::string ValueText(DWORD type, const BYTE* data, DWORD size);
// Every value of the key, "name=REG_DWORD 1; other=REG_SZ \"x\\0\"", in the
// registry's order; "(no key)" when the key does not exist.
std::string KeyText(HKEY root, const std::string& key);

}  // namespace sim

#endif  // KESTROVA_PLAYERSIM_REGISTRY_TEXT_H
