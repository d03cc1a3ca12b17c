// Text.h - the few text operations the module needs from the C runtime,
// written out so the logic behaves the same on every platform it is built
// for. A contract test compares them with the runtime's own under Wine.
#ifndef KESTROVA_CONFIG_TEXT_H
#define KESTROVA_CONFIG_TEXT_H

#include <cstdint>
#include <string>

// Equality ignoring the case of A-Z only, as _stricmp in the "C" locale.
bool EqualsNoCase(const char* a, const char* b);

// The "%d" conversion of sscanf: leading white space skipped, an optional
// sign, decimal digits up to the first other character. False (value
// untouched) when no digit follows. Digits beyond 32 bits wrap, as the
// Windows runtime's conversion does.
bool ScanDecimal(const char* text, std::int32_t& value);

// The bytes of a text read into a buffer: up to the first NUL, and never
// past the byte count the system reported.
std::string TextFromBuffer(const char* buffer, std::size_t byteCount);

#endif  // KESTROVA_CONFIG_TEXT_H
