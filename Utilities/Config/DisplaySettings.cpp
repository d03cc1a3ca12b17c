// DisplaySettings.cpp - loading the display settings into the settings
// dialog and saving them from it.
#include "DisplaySettings.h"

#include "RegistryKey.h"
#include "RenderLists.h"
#include "resources/resource.h"

const char kDisplaySettingsKey[] = "Software\\Kestrova\\DadAzizov\\Config";

namespace {

// The six values in the order they are read and written.
struct DisplayValue {
    const char* name;
    std::uint32_t DisplaySettings::*field;
};
const DisplayValue kDisplayValues[] = {
    {"AutoUpdate", &DisplaySettings::autoUpdate},
    {"RenderEngine", &DisplaySettings::renderEngine},
    {"fsWidth", &DisplaySettings::fsWidth},
    {"fsHeight", &DisplaySettings::fsHeight},
    {"Set32bits", &DisplaySettings::set32bits},
    {"ForceRenderMode", &DisplaySettings::forceRenderMode},
};

// A value that is missing or cannot be read leaves the field as it was; the
// stored type is not examined (a 4-byte value of any type is taken).
void QueryDword(plat::RegKey key, const char* name, std::uint32_t& field)
{
    unsigned char bytes[4] = {0, 0, 0, 0};
    plat::Dword type = plat::kRegDword;
    plat::Dword size = sizeof bytes;
    if (plat::RegQueryValueExA(key, name, &type, bytes, &size) != plat::kErrorSuccess)
        return;
    // The bytes land in the field as in its little-endian memory: a value
    // shorter than 4 bytes replaces only the low bytes and the others keep
    // what the field held.
    std::uint32_t value = field;
    for (plat::Dword i = 0; i < size && i < 4; ++i) {
        value &= ~(0xFFu << (8 * i));
        value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    }
    field = value;
}

unsigned int CheckState(bool checked) { return checked ? plat::kBstChecked : plat::kBstUnchecked; }

}  // namespace

void LoadDisplaySettings(plat::Window dialog)
{
    DisplaySettings settings;
    RegistryKey key;
    if (key.Open(plat::HKeyLocalMachine(), kDisplaySettingsKey, plat::kKeyRead)) {
        for (const DisplayValue& value : kDisplayValues)
            QueryDword(key.Get(), value.name, settings.*value.field);
        key.Close();
    }

    plat::CheckDlgButton(dialog, IDC_AUTO_UPDATE, CheckState(settings.autoUpdate != 0));
    plat::CheckDlgButton(dialog, IDC_USE_32BIT_COLOR, CheckState(settings.set32bits != 0));
    plat::CheckDlgButton(dialog, IDC_PAGE_DECIDES, CheckState(settings.forceRenderMode == RenderModePageDecides));
    plat::CheckDlgButton(dialog, IDC_FORCE_SOFTWARE, CheckState(settings.forceRenderMode == RenderModeSoftwareOnly));
    plat::CheckDlgButton(dialog, IDC_FORCE_HARDWARE, CheckState(settings.forceRenderMode == RenderModeHardwareOnly));

    // The registry holds DWORDs; the lists work with the engine's signed
    // numbers, so 0xFFFFFFFF means driver -1, which no entry carries.
    FillDriverList(dialog, static_cast<int>(settings.forceRenderMode));
    SelectDriverByIndex(dialog, static_cast<int>(settings.renderEngine));
    FillResolutionList(dialog);
    SelectResolution(dialog, static_cast<int>(settings.fsWidth), static_cast<int>(settings.fsHeight));
}

void SaveDisplaySettings(plat::Window dialog)
{
    DisplaySettings settings;
    settings.autoUpdate = plat::IsDlgButtonChecked(dialog, IDC_AUTO_UPDATE);

    // With no entry selected the list's error value, -1, is what is stored.
    plat::Window drivers = plat::GetDlgItem(dialog, IDC_RENDER_DRIVER);
    settings.renderEngine =
        static_cast<std::uint32_t>(plat::ComboGetItemData(drivers, plat::ComboGetCurSel(drivers)));

    int width = 640;
    int height = 480;
    ReadSelectedResolution(dialog, width, height);
    settings.fsWidth = static_cast<std::uint32_t>(width);
    settings.fsHeight = static_cast<std::uint32_t>(height);

    settings.set32bits = plat::IsDlgButtonChecked(dialog, IDC_USE_32BIT_COLOR);
    settings.forceRenderMode = static_cast<std::uint32_t>(CheckedRenderMode(dialog));

    // A user without write access to HKEY_LOCAL_MACHINE gets no message:
    // the dialog still closes and the player keeps its previous settings.
    RegistryKey key;
    if (!key.Open(plat::HKeyLocalMachine(), kDisplaySettingsKey, plat::kKeyAllAccess) &&
        !key.Create(plat::HKeyLocalMachine(), kDisplaySettingsKey))
        return;
    // Each write is left unchecked: what could be written is written.
    for (const DisplayValue& value : kDisplayValues)
        key.SetDword(value.name, settings.*value.field);
}
