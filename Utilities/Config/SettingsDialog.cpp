// SettingsDialog.cpp - the settings dialog: initialisation and the routing
// of every command to its handler.
#include "SettingsDialog.h"

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
void InitSettingsDialog(plat::Window dialog)
{
    LoadDisplaySettings(dialog);
    FillComponentInfo(dialog);
    SelectCurrentDriver(dialog);
}

// Returns TRUE only for the two commands that end the dialog.
std::intptr_t OnSettingsCommand(plat::Window dialog, std::uintptr_t wParam)
{
    // "&Close" and Enter (IDOK) save; Esc (IDCANCEL, there is no such
    // control) ends without saving. Both report 1 to the player.
    if (wParam == static_cast<std::uintptr_t>(plat::kIdOk)) {
        SaveDisplaySettings(dialog);
        plat::EndDialog(dialog, 1);
        return 1;
    }
    if (wParam == static_cast<std::uintptr_t>(plat::kIdCancel)) {
        plat::EndDialog(dialog, 1);
        return 1;
    }

    const unsigned int id = plat::LowWord(wParam);
    const unsigned int code = plat::HighWord(wParam);
    switch (id) {
    case IDC_RENDER_DRIVER:
        // Only a real selection switches the driver, not opening or
        // closing the list.
        if (code == plat::kCbnSelChange)
            OnDriverChanged(dialog);
        break;
    case IDC_DELETE_TEMP_FILES:
        if (code == plat::kBnClicked)
            ClearMediaCache(dialog);
        break;
    case IDC_NETWORK_SETTINGS:
        // A second modal dialog over this one; whatever happens there
        // leaves this dialog as it was.
        if (code == plat::kBnClicked)
            plat::DialogBoxParamA(ModuleInstance, IDD_NETWORK, dialog, NetworkDlgProc, 0);
        break;
    case IDC_FORCE_SOFTWARE:
    case IDC_FORCE_HARDWARE:
    case IDC_PAGE_DECIDES:
        OnRenderModeChanged(dialog);
        break;
    default:
        break;
    }
    return 0;
}

}  // namespace

std::intptr_t CONFIG_CALLBACK SettingsDlgProc(plat::Window dialog, unsigned int message,
                                               plat::WParam wParam, plat::LParam /*lParam*/)
{
    switch (message) {
    case plat::kWmInitDialog:
        InitSettingsDialog(dialog);
        // FALSE: the system does not place the initial focus.
        return 0;
    case plat::kWmCommand:
        return OnSettingsCommand(dialog, wParam);
    default:
        return 0;
    }
}
