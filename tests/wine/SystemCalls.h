// SystemCalls.h - the fault model of docs/TESTING.md: while an object lives, the loaded Config.dll's import
// address table points at spies. Each call journals a line ("RegOpenKeyExA HKLM\Software\Kestrova 0xf003f"),
// then fails as the system would when a fault matches it, or reaches the system, counting what the module
// took and gave back; heap and movable blocks get guard bytes after their end.
#ifndef KESTROVA_TESTS_SYSTEM_CALLS_H
#define KESTROVA_TESTS_SYSTEM_CALLS_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

class SystemCalls;
using Faults = std::function<void(SystemCalls&)>;  // the failures a scenario wants

class SystemCalls {
public:
    explicit SystemCalls(HMODULE config);
    ~SystemCalls();
    SystemCalls(const SystemCalls&) = delete;
    SystemCalls& operator=(const SystemCalls&) = delete;

    // Calls whose journal line matches pattern ('*': any text; "malloc 24" too) return result (an error,
    // 0, a null pointer) instead of reaching the system; with nth, only the nth of them.
    void Fail(const std::string& pattern, long long result = 0, int nth = 0);
    // From the kth call the patterns match on, every call they match fails with its pattern's result.
    void FailFrom(int k, const std::vector<std::pair<std::string, long long>>& calls);
    // GetModuleFileNameA reports this path, cut without a NUL when it does not fit, as the system does.
    void PretendModulePath(const std::string& path);
    // Directory listings show links as plain folders, as a share does whose server follows them itself.
    void HideLinks();
    // A fresh journal, no faults, the real path and links shown; then applies faults.
    void Reset(const Faults& faults = nullptr);
    // The journal lines that match one of the patterns, in call order.
    std::vector<std::string> Calls(std::initializer_list<const char*> patterns = {"*"}) const;
    // What the module holds now (keys, blocks, streams, searches, handles) or overran, each reported once.
    std::vector<std::string> Held() const;
    // The faults (and a pretended module path) that have failed no call yet.
    std::vector<std::string> Unfired() const;
    // FreeLibrary of the module, its allocator watched while it unloads: Held() tells what stayed.
    void Unload();
    void* Imported(const char* function) const;  // the module's import of function: a spy while this lives
};

Faults Failing(const char* pattern, long long result = 0);  // see Fail
// After the first call matching pattern, the module's next allocation fails
// if it comes before its next watched call (forGood: every allocation after
// it fails): its own runtime raises std::bad_alloc inside the module.
Faults StarvingAfter(const char* pattern, bool forGood = false);

}  // namespace e2e

#endif  // KESTROVA_TESTS_SYSTEM_CALLS_H
