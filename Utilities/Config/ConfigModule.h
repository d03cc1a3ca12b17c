// ConfigModule.h - the module-wide values, set by the entry points.
#ifndef KESTROVA_CONFIG_MODULE_H
#define KESTROVA_CONFIG_MODULE_H

#include <windows.h>

#include "Kestrova/PlayerEngine.h"

// The module's own handle, recorded at process attach: dialog templates are
// loaded from it and the module's directory is found through it.
extern HINSTANCE ModuleInstance;

// The running player of the latest DoConfig call. Replaced at every call and
// never cleared; the module does not own it. Each settings dialog serves
// the player of its own DoConfig instead (SettingsDialogHost).
extern PlayerHost* CurrentPlayerHost;

// The player a settings dialog serves: the host given to the DoConfig that
// opened it, kept in the dialog (DWLP_USER) as it opens.
PlayerHost* SettingsDialogHost(HWND dialog);

#endif  // KESTROVA_CONFIG_MODULE_H
