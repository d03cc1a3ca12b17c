// SetupUtils.h - the readers behind the installed-components report: a
// registry value as text, and a file's version as "a.b.c.d".
#ifndef KESTROVA_CONFIG_SETUP_UTILS_H
#define KESTROVA_CONFIG_SETUP_UTILS_H

#include <cstdint>
#include <string>

#include "platform/Platform.h"

// 1 with out set to the value's text (its bytes up to the first NUL, or all
// of them, any registry type, at most 260 bytes); 0 with out unchanged when the key
// or value cannot be read or an exception was caught (which is logged).
// valueName null reads the key's default value.
std::int32_t ReadRegistryString(plat::RegKey root, const char* subKey, const char* valueName, std::string& out);

// 0 with out set to the file version ("" when the resource has no fixed
// part); -1 with out empty when the file has no version information.
std::int32_t GetFileVersionString(const char* path, std::string& out);

// The version text of the fixed file information: four unsigned 16-bit
// numbers, major to revision.
std::string FormatFileVersion(std::uint32_t versionMS, std::uint32_t versionLS);

#endif  // KESTROVA_CONFIG_SETUP_UTILS_H
