// DiagnosticLog.h - the append-only log "KestrovaWebPlayer.log" beside the
// module: opened, appended to and closed for every entry.
#ifndef KESTROVA_CONFIG_DIAGNOSTIC_LOG_H
#define KESTROVA_CONFIG_DIAGNOSTIC_LOG_H

// One entry. With a source file and a line other than 0:
// "message<TAB>(\file : Line n)" and a line end; otherwise the message
// alone. A lost entry is never reported.
void LogMessage(const char* message, const char* sourceFile, int line);

#endif  // KESTROVA_CONFIG_DIAGNOSTIC_LOG_H
