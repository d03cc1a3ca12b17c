// MemoryPlatformInternal.h - what the parts of the in-memory platform share.
#ifndef KESTROVA_CONFIG_MEMORY_PLATFORM_INTERNAL_H
#define KESTROVA_CONFIG_MEMORY_PLATFORM_INTERNAL_H

#include <string>

namespace memplat {
namespace internal {

// Throws when a fault was injected for this function (ThrowOnCall).
void MaybeThrow(const char* function);
// Empties the file system and everything MemoryFiles.cpp keeps.
void ResetFiles();

}  // namespace internal
}  // namespace memplat

#endif  // KESTROVA_CONFIG_MEMORY_PLATFORM_INTERNAL_H
