// DialogWindows.h - finding the settings dialog that Config.dll shows, from
// a thread other than the one running it (the simulated player's
// screenshot helper and the end-to-end tests play the user that way).
#ifndef KESTROVA_PLAYERSIM_DIALOG_WINDOWS_H
#define KESTROVA_PLAYERSIM_DIALOG_WINDOWS_H

#include <windows.h>

namespace sim {

extern const char kSettingsDialogCaption[];  // "Kestrova Dad Azizov Settings"
extern const char kNetworkDialogCaption[];   // "Kestrova Dad Azizov Network Settings"

// The dialog-class ("#32770") top-level window of thread with that caption,
// or null.
HWND FindThreadDialog(DWORD threadId, const char* caption);

// Polls until that dialog exists and is visible: DialogBoxParamA shows it
// only once WM_INITDIALOG is over, so a visible dialog has its lists
// filled. Null when timeoutMs passes first or stopEvent (may be null) is
// signalled, e.g. because the dialog call already returned.
HWND WaitForVisibleDialog(DWORD threadId, const char* caption, DWORD timeoutMs, HANDLE stopEvent);

}  // namespace sim

#endif  // KESTROVA_PLAYERSIM_DIALOG_WINDOWS_H
