// FuzzSupport.h - what the fuzz targets share: a check that stops the run
// with a readable account of the violated rule, a reader that turns the
// fuzzer's bytes into scenario choices, and the two dialogs registered on
// the in-memory platform.
//
// Every target restates the rule it checks in its own code (a reference)
// instead of calling the module's helpers, so a fault in a helper shows up
// as a disagreement rather than being reproduced by the check itself.
#ifndef KESTROVA_TESTS_FUZZ_SUPPORT_H
#define KESTROVA_TESTS_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "ProxySettings.h"

namespace fuzz {

// Prints the failed condition and the scenario, then stops the process so
// libFuzzer keeps the input as a crash.
[[noreturn]] void Fail(const char* file, int line, const char* condition, const std::string& detail);

// A text shown with its control characters and bytes above 0x7E escaped,
// cut to a readable length.
std::string Show(const std::string& bytes);

// Scenario notes printed with a failure: each target records what it set up.
void ClearNotes();
void Note(const std::string& what, const std::string& value);
std::string Notes();

}  // namespace fuzz

#define FUZZ_CHECK(condition)                                                      \
    do {                                                                           \
        if (!(condition))                                                          \
            ::fuzz::Fail(__FILE__, __LINE__, #condition, ::fuzz::Notes());         \
    } while (0)

// The operands are copied: either may be a part of a temporary.
#define FUZZ_CHECK_EQ(expected, actual)                                                               \
    do {                                                                                              \
        const auto fuzzExpected_ = (expected);                                                        \
        const auto fuzzActual_ = (actual);                                                            \
        if (!(fuzzExpected_ == fuzzActual_))                                                          \
            ::fuzz::Fail(__FILE__, __LINE__, #expected " == " #actual,                                \
                         "expected: " + ::fuzz::Describe(fuzzExpected_) +                             \
                             "\nactual:   " + ::fuzz::Describe(fuzzActual_) + "\n" + ::fuzz::Notes()); \
    } while (0)

namespace fuzz {

inline std::string Describe(const std::string& text) { return "\"" + Show(text) + "\" (" + std::to_string(text.size()) + " bytes)"; }
inline std::string Describe(const char* text) { return text != nullptr ? Describe(std::string(text)) : "(null)"; }
inline std::string Describe(bool value) { return value ? "true" : "false"; }
template <typename T>
std::string Describe(const T& value)
{
    return std::to_string(static_cast<long long>(value));
}

// Reads scenario choices from the front of the input; once the input is
// used up every read gives zeros, so any input is a complete scenario.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
    std::uint16_t U16()
    {
        const std::uint16_t low = Byte();
        return static_cast<std::uint16_t>(low | (Byte() << 8));
    }
    std::uint32_t U32()
    {
        const std::uint32_t low = U16();
        return low | (static_cast<std::uint32_t>(U16()) << 16);
    }
    // Up to count bytes (fewer when the input ends).
    std::string Take(std::size_t count)
    {
        const std::size_t n = count < size_ - position_ ? count : size_ - position_;
        std::string bytes(reinterpret_cast<const char*>(data_ + position_), n);
        position_ += n;
        return bytes;
    }
    std::string Rest() { return Take(size_ - position_); }
    // Bytes up to the next separator byte (which is consumed) or the end.
    std::string Until(std::uint8_t separator)
    {
        std::string bytes;
        while (position_ < size_) {
            const std::uint8_t c = data_[position_++];
            if (c == separator)
                break;
            bytes.push_back(static_cast<char>(c));
        }
        return bytes;
    }
    // A run of bytes of a chosen length below limit: either spelled out
    // (cut short when the input ends), or a short pattern repeated, so the
    // lengths around the module's buffer sizes are reached by small inputs.
    //   kind byte (bit 0: pattern), length (2 bytes, little-endian, modulo limit),
    //   literal: the bytes; pattern: its length byte (1..16) and its bytes.
    std::string Blob(std::size_t limit)
    {
        const bool pattern = (Byte() & 1) != 0;
        const std::size_t length = U16() % limit;
        if (!pattern)
            return Take(length);
        const std::size_t patternLength = 1 + Byte() % 16;
        std::string unit = Take(patternLength);
        if (unit.empty())
            unit = "a";
        std::string bytes;
        while (bytes.size() < length)
            bytes += unit;
        bytes.resize(length);
        return bytes;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// Removes the NULs: what goes through a C string (a window text, a path)
// cannot hold one.
std::string WithoutNuls(const std::string& bytes);

// memplat::Reset() and the module's two dialogs registered from the shared
// layouts, as the native tests register them.
void ResetPlatformWithDialogs();

// "%d" as the Windows runtime converts it, restated independently of the
// module: C-locale white space, an optional sign, then at least one digit;
// the value is taken modulo 2^32. Only the last 32 digits can matter for
// that, since 10^32 is a multiple of 2^32. False when no digit follows.
bool ReferenceDecimal(const char* text, std::int32_t& value);

// The bytes of a number value as the module reads them: little-endian, at
// most 4 bytes, missing high bytes zero.
std::int32_t LittleEndian(const std::string& bytes);
std::string DwordBytes(std::uint32_t value);

// Equality ignoring the case of ASCII letters only.
bool SameIgnoringAsciiCase(const std::string& a, const std::string& b);

// The type a stored or listed name stands for, restated independently of
// the module: SOCKS4, SOCKS5 or HTTP in any letter case, else NONE.
ProxyType ReferenceTypeFromName(const std::string& name);

}  // namespace fuzz

#endif  // KESTROVA_TESTS_FUZZ_SUPPORT_H
