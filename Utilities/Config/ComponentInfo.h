// ComponentInfo.h - the "Advanced Information" group of the settings
// dialog: which versions of the player's browser components are installed,
// and the versioned libraries of its installation directory.
#ifndef KESTROVA_CONFIG_COMPONENT_INFO_H
#define KESTROVA_CONFIG_COMPONENT_INFO_H

#include <windows.h>

// Fills statics 1008 and 1010 and the list view 1007, once, as the dialog
// opens; repairs "InstallPath" to end with a separator on the way.
void FillComponentInfo(HWND dialog);

#endif  // KESTROVA_CONFIG_COMPONENT_INFO_H
