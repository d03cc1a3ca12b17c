// SetupUtils.h - the readers behind the installed-components report: a
// registry value as text, and a file's version as "a.b.c.d".
#ifndef KESTROVA_CONFIG_SETUP_UTILS_H
#define KESTROVA_CONFIG_SETUP_UTILS_H

#include <windows.h>

#include <string>

// 1 with out set to the value's text (its bytes up to the first NUL, or all
// of them, any registry type, at most 260 bytes); 0 with out unchanged when
// the key or value cannot be read or an exception was caught (which is
// logged). valueName null reads the key's default value.
int ReadRegistryString(HKEY root, const char* subKey, const char* valueName, std::string& out);

// 0 with out set to the file version ("" when the resource has no fixed
// part); -1 with out empty when the file has no version information.
int GetFileVersionString(const char* path, std::string& out);

#endif  // KESTROVA_CONFIG_SETUP_UTILS_H
