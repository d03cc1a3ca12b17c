// ConfigModule.h - the module-wide values and the entry point.
#ifndef KESTROVA_CONFIG_MODULE_H
#define KESTROVA_CONFIG_MODULE_H

#include "Kestrova/PlayerEngine.h"
#include "platform/Platform.h"

#ifdef _WIN32
#define CONFIG_EXPORT __declspec(dllexport)
#define CONFIG_CDECL __cdecl
#else
#define CONFIG_EXPORT
#define CONFIG_CDECL
#endif

// The module's own handle, recorded at process attach: dialog templates are
// loaded from it and the module's directory is found through it.
extern plat::Module ModuleInstance;

// The running player of the latest DoConfig call. Replaced at every call and
// never cleared; the module does not own it.
extern PlayerHost* CurrentPlayerHost;

// Shows the settings dialog modally over parent. 1 whichever way the user
// closed it; the platform's failure value when the dialog cannot be created.
extern "C" CONFIG_EXPORT int CONFIG_CDECL DoConfig(PlayerHost* host, plat::Window parent);

#endif  // KESTROVA_CONFIG_MODULE_H
