// DialogWindows.cpp - see DialogWindows.h.
#include "DialogWindows.h"

#include <cstring>

namespace sim {

const char kSettingsDialogCaption[] = "Kestrova Dad Azizov Settings";
const char kNetworkDialogCaption[] = "Kestrova Dad Azizov Network Settings";

namespace {

// The system's class name of dialog boxes.
const char kDialogClass[] = "#32770";
const DWORD kPollIntervalMs = 10;

struct DialogSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param)
{
    DialogSearch& search = *reinterpret_cast<DialogSearch*>(param);
    char className[64] = "";
    char caption[256] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    if (std::strcmp(className, kDialogClass) == 0 && std::strcmp(caption, search.caption) == 0) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindThreadDialog(DWORD threadId, const char* caption)
{
    DialogSearch search = {caption, nullptr};
    EnumThreadWindows(threadId, MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForVisibleDialog(DWORD threadId, const char* caption, DWORD timeoutMs, HANDLE stopEvent)
{
    const DWORD start = GetTickCount();
    for (;;) {
        HWND dialog = FindThreadDialog(threadId, caption);
        if (dialog != nullptr && IsWindowVisible(dialog))
            return dialog;
        if (GetTickCount() - start >= timeoutMs)
            return nullptr;
        if (stopEvent != nullptr) {
            if (WaitForSingleObject(stopEvent, kPollIntervalMs) == WAIT_OBJECT_0)
                return nullptr;
        } else {
            Sleep(kPollIntervalMs);
        }
    }
}

}  // namespace sim
