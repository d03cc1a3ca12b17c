// RuntimeTextContractTests.cpp - the module's own versions of the C
// runtime's number scanning, path splitting and joining, and case-blind
// comparison, held to one table of expectations. On Win32 the system's
// msvcrt.dll is held to the same table, which proves the two equal; the
// native build checks the module's versions alone.
#include "ContractTest.h"

#include "Paths.h"
#include "Text.h"

#include <climits>
#include <cstdint>
#include <string>

namespace contract {

namespace {

const std::int32_t kUntouched = 12345;

}  // namespace

// Digits beyond 32 bits wrap modulo 2^32, in either sign.
TEST(RuntimeText, ScanDecimalReadsAsTheRuntimesPercentD)
{
    struct Row {
        const char* text;
        bool converted;
        std::int32_t value;  // kUntouched when nothing was converted
    };
    const Row rows[] = {
        {"8080", true, 8080},
        {"  42", true, 42},
        {"\t-17", true, -17},
        {"\r\n\v\f 9", true, 9},
        {"+5", true, 5},
        {"-0", true, 0},
        {"007", true, 7},
        {"8080x", true, 8080},
        {"12 34", true, 12},
        {"0x10", true, 0},
        {"-2147483648", true, INT_MIN},
        {"2147483647", true, INT_MAX},
        {"2147483648", true, INT_MIN},
        {"4294967297", true, 1},
        {"99999999999", true, 1215752191},
        {"-99999999999", true, -1215752191},
        {"18446744073709551617", true, 1},
        {"99999999999999999999999", true, -159383553},
        {"abc", false, kUntouched},
        {"", false, kUntouched},
        {"   ", false, kUntouched},
        {"- 5", false, kUntouched},
        {"+", false, kUntouched},
        {"+-1", false, kUntouched},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("\"") + row.text + "\"");
        std::int32_t value = kUntouched;
        EXPECT_EQ(row.converted, ScanDecimal(row.text, value)) << "ScanDecimal's result";
        EXPECT_EQ(row.value, value) << "ScanDecimal's value";
        if (HasWindowsRuntime()) {
            int runtimeValue = kUntouched;
            const int fields = RuntimeScanDecimal(row.text, &runtimeValue);
            EXPECT_EQ(row.converted, fields == 1) << "sscanf(\"%d\") converted " << fields << " fields";
            EXPECT_EQ(row.value, runtimeValue) << "sscanf(\"%d\")'s value";
        }
    }
}

TEST(RuntimeText, SplitPathCutsAsTheRuntimesSplitPath)
{
    struct Row {
        const char* path;
        const char* parts[4];  // drive, directory, name, extension
    };
    const Row rows[] = {
        {"C:\\Program Files\\Kestrova\\Config.dll", {"C:", "\\Program Files\\Kestrova\\", "Config", ".dll"}},
        {"Config.dll", {"", "", "Config", ".dll"}},
        {"C:Config.dll", {"C:", "", "Config", ".dll"}},
        {"\\\\server\\share\\x.tar.gz", {"", "\\\\server\\share\\", "x.tar", ".gz"}},
        {"a/b\\c.d.e", {"", "a/b\\", "c.d", ".e"}},
        {"C:/a.b/c", {"C:", "/a.b/", "c", ""}},
        {"dir\\.hidden", {"", "dir\\", "", ".hidden"}},
        {"dir.x\\name", {"", "dir.x\\", "name", ""}},
        {"..\\a.", {"", "..\\", "a", "."}},
        {".ext", {"", "", "", ".ext"}},
        {"x:y:z", {"x:", "", "y:z", ""}},
        {"C:", {"C:", "", "", ""}},
        {"C:\\", {"C:", "\\", "", ""}},
        {"dir\\", {"", "dir\\", "", ""}},
        {"", {"", "", "", ""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("\"") + row.path + "\"");
        const PathParts parts = SplitPath(row.path);
        const std::string module[4] = {parts.drive, parts.directory, parts.name, parts.extension};
        std::string runtime[4];
        if (HasWindowsRuntime())
            RuntimeSplitPath(row.path, runtime);
        const char* const partNames[4] = {"drive", "directory", "name", "extension"};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(std::string(row.parts[i]), module[i]) << "SplitPath's " << partNames[i];
            if (HasWindowsRuntime()) {
                EXPECT_EQ(std::string(row.parts[i]), runtime[i]) << "_splitpath's " << partNames[i];
            }
        }
    }
}

TEST(RuntimeText, MakePathJoinsAsTheRuntimesMakePath)
{
    struct Row {
        const char* drive;
        const char* directory;
        const char* name;
        const char* extension;
        const char* path;
    };
    const Row rows[] = {
        {"C", "dir", "f", "txt", "C:dir\\f.txt"},
        {"C:", "dir\\", "f", ".txt", "C:dir\\f.txt"},
        {"C:", "\\Program Files\\Kestrova\\", "MediaCache", "", "C:\\Program Files\\Kestrova\\MediaCache"},
        {"", "C:\\Player\\MediaCache", "*", ".*", "C:\\Player\\MediaCache\\*.*"},
        {"c:\\x", "a/", "b", "..e", "c:a/b..e"},  // only the drive's letter is taken
        {"", "d", "", "", "d\\"},
        {"", "", "", "e", ".e"},
        {"", "", "f", "", "f"},
        {"", "", "", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("\"") + row.drive + "\", \"" + row.directory + "\", \"" + row.name + "\", \"" +
                     row.extension + "\"");
        EXPECT_EQ(std::string(row.path), MakePath(row.drive, row.directory, row.name, row.extension)) << "MakePath";
        if (HasWindowsRuntime()) {
            EXPECT_EQ(std::string(row.path), RuntimeMakePath(row.drive, row.directory, row.name, row.extension))
                << "_makepath";
        }
    }
}

// Only A-Z fold: letters outside ASCII and the signs 32 apart from each
// other ('[' and '{', '@' and '`') stay different in the "C" locale.
TEST(RuntimeText, EqualsNoCaseAgreesWithTheRuntimesStricmp)
{
    struct Row {
        const char* a;
        const char* b;
        bool equal;
    };
    const Row rows[] = {
        {"abc", "ABC", true},
        {"Config.DLL", "config.dll", true},
        {"MediaCache", "MEDIACACHE", true},
        {"Z", "z", true},
        {"", "", true},
        {"ab", "abc", false},
        {"abc", "ab", false},
        {"a[", "A{", false},
        {"@", "`", false},
        {"\xe9", "\xc9", false},
        {"a b", "A_B", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("\"") + row.a + "\" and \"" + row.b + "\"");
        EXPECT_EQ(row.equal, EqualsNoCase(row.a, row.b)) << "EqualsNoCase";
        if (HasWindowsRuntime()) {
            EXPECT_EQ(row.equal, RuntimeStricmp(row.a, row.b) == 0) << "_stricmp gave " << RuntimeStricmp(row.a, row.b);
        }
    }
}

}  // namespace contract
