// MediaCache.cpp - see MediaCache.h.
#include "MediaCache.h"

#include <shellapi.h>

#include "Paths.h"
#include "resources/resource.h"

namespace {

const char kMediaCacheFolder[] = "MediaCache";
const char kMediaCacheTitle[] = "Clearing Media Cache";
const DWORD kPauseAfterDeletionMs = 100;

}  // namespace

void ClearMediaCache(HWND dialog)
{
    HWND button = GetDlgItem(dialog, IDC_DELETE_TEMP_FILES);

    // Without the module's own path there is no telling where the cache is;
    // nothing is deleted then.
    char cacheFolder[MAX_PATH];
    const bool located = PathBesideModule(kMediaCacheFolder, cacheFolder);

    if (button != nullptr)
        EnableWindow(button, FALSE);

    // Anything of that name counts, a plain file too: the operation then
    // simply finds nothing inside it.
    if (located && GetFileAttributesA(cacheFolder) != INVALID_FILE_ATTRIBUTES) {
        // The shell takes a list of names ended by an empty one: the
        // pattern's own NUL and one more. The buffer holds the pattern of
        // any cache folder that fits a path buffer.
        char files[MAX_PATH + 5] = {};
        if (MakePathInto(files, sizeof files - 1, "", cacheFolder, "*", ".*")) {
            SHFILEOPSTRUCTA operation = {};
            operation.hwnd = dialog;
            operation.wFunc = FO_DELETE;
            operation.pFrom = files;
            operation.pTo = nullptr;
            // No confirmation, a progress window without file names, no
            // error box; not to the recycle bin, and subfolders go with
            // their contents.
            operation.fFlags = FOF_NOCONFIRMATION | FOF_SIMPLEPROGRESS | FOF_NOERRORUI;
            operation.fAnyOperationsAborted = FALSE;
            operation.hNameMappings = nullptr;
            operation.lpszProgressTitle = kMediaCacheTitle;
            SHFileOperationA(&operation);
            Sleep(kPauseAfterDeletionMs);
        }
    }

    if (button != nullptr)
        EnableWindow(button, TRUE);
}
