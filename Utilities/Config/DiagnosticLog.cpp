// DiagnosticLog.cpp - see DiagnosticLog.h.
#include "DiagnosticLog.h"

#include <cstdio>

#include "FileNames.h"
#include "Paths.h"

namespace {

const char kLogFileName[] = "KestrovaWebPlayer.log";

// The log opened for appending in text mode, or null when it cannot be
// (the caller closes it). Null too when the module path cannot be read or
// the log path would not fit in a path buffer.
std::FILE* OpenLogFile()
{
    char logPath[MAX_PATH];
    if (!PathBesideModule(kLogFileName, logPath))
        return nullptr;
    return std::fopen(logPath, "at+");
}

}  // namespace

void LogMessage(const char* message, const char* sourceFile, int line)
{
    std::FILE* stream = OpenLogFile();
    if (stream == nullptr)
        return;
    if (sourceFile != nullptr && line != 0)
        std::fprintf(stream, "%s\t(%s : Line %d)\n", message, LogFilePart(sourceFile), line);
    else
        std::fprintf(stream, "%s", message);
    std::fclose(stream);
}
