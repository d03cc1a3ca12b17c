// Scratch.h - the registry keys (as the simulated player handles them) and
// the files a scenario sets up and reads back.
#ifndef KESTROVA_TESTS_SCRATCH_H
#define KESTROVA_TESTS_SCRATCH_H

#include <windows.h>

#include <string>
#include <vector>

#include "RegistryText.h"

namespace e2e {

using sim::DeleteKey;
using sim::Dword;
using sim::KeyText;
using sim::Store;
using sim::Stored;
using sim::Text;
using sim::ValueText;

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
