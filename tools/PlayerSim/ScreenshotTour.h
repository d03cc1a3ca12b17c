// ScreenshotTour.h - for the demo without a person at the screen: while
// the settings dialog is open, a helper thread photographs it as opened,
// with the driver list and the resolution list dropped down, and the
// network settings dialog it opens with "&Network Settings" (closed again
// with "&Cancel"), then closes it with Esc the way a user would (nothing is
// saved).
#ifndef KESTROVA_PLAYERSIM_SCREENSHOT_TOUR_H
#define KESTROVA_PLAYERSIM_SCREENSHOT_TOUR_H

#include <windows.h>

#include <string>
#include <vector>

namespace sim {

class ScreenshotTour {
public:
    // directory: where the BMP files go (Windows path). dialogThread: the
    // thread that calls DoConfig.
    ScreenshotTour(const std::string& directory, DWORD dialogThread);
    ~ScreenshotTour();
    ScreenshotTour(const ScreenshotTour&) = delete;
    ScreenshotTour& operator=(const ScreenshotTour&) = delete;

    void Start();
    // Call once DoConfig has returned: stops waiting and joins the thread.
    void Finish();

    const std::vector<std::string>& Saved() const { return saved_; }
    const std::string& Problem() const { return problem_; }

private:
    static DWORD WINAPI ThreadMain(LPVOID self);
    void Run();
    void Shoot(const RECT& area, const char* name);
    void ShootDroppedList(HWND dialog, int comboId, const char* name);
    void ShootNetworkDialog(HWND settingsDialog);

    std::string directory_;
    DWORD dialogThread_;
    HANDLE dialogEnded_;
    HANDLE thread_;
    std::vector<std::string> saved_;
    std::string problem_;
};

}  // namespace sim

#endif  // KESTROVA_PLAYERSIM_SCREENSHOT_TOUR_H
