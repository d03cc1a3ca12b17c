// FileNames.cpp - see FileNames.h.
#include "FileNames.h"

#include <cstring>

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool MatchesFileMask(const char* name, const char* mask)
{
    const char* starMask = nullptr;
    const char* starName = nullptr;
    while (*name != '\0') {
        if (*mask == '*') {
            starMask = mask++;
            starName = name;
        } else if (*mask != '\0' && (*mask == '?' || LowerAscii(*mask) == LowerAscii(*name))) {
            ++mask;
            ++name;
        } else if (starMask != nullptr) {
            mask = starMask + 1;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*mask == '*')
        ++mask;
    return *mask == '\0';
}

// Index 0 is never looked at, so a path whose only backslash leads it is
// printed whole, as is one without any.
const char* LogFilePart(const char* sourceFile)
{
    for (std::size_t i = std::strlen(sourceFile); i > 1; --i)
        if (sourceFile[i - 1] == '\\')
            return sourceFile + i - 1;
    return sourceFile;
}
