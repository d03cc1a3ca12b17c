// DisplaySettings.cpp - loading the display settings into the settings
// dialog and saving them from it.
#include "DisplaySettings.h"

#include "RegistryKey.h"
#include "RenderLists.h"
#include "resources/resource.h"

namespace {

const char kDisplaySettingsKey[] = "Software\\Kestrova\\DadAzizov\\Config";

struct DisplaySettings {
    DWORD autoUpdate = 1;       // "AutoUpdate"
    DWORD renderEngine = 0;     // "RenderEngine": the engine's driver index
    DWORD fsWidth = 640;        // "fsWidth"
    DWORD fsHeight = 480;       // "fsHeight"
    DWORD set32bits = 0;        // "Set32bits"
    DWORD forceRenderMode = 0;  // "ForceRenderMode": a RenderMode
};

// The six values in the order they are read and written.
struct DisplayValue {
    const char* name;
    DWORD DisplaySettings::*field;
};
const DisplayValue kDisplayValues[] = {
    {"AutoUpdate", &DisplaySettings::autoUpdate},
    {"RenderEngine", &DisplaySettings::renderEngine},
    {"fsWidth", &DisplaySettings::fsWidth},
    {"fsHeight", &DisplaySettings::fsHeight},
    {"Set32bits", &DisplaySettings::set32bits},
    {"ForceRenderMode", &DisplaySettings::forceRenderMode},
};

UINT CheckState(bool checked) { return checked ? BST_CHECKED : BST_UNCHECKED; }

}  // namespace

void LoadDisplaySettings(HWND dialog)
{
    DisplaySettings settings;
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kDisplaySettingsKey, KEY_READ) == ERROR_SUCCESS) {
        // A value that is missing or cannot be read keeps its default; the
        // stored type is not examined.
        for (const DisplayValue& value : kDisplayValues)
            key.QueryNumber(value.name, settings.*value.field);
        key.Close();
    }

    CheckDlgButton(dialog, IDC_AUTO_UPDATE, CheckState(settings.autoUpdate != 0));
    CheckDlgButton(dialog, IDC_USE_32BIT_COLOR, CheckState(settings.set32bits != 0));
    CheckDlgButton(dialog, IDC_PAGE_DECIDES, CheckState(settings.forceRenderMode == RenderModePageDecides));
    CheckDlgButton(dialog, IDC_FORCE_SOFTWARE, CheckState(settings.forceRenderMode == RenderModeSoftwareOnly));
    CheckDlgButton(dialog, IDC_FORCE_HARDWARE, CheckState(settings.forceRenderMode == RenderModeHardwareOnly));

    // The registry holds DWORDs; the lists work with the engine's signed
    // numbers, so 0xFFFFFFFF means driver -1, which no entry carries.
    FillDriverList(dialog, static_cast<int>(settings.forceRenderMode));
    SelectDriverByIndex(dialog, static_cast<int>(settings.renderEngine));
    FillResolutionList(dialog);
    SelectResolution(dialog, static_cast<int>(settings.fsWidth), static_cast<int>(settings.fsHeight));
}

void SaveDisplaySettings(HWND dialog)
{
    DisplaySettings settings;
    settings.autoUpdate = IsDlgButtonChecked(dialog, IDC_AUTO_UPDATE);

    // With no entry selected the list's error value, -1, is what is stored.
    HWND drivers = GetDlgItem(dialog, IDC_RENDER_DRIVER);
    settings.renderEngine =
        static_cast<DWORD>(SendMessageA(drivers, CB_GETITEMDATA, SendMessageA(drivers, CB_GETCURSEL, 0, 0), 0));

    int width = 640;
    int height = 480;
    ReadSelectedResolution(dialog, width, height);
    settings.fsWidth = static_cast<DWORD>(width);
    settings.fsHeight = static_cast<DWORD>(height);

    settings.set32bits = IsDlgButtonChecked(dialog, IDC_USE_32BIT_COLOR);
    settings.forceRenderMode = static_cast<DWORD>(CheckedRenderMode(dialog));

    // A user without write access to HKEY_LOCAL_MACHINE gets no message:
    // the dialog still closes and the player keeps its previous settings.
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kDisplaySettingsKey, KEY_ALL_ACCESS) != ERROR_SUCCESS &&
        key.Create(HKEY_LOCAL_MACHINE, kDisplaySettingsKey) != ERROR_SUCCESS)
        return;
    // Each write is left unchecked: what could be written is written.
    for (const DisplayValue& value : kDisplayValues)
        key.SetNumber(value.name, settings.*value.field);
}
