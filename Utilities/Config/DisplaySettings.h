// DisplaySettings.h - the display and update settings the player reads at
// start-up: six REG_DWORDs under HKEY_LOCAL_MACHINE, shared by all users.
#ifndef KESTROVA_CONFIG_DISPLAY_SETTINGS_H
#define KESTROVA_CONFIG_DISPLAY_SETTINGS_H

#include <windows.h>

// Reads the stored settings (defaults for whatever cannot be read) into the
// dialog's check boxes, radio buttons and both lists.
void LoadDisplaySettings(HWND dialog);
// Stores what the dialog shows. Fails silently when the key can neither be
// opened for writing nor created.
void SaveDisplaySettings(HWND dialog);

#endif  // KESTROVA_CONFIG_DISPLAY_SETTINGS_H
