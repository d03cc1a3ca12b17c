// SettingsDialog.cpp - the settings dialog: initialisation and the routing
// of every command to its handler.
#include "SettingsDialog.h"

#include "CallBoundary.h"
#include "ComponentInfo.h"
#include "ConfigModule.h"
#include "DisplaySettings.h"
#include "MediaCache.h"
#include "NetworkDialog.h"
#include "RenderLists.h"
#include "resources/resource.h"

namespace {

// The order matters: the stored settings fill both lists first, and the
// driver render context 0 really uses is selected last so it wins over the
// stored one (the resolution list stays the one built for the stored driver).
void InitSettingsDialog(HWND dialog)
{
    LoadDisplaySettings(dialog);
    FillComponentInfo(dialog);
    SelectCurrentDriver(dialog);
}

// TRUE only for the two commands that end the dialog.
INT_PTR OnSettingsCommand(HWND dialog, WPARAM wParam)
{
    // "&Close" and Enter (IDOK) save; Esc (IDCANCEL, there is no such
    // control) ends without saving. Both report 1 to the player.
    if (wParam == IDOK) {
        SaveDisplaySettings(dialog);
        EndDialog(dialog, 1);
        return TRUE;
    }
    if (wParam == IDCANCEL) {
        EndDialog(dialog, 1);
        return TRUE;
    }

    const WORD code = HIWORD(wParam);
    switch (LOWORD(wParam)) {
    case IDC_RENDER_DRIVER:
        // Only a real selection switches the driver, not opening or
        // closing the list.
        if (code == CBN_SELCHANGE)
            OnDriverChanged(dialog);
        break;
    case IDC_DELETE_TEMP_FILES:
        if (code == BN_CLICKED)
            ClearMediaCache(dialog);
        break;
    case IDC_NETWORK_SETTINGS:
        // A second modal dialog over this one; whatever happens there
        // leaves this dialog as it was.
        if (code == BN_CLICKED)
            DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_NETWORK), dialog, NetworkDlgProc, 0);
        break;
    case IDC_FORCE_SOFTWARE:
    case IDC_FORCE_HARDWARE:
    case IDC_PAGE_DECIDES:
        OnRenderModeChanged(dialog);
        break;
    default:
        break;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/)
{
    // Only the "Advanced Information" report takes memory, and it catches
    // its own; every other handler, "&Close" included, takes none.
    return GuardedDialogMessage([&](ThreadRecord& thread) -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(thread.openingHost));
            InitSettingsDialog(dialog);
            // FALSE: the system does not place the initial focus.
            return FALSE;
        case WM_COMMAND:
            return OnSettingsCommand(dialog, wParam);
        default:
            return FALSE;
        }
    });
}
