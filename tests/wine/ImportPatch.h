// ImportPatch.h - one entry of a loaded module's import address table swapped
// for a replacement while the object lives, then put back. The module itself
// carries no hook: its calls into the system simply land in the replacement.
#ifndef KESTROVA_TESTS_IMPORT_PATCH_H
#define KESTROVA_TESTS_IMPORT_PATCH_H

#include <windows.h>

class ImportPatch {
public:
    // Patches module's import of function from dll (compared without regard
    // to case). Applied() is false when the module does not import it.
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Applied() const { return slot_ != nullptr; }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
    void* replacement_ = nullptr;
};

#endif  // KESTROVA_TESTS_IMPORT_PATCH_H
