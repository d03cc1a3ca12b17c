// fuzz_file_names.cpp - any file name and mask (the input split at its first
// NUL): MatchesFileMask against a plain recursive matcher, and LogFilePart of
// both texts against a forward scan for the last backslash after index 0.
#include "FileNames.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define REQUIRE(holds) ((holds) ? (void)0 : (std::fprintf(stderr, "invariant violated: %s\n", #holds), std::abort()))

static bool SameLetter(char a, char b) { return a == b || ((a ^ b) == 0x20 && (a | 0x20) >= 'a' && (a | 0x20) <= 'z'); }

// Does name[i..] match mask[j..]? Each answer is kept: 0 unknown, 1 no, 2 yes.
struct Reference {
    const std::string &name, &mask;
    std::vector<char> known;
    bool Match(std::size_t i, std::size_t j)
    {
        char& answer = known[i * (mask.size() + 1) + j];
        if (answer == 0)
            answer = 1 + (j == mask.size() ? i == name.size()
                          : mask[j] == '*' ? Match(i, j + 1) || (i < name.size() && Match(i + 1, j))
                          : i < name.size() && (mask[j] == '?' || SameLetter(name[i], mask[j])) && Match(i + 1, j + 1));
        return answer == 2;
    }
};

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\0');
    const std::string name = input.substr(0, cut), mask = cut == std::string::npos ? "" : input.c_str() + cut + 1;
    const std::vector<char> nameText(name.c_str(), name.c_str() + name.size() + 1);  // exactly sized, for ASan
    const std::vector<char> maskText(mask.c_str(), mask.c_str() + mask.size() + 1);

    const bool matches = MatchesFileMask(nameText.data(), maskText.data());
    if (name.size() * mask.size() <= 1 << 16) {
        Reference reference{name, mask, std::vector<char>((name.size() + 1) * (mask.size() + 1))};
        REQUIRE(matches == reference.Match(0, 0));
    }
    for (const std::vector<char>* path : {&nameText, &maskText}) {
        std::size_t last = 0;
        for (std::size_t i = 1; i + 1 < path->size(); ++i)
            last = (*path)[i] == '\\' ? i : last;
        REQUIRE(LogFilePart(path->data()) == path->data() + last);
    }
    return 0;
}
