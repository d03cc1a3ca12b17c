// ScreenshotTour.h - for the demo without a person at the screen: a user who
// photographs the settings dialog as opened, with the driver list and the
// resolution list dropped down, and the network settings dialog it opens
// with "&Network Settings", as opened and filled in with an HTTP proxy, and
// the warning its "&Ok" gives without a port (closed again with "&Cancel"),
// then closes the settings dialog with Esc the way a user would (nothing is
// saved).
#ifndef KESTROVA_PLAYERSIM_SCREENSHOT_TOUR_H
#define KESTROVA_PLAYERSIM_SCREENSHOT_TOUR_H

#include <string>
#include <vector>

#include "DialogUser.h"

namespace sim {

struct ScreenshotTour {
    std::string directory;            // where the BMP files go (Windows path)
    std::vector<std::string> saved;   // their paths
    std::vector<std::string> seen;    // what each dialog showed as opened
    std::vector<std::string> problems;

    void operator()(User& user);      // the script for RunDoConfig

private:
    void Shoot(HWND window, const char* name, const RECT* dropped = nullptr);
    void ShootDroppedList(User& user, int comboId, const char* name);
};

}  // namespace sim

#endif  // KESTROVA_PLAYERSIM_SCREENSHOT_TOUR_H
