// NetworkRegistry.cpp - see NetworkRegistry.h.
#include "NetworkRegistry.h"

namespace e2e {

const char kProxyKey[] = "Software\\Kestrova\\Network";
const char kPlayerKey[] = "Software\\Kestrova";
const char kInternetSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

StoredProxy ProxyDefaults() { return StoredProxy{"NONE", "", 0, 0, "", ""}; }

namespace {

// Where the snapshots wait, one numbered key each, apart from every key a
// scenario touches.
const char kSnapshotsKey[] = "Software\\KestrovaE2eSnapshots";

bool OpenKey(HKEY root, const char* path, REGSAM access, HKEY& key)
{
    return RegOpenKeyExA(root, path, 0, access, &key) == ERROR_SUCCESS;
}

bool CreateKey(HKEY root, const char* path, HKEY& key)
{
    return RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS;
}

// Copies everything below from into a new key at (root, path).
bool CopyTree(HKEY from, HKEY root, const char* path)
{
    HKEY to = nullptr;
    if (!CreateKey(root, path, to))
        return false;
    const bool copied = RegCopyTreeA(from, nullptr, to) == ERROR_SUCCESS;
    RegCloseKey(to);
    return copied;
}

}  // namespace

std::vector<RegValue> ProxyValues(const StoredProxy& proxy)
{
    return SortedByName({
        DwordValue("proxy_port", proxy.port),
        TextValue("proxy_type", proxy.type),
        TextValue("proxy_address", proxy.address),
        DwordValue("proxy_auth", proxy.auth),
        TextValue("proxy_username", proxy.username),
        TextValue("proxy_password", proxy.password),
    });
}

void SeedProxyKey(const std::vector<RegValue>& values) { SeedKey(HKEY_CURRENT_USER, kProxyKey, values); }

std::vector<RegValue> ReadProxyKey() { return ReadKey(HKEY_CURRENT_USER, kProxyKey); }

void SetSystemProxy(DWORD enable, const std::string& server)
{
    HKEY key = nullptr;
    if (!CreateKey(HKEY_CURRENT_USER, kInternetSettingsKey, key))
        return;
    const RegValue enableValue = DwordValue("ProxyEnable", enable);
    const RegValue serverValue = TextValue("ProxyServer", server);
    for (const RegValue* value : {&enableValue, &serverValue})
        RegSetValueExA(key, value->name.c_str(), 0, value->type, value->data.data(),
                       static_cast<DWORD>(value->data.size()));
    RegCloseKey(key);
}

void RemoveSystemProxy()
{
    HKEY key = nullptr;
    if (!OpenKey(HKEY_CURRENT_USER, kInternetSettingsKey, KEY_ALL_ACCESS, key))
        return;
    RegDeleteValueA(key, "ProxyEnable");
    RegDeleteValueA(key, "ProxyServer");
    RegCloseKey(key);
}

KeyTreeSnapshot::KeyTreeSnapshot(HKEY root, const char* path) : root_(root), path_(path)
{
    static int taken = 0;
    copyPath_ = std::string(kSnapshotsKey) + "\\" + std::to_string(++taken);
    DeleteKeyTree(HKEY_CURRENT_USER, copyPath_.c_str());
    HKEY original = nullptr;
    existed_ = OpenKey(root_, path_.c_str(), KEY_READ, original);
    if (!existed_) {
        taken_ = true;
        return;
    }
    taken_ = CopyTree(original, HKEY_CURRENT_USER, copyPath_.c_str());
    RegCloseKey(original);
}

KeyTreeSnapshot::~KeyTreeSnapshot()
{
    if (!taken_)
        return;
    DeleteKeyTree(root_, path_.c_str());
    HKEY copy = nullptr;
    if (existed_ && OpenKey(HKEY_CURRENT_USER, copyPath_.c_str(), KEY_READ, copy)) {
        CopyTree(copy, root_, path_.c_str());
        RegCloseKey(copy);
    }
    DeleteKeyTree(HKEY_CURRENT_USER, copyPath_.c_str());
    // Removed only once the last snapshot is gone (a key with subkeys stays).
    RegDeleteKeyA(HKEY_CURRENT_USER, kSnapshotsKey);
}

ValueSnapshot::ValueSnapshot(HKEY root, const char* path, const std::vector<std::string>& names)
    : root_(root), path_(path)
{
    HKEY key = nullptr;
    const bool opened = OpenKey(root_, path_.c_str(), KEY_READ, key);
    for (const std::string& name : names) {
        Saved saved = {name, false, RegValue{name, REG_NONE, {}}};
        DWORD size = 0;
        if (opened &&
            RegQueryValueExA(key, name.c_str(), nullptr, &saved.value.type, nullptr, &size) == ERROR_SUCCESS) {
            saved.value.data.resize(size);
            saved.existed = RegQueryValueExA(key, name.c_str(), nullptr, &saved.value.type,
                                             saved.value.data.empty() ? nullptr : saved.value.data.data(),
                                             &size) == ERROR_SUCCESS;
            saved.value.data.resize(size);
        }
        saved_.push_back(saved);
    }
    if (opened)
        RegCloseKey(key);
}

ValueSnapshot::~ValueSnapshot()
{
    HKEY key = nullptr;
    if (!OpenKey(root_, path_.c_str(), KEY_ALL_ACCESS, key))
        return;
    for (const Saved& saved : saved_) {
        if (saved.existed)
            RegSetValueExA(key, saved.name.c_str(), 0, saved.value.type,
                           saved.value.data.empty() ? nullptr : saved.value.data.data(),
                           static_cast<DWORD>(saved.value.data.size()));
        else
            RegDeleteValueA(key, saved.name.c_str());
    }
    RegCloseKey(key);
}

}  // namespace e2e
