// DisplaySettings.h - the display and update settings the player reads at
// start-up: six REG_DWORDs under HKEY_LOCAL_MACHINE, shared by all users.
#ifndef KESTROVA_CONFIG_DISPLAY_SETTINGS_H
#define KESTROVA_CONFIG_DISPLAY_SETTINGS_H

#include <cstdint>

#include "platform/Platform.h"

extern const char kDisplaySettingsKey[];  // "Software\Kestrova\DadAzizov\Config"

struct DisplaySettings {
    std::uint32_t autoUpdate = 1;       // "AutoUpdate"
    std::uint32_t renderEngine = 0;     // "RenderEngine": the engine's driver index
    std::uint32_t fsWidth = 640;        // "fsWidth"
    std::uint32_t fsHeight = 480;       // "fsHeight"
    std::uint32_t set32bits = 0;        // "Set32bits"
    std::uint32_t forceRenderMode = 0;  // "ForceRenderMode": a RenderMode
};

// Reads the stored settings (defaults for whatever cannot be read) into the
// dialog's check boxes, radio buttons and both lists.
void LoadDisplaySettings(plat::Window dialog);
// Stores what the dialog shows. Fails silently when the key can neither be
// opened for writing nor created.
void SaveDisplaySettings(plat::Window dialog);

#endif  // KESTROVA_CONFIG_DISPLAY_SETTINGS_H
