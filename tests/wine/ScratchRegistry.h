// ScratchRegistry.h - registry values a scenario puts into the Wine prefix
// (the player's installation, the control's registration, browsers), taken
// out again afterwards: keys it had to create are deleted with their
// subkeys, values it replaced in existing keys get their old contents back.
#ifndef KESTROVA_TESTS_SCRATCH_REGISTRY_H
#define KESTROVA_TESTS_SCRATCH_REGISTRY_H

#include <windows.h>

#include <string>
#include <vector>

#include "SettingsRegistry.h"

namespace e2e {

// The value exactly as stored; false when the key or value is missing.
bool ReadRegValue(HKEY root, const std::string& key, const std::string& name, RegValue* value);

class ScratchRegistry {
public:
    ScratchRegistry() = default;
    ~ScratchRegistry() { Restore(); }
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    // Creates the key as needed and stores the value; "" names the key's
    // default value. False (with a test failure) when it cannot.
    bool Set(HKEY root, const std::string& key, const RegValue& value);
    // Deletes the value if it exists, to be put back by Restore().
    void Remove(HKEY root, const std::string& key, const std::string& name);
    // Puts everything back as it was before the first Set.
    void Restore();

private:
    struct CreatedKey {
        HKEY root;
        std::string path;  // the topmost key that did not exist
    };
    struct ReplacedValue {
        HKEY root;
        std::string key;
        std::string name;
        bool existed;
        RegValue before;
    };
    bool InsideCreatedKey(HKEY root, const std::string& key) const;

    std::vector<CreatedKey> createdKeys_;
    std::vector<ReplacedValue> replacedValues_;
};

}  // namespace e2e

#endif  // KESTROVA_TESTS_SCRATCH_REGISTRY_H
