// ComponentInfo.h - the "Advanced Information" group of the settings
// dialog: which versions of the player's browser components are installed,
// and the versioned libraries of its installation directory.
#ifndef KESTROVA_CONFIG_COMPONENT_INFO_H
#define KESTROVA_CONFIG_COMPONENT_INFO_H

#include "platform/Platform.h"

// Where a Netscape-family browser keeps its version and directories, and
// where the player's plug-in lies below them (all under HKEY_LOCAL_MACHINE).
struct PluginProbe {
    const char* versionKey;      // its value "CurrentVersion": the browser's version
    const char* mainKeyPrefix;   // + version + "\Main": the per-version key
    const char* directoryValue;  // value of the per-version key: a browser directory
    const char* pluginSuffix;    // appended to that directory: the plug-in's path
};

extern const PluginProbe kPluginProbes[4];
extern const char kControlServerKey[];  // the control's class registration, under HKEY_CLASSES_ROOT
extern const char kInstallKey[];        // "Software\Kestrova\DadAzizov"

// Fills statics 1008 and 1010 and the list view 1007, once, as the dialog
// opens; repairs "InstallPath" to end with a separator on the way.
void FillComponentInfo(plat::Window dialog);

#endif  // KESTROVA_CONFIG_COMPONENT_INFO_H
