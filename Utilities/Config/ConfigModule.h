// ConfigModule.h - the module-wide values, set by the entry points.
#ifndef KESTROVA_CONFIG_MODULE_H
#define KESTROVA_CONFIG_MODULE_H

#include <windows.h>

#include "Kestrova/PlayerEngine.h"

// The module's own handle, recorded at process attach: dialog templates are
// loaded from it and the module's directory is found through it.
extern HINSTANCE ModuleInstance;

// The running player of the latest DoConfig call. Replaced at every call and
// never cleared; the module does not own it.
extern PlayerHost* CurrentPlayerHost;

#endif  // KESTROVA_CONFIG_MODULE_H
