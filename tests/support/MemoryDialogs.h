// MemoryDialogs.h - the module's dialog templates registered with the
// in-memory platform, from the same layouts the Wine tests hold the real
// resources to. Native builds only.
#ifndef KESTROVA_TESTS_MEMORY_DIALOGS_H
#define KESTROVA_TESTS_MEMORY_DIALOGS_H

// Registers dialogs 101 and 102 (again after every memplat::Reset()).
void RegisterModuleDialogs();

#endif  // KESTROVA_TESTS_MEMORY_DIALOGS_H
