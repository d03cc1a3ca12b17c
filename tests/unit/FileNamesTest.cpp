// FileNamesTest.cpp - which names the lister takes for a mask, and which part
// of a source path the log prints.
#include "FileNames.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(FileNames, MaskMatchesTheWholeNameIgnoringTheCaseOfAsciiLetters)
{
    const struct { const char* name; const char* mask; bool matches; } rows[] = {
        {"Engine.dll", "*.dll", true}, {"ENGINE.DLL", "*.dll", true}, {"engine.dll", "*.DlL", true},
        {"x.dllx", "*.dll", false}, {"x.dl", "*.dll", false}, {"dll", "*.dll", false}, {".dll", "*.dll", true},
        {"a.dll.dll", "*.dll", true}, {"a.dll.bak", "*.dll", false}, {"abcbd", "a*bd", true},
        {"mississippi", "m*iss*ppi", true}, {"mississippi", "m*iss*ssi", false},
        {"abc", "a?c", true}, {"ac", "a?c", false}, {"abbc", "a?c", false},
        {"", "", true}, {"", "*", true}, {"", "?", false}, {"a", "", false},
        {"ab", "a**b", true}, {"ab", "*?*?*", true}, {"a", "*?*?*", false},
        {"Alpha.dll", "a*", true}, {"[", "{", false}, {"@", "`", false}, {"\xC9.dll", "\xE9.dll", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.matches, MatchesFileMask(row.name, row.mask)) << '"' << row.name << "\" \"" << row.mask << '"';
}

TEST(FileNames, LogPrintsTheSourcePathFromItsLastBackslashAfterTheFirstCharacter)
{
    const struct { const char* path; const char* part; } rows[] = {
        {"C:\\src\\Utilities\\Config\\SetupUtils.cpp", "\\SetupUtils.cpp"},
        {"\\\\server\\share\\SetupUtils.cpp", "\\SetupUtils.cpp"},
        {"SetupUtils.cpp", "SetupUtils.cpp"}, {"\\SetupUtils.cpp", "\\SetupUtils.cpp"},
        {"src/Config/SetupUtils.cpp", "src/Config/SetupUtils.cpp"},
        {"a\\b", "\\b"}, {"Config\\", "\\"}, {"\\\\", "\\"}, {"\\", "\\"}, {"", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        const char* part = LogFilePart(row.path);
        EXPECT_STREQ(row.part, part);
        EXPECT_EQ(row.path + std::strlen(row.path) - std::strlen(row.part), part) << "not a pointer into the path";
    }
}

}  // namespace
