// ScreenshotTour.cpp - see ScreenshotTour.h.
#include "ScreenshotTour.h"

#include "DialogView.h"
#include "ScreenCapture.h"

namespace sim {

namespace {

// Time for a dialog, or a dropped list, to paint itself before the shot.
const DWORD kPaintDelayMs = 700;

}  // namespace

void ScreenshotTour::operator()(User& user)
{
    seen.push_back("Settings dialog: " + Settings(user));
    seen.push_back("Advanced Information: control " + Shown(user, 1008) + ", plug-in " + Shown(user, 1010) + "; " +
                   ComponentsList(user.Item(1007)));
    Shoot(user.Dialog(), "settings-dialog.bmp");
    ShootDroppedList(user, 1001, "driver-list.bmp");
    ShootDroppedList(user, 1003, "resolution-list.bmp");
    user.OpenNetworkSettings();
    if (user.NetworkOpen()) {
        Shoot(user.Dialog(), "network-settings.bmp");
        seen.push_back("Network Settings dialog: " + Network(user));
        // Filled in as a user would, showing the boxes an HTTP proxy with
        // authentication enables and the masked password.
        user.Pick(1015, "HTTP");
        if (IsDlgButtonChecked(user.Dialog(), 1012) != BST_CHECKED)
            user.Click(1012);
        user.Type(1010, "proxy.example"), user.Type(1011, "8080"), user.Type(1016, "me"), user.Type(1017, "secret");
        Shoot(user.Dialog(), "network-settings-filled.bmp");
        // Without a port, "&Ok" warns and keeps the dialog open.
        user.Type(1011, "");
        user.Click(1018);
        HWND warning = FindOtherDialog(GetWindowThreadProcessId(user.SettingsDialog(), nullptr), user.SettingsDialog(),
                                       user.NetworkDialog());
        if (warning != nullptr)
            Shoot(warning, "incomplete-entry-warning.bmp");
        seen.push_back("Message box: " + MessageBoxText(user));
        user.Click(1019);  // "&Cancel" stores none of it
    }
    user.Press(VK_ESCAPE);
    problems.insert(problems.end(), user.problems.begin(), user.problems.end());
}

void ScreenshotTour::ShootDroppedList(User& user, int comboId, const char* name)
{
    HWND combo = user.Item(comboId);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    RECT dropped;
    SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    Shoot(user.Dialog(), name, &dropped);
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

void ScreenshotTour::Shoot(HWND window, const char* name, const RECT* dropped)
{
    Sleep(kPaintDelayMs);
    RECT area;
    GetWindowRect(window, &area);
    if (dropped != nullptr)
        UnionRect(&area, &area, dropped);
    const std::string path = directory + "\\" + name;
    if (CaptureScreenRect(area, path))
        saved.push_back(path);
    else
        problems.push_back("could not save " + path);
}

}  // namespace sim
