// The registry reader of the components report: any value as text, and
// the log entries of the exceptions it catches.
//
// Input:
//   layout byte: bits 0-1 the root (0 HKCR, 1 HKCU, else HKLM); bits 2-3
//     the value name (0: the default value read with a null name, 1: the
//     default value read with "", 2: "Value" read as "vALUE", 3: "Value"
//     stored but "other" read); bit 4 the value is stored; bits 5-6 the
//     rule on the key (0/3 full, 1 read only, 2 denied); bit 7 the key
//     exists even without the value;
//   fault byte modulo 5: 0/4 none, 1 the query throws, 2 the open throws,
//     3 the query and then the log's first opening throw;
//   log byte: bit 0 the module's folder exists (else entries are lost),
//     bit 1 the log already holds an older entry;
//   the value's registry type byte and a blob (FuzzSupport.h) of up to 599
//     bytes.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "SetupUtils.h"
#include "platform/MemoryPlatform.h"

namespace {

const char kKey[] = "Software\\Kestrova\\Readers";
const char kPlayerDir[] = "C:\\Player";
const char kModulePath[] = "C:\\Player\\Config.dll";
const char kLogPath[] = "C:\\Player\\KestrovaWebPlayer.log";
const char kOlderEntry[] = "older entry\r\n";
const char kUntouched[] = "\x01untouched\x02";

std::string Entry(const char* line)
{
    return std::string("\tCatched Exception\t(\\SetupUtils.cpp : Line ") + line + ")\r\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    fuzz::ClearNotes();
    memplat::Reset();

    const std::uint8_t layout = in.Byte();
    const int fault = in.Byte() % 5;
    const std::uint8_t logLayout = in.Byte();
    const plat::Dword type = in.Byte();
    const std::string bytes = in.Blob(600);

    const int rootCode = layout & 3;
    const plat::RegKey root =
        rootCode == 0 ? plat::HKeyClassesRoot() : rootCode == 1 ? plat::HKeyCurrentUser() : plat::HKeyLocalMachine();
    const int nameMode = (layout >> 2) & 3;
    const bool stored = (layout & 0x10) != 0;
    const int ruleCode = (layout >> 5) & 3;
    const bool keyExists = stored || (layout & 0x80) != 0;
    const std::string storedName = nameMode < 2 ? "" : "Value";
    const char* readName = nameMode == 0 ? nullptr : nameMode == 1 ? "" : nameMode == 2 ? "vALUE" : "other";
    const bool logFolder = (logLayout & 1) != 0;
    const bool olderEntry = logFolder && (logLayout & 2) != 0;

    fuzz::Note("root", std::to_string(rootCode));
    fuzz::Note("name mode", std::to_string(nameMode));
    fuzz::Note("stored", fuzz::Describe(stored));
    fuzz::Note("key exists", fuzz::Describe(keyExists));
    fuzz::Note("rule", std::to_string(ruleCode));
    fuzz::Note("fault", std::to_string(fault));
    fuzz::Note("log folder", fuzz::Describe(logFolder));
    fuzz::Note("value", "type " + std::to_string(type) + " " + fuzz::Describe(bytes));

    if (stored)
        memplat::PutValue(root, kKey, storedName, type, bytes);
    else if (keyExists)
        memplat::PutDword(root, kKey, "unrelated", 7);
    if (ruleCode == 1)
        memplat::SetKeyAccess(root, kKey, memplat::KeyAccess::ReadOnly);
    else if (ruleCode == 2)
        memplat::SetKeyAccess(root, kKey, memplat::KeyAccess::Denied);
    memplat::SetModulePath(kModulePath);
    if (logFolder)
        memplat::PutDirectory(kPlayerDir);
    if (olderEntry)
        memplat::PutFile(kLogPath, kOlderEntry);
    if (fault == 1 || fault == 3)
        memplat::ThrowOnCall("RegQueryValueExA");
    if (fault == 2)
        memplat::ThrowOnCall("RegOpenKeyExA");
    if (fault == 3)
        memplat::ThrowOnCall("OpenFileStream");

    // Reading needs only read access, which a read-only key grants.
    const bool opens = keyExists && ruleCode != 2;
    const bool found = opens && stored && nameMode != 3;

    std::int32_t expectedResult = 0;
    std::string expectedOut = kUntouched;
    std::string logged;  // what the log gains
    int keysLeftOpen = 0;
    if (fault == 2) {
        logged = Entry("294");
    } else if (fault == 1 && opens) {
        logged = Entry("291");
    } else if (fault == 3 && opens) {
        // The query's handler cannot log; the outer one does, and the key
        // the inner block opened is not closed on that path.
        logged = Entry("294");
        keysLeftOpen = 1;
    } else if (found && bytes.size() <= 260) {
        expectedResult = 1;
        // Up to the first NUL, or every byte of a value without one: a
        // value that fits the reader's 260 bytes is taken whole.
        expectedOut = bytes.substr(0, bytes.find('\0'));
    }

    std::string out = kUntouched;
    const std::int32_t result = ReadRegistryString(root, kKey, readName, out);
    fuzz::Note("result", std::to_string(result));
    fuzz::Note("out", fuzz::Describe(out));

    FUZZ_CHECK_EQ(expectedResult, result);
    FUZZ_CHECK_EQ(expectedOut, out);
    if (result == 1) {
        // The value's text: no NUL, and no more than the reader's buffer of
        // 260 bytes holds.
        FUZZ_CHECK(out.find('\0') == std::string::npos);
        FUZZ_CHECK(out.size() <= 260);
    }
    FUZZ_CHECK_EQ(keysLeftOpen, memplat::OpenKeyCount());
    FUZZ_CHECK_EQ(0, memplat::OpenStreamCount());
    if (logFolder)
        FUZZ_CHECK_EQ((olderEntry ? std::string(kOlderEntry) : std::string()) + logged, memplat::FileBytes(kLogPath));
    else
        FUZZ_CHECK(!memplat::PathExists(kLogPath));
    // The reader reads only.
    FUZZ_CHECK(memplat::RegistryWrites().empty());
    if (stored) {
        plat::Dword storedType = 0;
        std::string storedBytes;
        FUZZ_CHECK(memplat::GetValue(root, kKey, storedName, &storedType, &storedBytes));
        FUZZ_CHECK_EQ(type, storedType);
        FUZZ_CHECK_EQ(bytes, storedBytes);
    }
    memplat::Reset();  // the key a double fault leaves open goes with the rest
    return 0;
}
