// FileNames.h - matching and cutting file names as the module's lister and
// log need them. No system calls, so the same file builds for the player
// and natively.
#ifndef KESTROVA_CONFIG_FILE_NAMES_H
#define KESTROVA_CONFIG_FILE_NAMES_H

// Wildcard match ('*' any run, '?' any one character) of a whole file name,
// ignoring the case of A-Z.
bool MatchesFileMask(const char* name, const char* mask);

// The part of a source path that the log prints: from its last backslash on,
// that backslash included, looking no further left than index 1; the whole
// path when there is none. Points into sourceFile.
const char* LogFilePart(const char* sourceFile);

#endif  // KESTROVA_CONFIG_FILE_NAMES_H
