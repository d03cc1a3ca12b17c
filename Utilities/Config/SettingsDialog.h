// SettingsDialog.h - the procedure of the settings dialog (101).
#ifndef KESTROVA_CONFIG_SETTINGS_DIALOG_H
#define KESTROVA_CONFIG_SETTINGS_DIALOG_H

#include <cstdint>

#include "platform/Platform.h"

std::intptr_t CONFIG_CALLBACK SettingsDlgProc(plat::Window dialog, unsigned int message,
                                               plat::WParam wParam, plat::LParam lParam);

#endif  // KESTROVA_CONFIG_SETTINGS_DIALOG_H
