// DiagnosticLog.h - the append-only log "KestrovaWebPlayer.log" beside the
// module: opened, appended to and closed for every entry.
#ifndef KESTROVA_CONFIG_DIAGNOSTIC_LOG_H
#define KESTROVA_CONFIG_DIAGNOSTIC_LOG_H

#include <cstdint>

#include "platform/Platform.h"

extern const char kLogFileName[];

// The log opened with "at+", or null when it cannot be (the caller closes
// it). Null too when the module path cannot be read or the log path would
// not fit in a path buffer.
plat::FileStream OpenLogFile();

// One entry. With a source file and a line other than 0:
// "message<TAB>(\file : Line n)" and a line end; otherwise the message
// alone. A lost entry is never reported.
void LogMessage(const char* message, const char* sourceFile, std::int32_t line);

#endif  // KESTROVA_CONFIG_DIAGNOSTIC_LOG_H
