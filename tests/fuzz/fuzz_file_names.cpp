// fuzz_file_names.cpp - any file name and mask (the input split at its first NUL), on buffers of their
// exact size: no memory error, no undefined behaviour, and what a mask promises: a name matches itself
// and "*", a case-blind "*"-suffix mask matches exactly the names ending so; the log's file part of a
// path is its whole or its last backslash after index 0 with what follows.
#include "FileNames.h"

#include <strings.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define REQUIRE(holds) ((holds) ? (void)0 : (std::fprintf(stderr, "invariant violated: %s\n", #holds), std::abort()))

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\0');
    const std::string name = input.substr(0, cut), mask = cut == std::string::npos ? "" : input.c_str() + cut + 1;
    const std::vector<char> nameText(name.c_str(), name.c_str() + name.size() + 1);  // exactly sized, for ASan
    const std::vector<char> maskText(mask.c_str(), mask.c_str() + mask.size() + 1);

    MatchesFileMask(nameText.data(), maskText.data());
    REQUIRE(MatchesFileMask(nameText.data(), "*"));
    if (name.find_first_of("*?") == std::string::npos) {
        REQUIRE(MatchesFileMask(nameText.data(), nameText.data()));
        const std::string suffix = "*" + mask.substr(0, mask.find_first_of("*?"));
        const bool endsSo = name.size() + 1 >= suffix.size() &&
                            strcasecmp(name.c_str() + name.size() + 1 - suffix.size(), suffix.c_str() + 1) == 0;
        REQUIRE(MatchesFileMask(nameText.data(), suffix.c_str()) == endsSo);
    }
    for (const std::vector<char>* path : {&nameText, &maskText}) {
        const char* part = LogFilePart(path->data());
        const std::string whole(path->data()), tail(part);
        REQUIRE(part >= path->data() && part < path->data() + path->size());
        REQUIRE(part == path->data() ? whole.find('\\', 1) == std::string::npos
                                     : tail[0] == '\\' && tail.find('\\', 1) == std::string::npos);
    }
    return 0;
}
