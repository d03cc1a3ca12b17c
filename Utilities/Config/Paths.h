// Paths.h - splitting and making Windows paths as the C runtime's
// _splitpath and _makepath do, and the module's own path.
#ifndef KESTROVA_CONFIG_PATHS_H
#define KESTROVA_CONFIG_PATHS_H

#include <string>

struct PathParts {
    std::string drive;      // "C:" or empty
    std::string directory;  // with its trailing separator
    std::string name;
    std::string extension;  // with its dot
};

// _splitpath: the drive when the second character is ':', the directory up
// to the last '\' or '/', the extension from the last '.' after that.
PathParts SplitPath(const std::string& path);

// _makepath: the drive's letter and ':', the directory with a '\' added
// when it ends with neither '\' nor '/', the name, the extension with a '.'
// added when it lacks one. Empty parts are left out.
std::string MakePath(const std::string& drive, const std::string& directory, const std::string& name,
                     const std::string& extension);

// The paths the module composes live in buffers of this size, NUL included.
const std::size_t kPathBufferSize = 260;

// The full path of the module's own file. False when it cannot be read, is
// empty, or does not fit in the path buffer (a cut path names another file).
bool ReadModulePath(std::string& path);

#endif  // KESTROVA_CONFIG_PATHS_H
