// Paths.cpp - see Paths.h.
#include "Paths.h"

#include "ConfigModule.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

PathParts SplitPath(const std::string& path)
{
    PathParts parts;
    std::string rest = path;
    if (rest.size() >= 2 && rest[1] == ':') {
        parts.drive = rest.substr(0, 2);
        rest.erase(0, 2);
    }
    const std::string::size_type slash = rest.find_last_of("\\/");
    if (slash != std::string::npos) {
        parts.directory = rest.substr(0, slash + 1);
        rest.erase(0, slash + 1);
    }
    const std::string::size_type dot = rest.rfind('.');
    if (dot != std::string::npos) {
        parts.extension = rest.substr(dot);
        rest.erase(dot);
    }
    parts.name = rest;
    return parts;
}

std::string MakePath(const std::string& drive, const std::string& directory, const std::string& name,
                     const std::string& extension)
{
    std::string path;
    if (!drive.empty()) {
        path += drive[0];
        path += ':';
    }
    if (!directory.empty()) {
        path += directory;
        if (!IsSeparator(directory.back()))
            path += '\\';
    }
    path += name;
    if (!extension.empty()) {
        if (extension[0] != '.')
            path += '.';
        path += extension;
    }
    return path;
}

bool ReadModulePath(std::string& path)
{
    char buffer[kPathBufferSize];
    const plat::Dword length = plat::GetModuleFileNameA(ModuleInstance, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return false;
    path.assign(buffer, length);
    return true;
}
