// RenderLists.h - the render driver list (1001) and the resolution list
// (1003) of the settings dialog, taken from the running player's engine.
#ifndef KESTROVA_CONFIG_RENDER_LISTS_H
#define KESTROVA_CONFIG_RENDER_LISTS_H

#include <windows.h>

// The "ForceRenderMode" value: which drivers the player may use.
enum RenderMode {
    RenderModePageDecides = 0,
    RenderModeHardwareOnly = 1,
    RenderModeSoftwareOnly = 2
};

void FillDriverList(HWND dialog, int mode);
void SelectDriverByIndex(HWND dialog, int driver);
void SelectCurrentDriver(HWND dialog);
void FillResolutionList(HWND dialog);
void ReadSelectedResolution(HWND dialog, int& width, int& height);
void SelectResolution(HWND dialog, int width, int height);
void OnDriverChanged(HWND dialog);
void OnRenderModeChanged(HWND dialog);

// The mode the radio buttons 1020-1022 show: software if 1020 is checked,
// else hardware if 1021 is, else the page decides.
int CheckedRenderMode(HWND dialog);

#endif  // KESTROVA_CONFIG_RENDER_LISTS_H
