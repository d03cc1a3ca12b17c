// SettingsDialog.h - the procedure of the settings dialog (101).
#ifndef KESTROVA_CONFIG_SETTINGS_DIALOG_H
#define KESTROVA_CONFIG_SETTINGS_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif  // KESTROVA_CONFIG_SETTINGS_DIALOG_H
