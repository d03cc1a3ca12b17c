// MediaCache.cpp - see MediaCache.h.
#include "MediaCache.h"

#include <string>

#include "Paths.h"
#include "resources/resource.h"

const char kMediaCacheTitle[] = "Clearing Media Cache";

namespace {

const plat::Dword kPauseAfterDeletionMs = 100;

}  // namespace

void ClearMediaCache(plat::Window dialog)
{
    plat::Window button = plat::GetDlgItem(dialog, IDC_DELETE_TEMP_FILES);

    // Without the module's own path there is no way to tell where the cache
    // is; deleting relative to the current folder could hit another
    // program's files, so nothing is deleted.
    std::string modulePath;
    const bool located = ReadModulePath(modulePath);
    const PathParts module = SplitPath(modulePath);
    const std::string cacheFolder = MakePath(module.drive, module.directory, "MediaCache", "");

    if (button != nullptr)
        plat::EnableWindow(button, 0);

    // Anything of that name counts, a plain file too: the operation then
    // simply finds nothing inside it.
    if (located && plat::GetFileAttributesA(cacheFolder.c_str()) != plat::kInvalidFileAttributes) {
        // The shell takes a list of names ended by an empty one: the
        // pattern's own NUL and one more.
        std::string pattern = MakePath("", cacheFolder, "*", ".*");
        pattern.push_back('\0');

        plat::FileOperation operation = {};
        operation.hwnd = dialog;
        operation.wFunc = plat::kFoDelete;
        operation.pFrom = pattern.c_str();
        operation.pTo = nullptr;
        // No confirmation, a progress window without file names, no error
        // box; not to the recycle bin, and subfolders go with their contents.
        operation.fFlags = plat::kFofNoConfirmation | plat::kFofSimpleProgress | plat::kFofNoErrorUi;
        operation.fAnyOperationsAborted = 0;
        operation.hNameMappings = nullptr;
        operation.lpszProgressTitle = kMediaCacheTitle;
        plat::SHFileOperationA(&operation);
        plat::Sleep(kPauseAfterDeletionMs);
    }

    if (button != nullptr)
        plat::EnableWindow(button, 1);
}
