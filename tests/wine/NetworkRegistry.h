// NetworkRegistry.h - the registry the network settings dialog works on: the
// player's per-user proxy key, the player's machine key it creates, and the
// system proxy of the user's Internet settings. The scenarios change all
// three in the test program's Wine prefix, so each is put aside first and
// put back afterwards for the programs that share the prefix.
#ifndef KESTROVA_TESTS_NETWORK_REGISTRY_H
#define KESTROVA_TESTS_NETWORK_REGISTRY_H

#include <windows.h>

#include <string>
#include <vector>

#include "SettingsRegistry.h"

namespace e2e {

extern const char kProxyKey[];             // HKCU "Software\Kestrova\Network"
extern const char kPlayerKey[];            // "Software\Kestrova", in HKLM and HKCU
extern const char kInternetSettingsKey[];  // HKCU, the system proxy

// What the per-user key holds, as the six values the dialog stores: texts as
// REG_SZ with their NUL, numbers as REG_DWORD.
struct StoredProxy {
    std::string type;
    std::string address;
    DWORD port;
    DWORD auth;
    std::string username;
    std::string password;
};
// The six values, sorted as ReadKey sorts.
std::vector<RegValue> ProxyValues(const StoredProxy& proxy);
// What opening the dialog writes into a missing key. A function, so tables
// of other files can be built from it during static initialisation.
StoredProxy ProxyDefaults();

// Replaces the per-user key by exactly these values; none: no key.
void SeedProxyKey(const std::vector<RegValue>& values);
std::vector<RegValue> ReadProxyKey();

// The system proxy: ProxyEnable (REG_DWORD) and ProxyServer (REG_SZ).
void SetSystemProxy(DWORD enable, const std::string& server);
// Removes both values: no system proxy at all.
void RemoveSystemProxy();

// A key with everything in it, copied aside on construction and put back,
// exactly, by the destructor (a key that did not exist is deleted again).
class KeyTreeSnapshot {
public:
    KeyTreeSnapshot(HKEY root, const char* path);
    ~KeyTreeSnapshot();
    KeyTreeSnapshot(const KeyTreeSnapshot&) = delete;
    KeyTreeSnapshot& operator=(const KeyTreeSnapshot&) = delete;

    // False when the key could not be copied aside: the test must not
    // change it then.
    bool Taken() const { return taken_; }

private:
    HKEY root_;
    std::string path_;
    std::string copyPath_;  // under HKCU
    bool existed_ = false;
    bool taken_ = false;
};

// Some values of a key that holds more (a system key is never replaced as a
// whole): each is put back as it was, or deleted when it was missing.
class ValueSnapshot {
public:
    ValueSnapshot(HKEY root, const char* path, const std::vector<std::string>& names);
    ~ValueSnapshot();
    ValueSnapshot(const ValueSnapshot&) = delete;
    ValueSnapshot& operator=(const ValueSnapshot&) = delete;

private:
    struct Saved {
        std::string name;
        bool existed;
        RegValue value;
    };
    HKEY root_;
    std::string path_;
    std::vector<Saved> saved_;
};

}  // namespace e2e

#endif  // KESTROVA_TESTS_NETWORK_REGISTRY_H
