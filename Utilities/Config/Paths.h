// Paths.h - splitting and making paths with the runtime's _splitpath and
// _makepath in fixed buffers, each step checked first so that nothing runs
// past a buffer; and the paths of files beside the module.
#ifndef KESTROVA_CONFIG_PATHS_H
#define KESTROVA_CONFIG_PATHS_H

#include <windows.h>

#include <cstddef>

// Each part a whole path buffer: a part of a path that fits one fits too.
struct PathParts {
    char drive[MAX_PATH];
    char directory[MAX_PATH];  // with its trailing separator
    char name[MAX_PATH];
    char extension[MAX_PATH];  // with its dot
};

// _splitpath(path, ...) into parts. False when the path does not fit a path
// buffer (nothing split) or the runtime did not split it whole.
bool SplitPathInto(const char* path, PathParts& parts);

// _makepath(path, drive, directory, name, extension) into a buffer of size
// bytes. False, with nothing made, when the result would need size bytes or
// more (a path cut short would name another file), or when a part would not
// fit a path buffer itself.
bool MakePathInto(char* path, std::size_t size, const char* drive, const char* directory, const char* name,
                  const char* extension);

// The module's drive and directory followed by fileName, in a path buffer.
// False when the module's own path cannot be read, fills its whole buffer,
// or leaves no room for fileName: a path relative to the current folder or
// cut short could name another program's files.
bool PathBesideModule(const char* fileName, char (&path)[MAX_PATH]);

#endif  // KESTROVA_CONFIG_PATHS_H
