// DirectoryLister.h - the files of a directory whose names match a mask.
#ifndef KESTROVA_CONFIG_DIRECTORY_LISTER_H
#define KESTROVA_CONFIG_DIRECTORY_LISTER_H

#include <windows.h>

#include <string>
#include <vector>

class DirectoryLister {
public:
    // directory: listed as given, ending with a separator; a directory
    // (the given one or a subdirectory) whose search pattern, "*" added,
    // does not fit a path buffer is not listed. mask: "*" and
    // "?" wildcards, matched against each whole long file name ignoring
    // case. recurse: non-zero also lists the files of every subdirectory,
    // their paths carrying the subdirectory part. includeDirectories:
    // non-zero also yields the directories themselves.
    DirectoryLister(const std::string& directory, const std::string& mask, int recurse, int includeDirectories);
    ~DirectoryLister();
    DirectoryLister(const DirectoryLister&) = delete;
    DirectoryLister& operator=(const DirectoryLister&) = delete;

    // The next path (the directory text as given, then the rest), or false
    // when there are no more.
    bool NextFile(std::string& path);

private:
    struct Level {
        std::string directory;
        HANDLE find;  // INVALID_HANDLE_VALUE when nothing was found
        bool first;
        WIN32_FIND_DATAA data;
    };
    std::vector<Level> levels_;
    std::string mask_;
    bool recurse_;
    bool includeDirectories_;

    void Enter(const std::string& directory);
};

#endif  // KESTROVA_CONFIG_DIRECTORY_LISTER_H
