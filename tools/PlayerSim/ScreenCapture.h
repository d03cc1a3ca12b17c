// ScreenCapture.h - saving a rectangle of the screen as a BMP file, so the
// demo can show the settings dialog without a person watching.
#ifndef KESTROVA_PLAYERSIM_SCREEN_CAPTURE_H
#define KESTROVA_PLAYERSIM_SCREEN_CAPTURE_H

#include <windows.h>

#include <string>

namespace sim {

// Writes a 24-bit BMP of rect (screen coordinates); false on any failure.
bool CaptureScreenRect(const RECT& rect, const std::string& path);

}  // namespace sim

#endif  // KESTROVA_PLAYERSIM_SCREEN_CAPTURE_H
