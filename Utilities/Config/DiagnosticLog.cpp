// DiagnosticLog.cpp - see DiagnosticLog.h.
#include "DiagnosticLog.h"

#include <cstring>
#include <string>

#include "Paths.h"

const char kLogFileName[] = "KestrovaWebPlayer.log";

namespace {

// The last component of a source path with its backslash in front. Index 0
// is never looked at, so a path whose only backslash leads it is printed
// whole, as is one without any.
const char* FilePart(const char* sourceFile)
{
    const std::size_t length = std::strlen(sourceFile);
    for (std::size_t i = length > 0 ? length - 1 : 0; i >= 1; --i)
        if (sourceFile[i] == '\\')
            return sourceFile + i;
    return sourceFile;
}

}  // namespace

plat::FileStream OpenLogFile()
{
    std::string modulePath;
    if (!ReadModulePath(modulePath))
        return nullptr;
    const PathParts parts = SplitPath(modulePath);
    const std::string logPath = MakePath(parts.drive, parts.directory, kLogFileName, "");
    // The path buffer holds 259 characters and the NUL; a longer log path
    // would name another file.
    if (logPath.size() + 1 > kPathBufferSize)
        return nullptr;
    return plat::OpenFileStream(logPath.c_str(), "at+");
}

void LogMessage(const char* message, const char* sourceFile, std::int32_t line)
{
    plat::FileStream stream = OpenLogFile();
    if (stream == nullptr)
        return;
    std::string entry = message != nullptr ? message : "";
    if (sourceFile != nullptr && line != 0) {
        entry += "\t(";
        entry += FilePart(sourceFile);
        entry += " : Line " + std::to_string(line) + ")\n";
    }
    plat::PutText(stream, entry.c_str());
    plat::CloseFileStream(stream);
}
