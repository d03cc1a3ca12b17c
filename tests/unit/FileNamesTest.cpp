// FileNamesTest.cpp - which names the lister takes for a mask. (Which part of
// a source path the log prints: the fuzz target and the Wine suite's log rows.)
#include "FileNames.h"

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

}  // namespace
