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
    // does not fit a path buffer is not listed. mask: "*" and "?"
    // wildcards, matched against each whole long file name ignoring case.
    // recurse: non-zero also lists the files of every subdirectory, their
    // paths carrying the subdirectory part. includeDirectories: non-zero
    // also yields the directories themselves.
    //
    // Each directory is read whole when it is reached and its names are
    // yielded in descending order, ignoring case as the system compares
    // them. A link or junction is neither yielded nor followed, a directory
    // reached a second time (by its volume and file index) is not listed
    // again, and one that cannot be opened is skipped: an installation
    // holding links back to itself is listed once, and in its usual time.
    DirectoryLister(const std::string& directory, const std::string& mask, int recurse, int includeDirectories);

    // The next path (the directory text as given, then the rest), or false
    // when there are no more.
    bool NextFile(std::string& path);

private:
    struct Entry {
        std::string name;
        bool directory;
    };
    struct Level {
        std::string directory;
        std::vector<Entry> entries;  // ascending, taken from the back
    };
    struct Identity {
        DWORD volume;
        DWORD indexHigh;
        DWORD indexLow;
    };
    std::vector<Level> levels_;
    std::vector<Identity> visited_;
    std::string mask_;
    bool recurse_;
    bool includeDirectories_;

    void Enter(const std::string& directory);
    bool FirstVisit(const std::string& directory);
};

#endif  // KESTROVA_CONFIG_DIRECTORY_LISTER_H
