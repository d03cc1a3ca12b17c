// SystemCalls.h - what the loaded Config.dll asks of the system during one
// scenario, and the failures the scenario wants it to meet. While an object
// lives, the module's imports of the system and runtime functions it uses are
// swapped in its import address table for spies (the module carries no hook).
// Each call writes a journal line, e.g. "RegOpenKeyExA HKLM\Software\Kestrova
// 0xf003f", then fails the way the system would when a fault matches the line,
// or else reaches the system, counting what the module took and gave back.
// Every heap block the module allocates gets guard bytes after its end,
// checked when it is released and whenever Held() is asked.
#ifndef KESTROVA_TESTS_SYSTEM_CALLS_H
#define KESTROVA_TESTS_SYSTEM_CALLS_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

class SystemCalls;
// The failures a scenario wants the module to meet.
using Faults = std::function<void(SystemCalls&)>;

class SystemCalls {
public:
    explicit SystemCalls(HMODULE config);
    ~SystemCalls();
    SystemCalls(const SystemCalls&) = delete;
    SystemCalls& operator=(const SystemCalls&) = delete;

    // Calls whose journal line matches pattern ('*' stands for any text)
    // return result instead of reaching the system (an error code, 0, a null
    // pointer).
    void Fail(const std::string& pattern, long long result = 0);
    // GetModuleFileNameA reports this path, cut to the caller's buffer
    // without a NUL when it does not fit, as the system does.
    void PretendModulePath(const std::string& path);

    // Starts the journal afresh, drops the faults and the pretended path,
    // then applies faults.
    void Reset(const Faults& faults = nullptr);
    // The journal lines that match one of the patterns, in call order.
    std::vector<std::string> Calls(std::initializer_list<const char*> patterns = {"*"}) const;
    // What the module holds now, or damaged: open keys, movable memory
    // blocks, streams, directory searches, heap blocks written past their
    // end. Empty between two operations.
    std::vector<std::string> Held() const;
    // Closes the keys the module holds: after a scenario whose failure
    // leaves one open on purpose.
    void CloseKeys();
    // What the module's import of function points to now: while this object
    // lives, the spy (calling it acts as the module would).
    void* Imported(const char* function) const;
};

// Calls matching pattern fail with result (see Fail).
Faults Failing(const char* pattern, long long result = 0);
// The first call matching pattern is made, and then the module's next
// allocation fails, as when memory runs out: the module's own runtime raises
// std::bad_alloc inside the module.
Faults StarvingAfter(const char* pattern);
std::string WindowText(HWND window);

}  // namespace e2e

#endif  // KESTROVA_TESTS_SYSTEM_CALLS_H
