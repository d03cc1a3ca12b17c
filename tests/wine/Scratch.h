// Scratch.h - the registry keys and files a scenario sets up and reads back.
#ifndef KESTROVA_TESTS_SCRATCH_H
#define KESTROVA_TESTS_SCRATCH_H

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// One value to store: REG_DWORD or text (stored with its NUL) or raw bytes.
struct Stored {
    std::string name;
    DWORD type;
    std::string bytes;
};
Stored Dword(const std::string& name, DWORD value);
Stored Text(const std::string& name, const std::string& text, DWORD type = REG_SZ);

void Store(HKEY root, const std::string& key, const std::vector<Stored>& values);
void DeleteKey(HKEY root, const std::string& key);
// Every value of the key, "name=REG_DWORD 1; other=REG_SZ \"x\\0\"", in the
// registry's order; "(no key)" when the key does not exist.
std::string KeyText(HKEY root, const std::string& key);

// Files, by Windows path.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);  // "(no file)" when missing
// Everything below a directory, relative and sorted, folders with a
// trailing backslash: "a.txt, sub\, sub\b.txt"; "(no folder)" when missing,
// "(a file)" when it is a file.
std::string Tree(const std::string& directory);
void RemoveTree(const std::string& directory);

}  // namespace e2e

#endif  // KESTROVA_TESTS_SCRATCH_H
