// RenderLists.h - the render driver list (1001) and the resolution list
// (1003) of the settings dialog, taken from the running player's engine.
#ifndef KESTROVA_CONFIG_RENDER_LISTS_H
#define KESTROVA_CONFIG_RENDER_LISTS_H

#include "platform/Platform.h"

// The "ForceRenderMode" value: which drivers the player may use.
enum RenderMode {
    RenderModePageDecides = 0,
    RenderModeHardwareOnly = 1,
    RenderModeSoftwareOnly = 2
};

void FillDriverList(plat::Window dialog, int mode);
void SelectDriverByIndex(plat::Window dialog, int driver);
void SelectCurrentDriver(plat::Window dialog);
void FillResolutionList(plat::Window dialog);
void ReadSelectedResolution(plat::Window dialog, int& width, int& height);
void SelectResolution(plat::Window dialog, int width, int height);
void OnDriverChanged(plat::Window dialog);
void OnRenderModeChanged(plat::Window dialog);

// The mode the radio buttons 1020-1022 show: software if 1020 is checked,
// else hardware if 1021 is, else the page decides.
int CheckedRenderMode(plat::Window dialog);

#endif  // KESTROVA_CONFIG_RENDER_LISTS_H
