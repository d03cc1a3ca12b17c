// ScreenshotTour.cpp - see ScreenshotTour.h.
#include "ScreenshotTour.h"

#include "DialogWindows.h"
#include "ScreenCapture.h"

namespace sim {

namespace {

const DWORD kDialogTimeoutMs = 15000;
// Time for the dialog, or a dropped list, to paint itself before the shot.
const DWORD kPaintDelayMs = 700;
const int kDriverListId = 1001;
const int kResolutionListId = 1003;
const int kNetworkSettingsId = 1009;
const int kProxyCancelId = 1019;

RECT Union(const RECT& a, const RECT& b)
{
    RECT both;
    UnionRect(&both, &a, &b);
    return both;
}

}  // namespace

ScreenshotTour::ScreenshotTour(const std::string& directory, DWORD dialogThread)
    : directory_(directory),
      dialogThread_(dialogThread),
      dialogEnded_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      thread_(nullptr)
{
}

ScreenshotTour::~ScreenshotTour()
{
    Finish();
    CloseHandle(dialogEnded_);
}

void ScreenshotTour::Start() { thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr); }

void ScreenshotTour::Finish()
{
    if (thread_ == nullptr)
        return;
    SetEvent(dialogEnded_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
}

DWORD WINAPI ScreenshotTour::ThreadMain(LPVOID self)
{
    static_cast<ScreenshotTour*>(self)->Run();
    return 0;
}

void ScreenshotTour::Run()
{
    HWND dialog = WaitForVisibleDialog(dialogThread_, kSettingsDialogCaption, kDialogTimeoutMs, dialogEnded_);
    if (dialog == nullptr) {
        problem_ = "the settings dialog did not appear";
        return;
    }
    Sleep(kPaintDelayMs);
    RECT dialogRect;
    GetWindowRect(dialog, &dialogRect);
    Shoot(dialogRect, "settings-dialog.bmp");
    ShootDroppedList(dialog, kDriverListId, "driver-list.bmp");
    ShootDroppedList(dialog, kResolutionListId, "resolution-list.bmp");
    ShootNetworkDialog(dialog);

    // Esc: the dialog's own message loop turns the key into IDCANCEL.
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(dialog, WM_KEYUP, VK_ESCAPE, 0);
}

void ScreenshotTour::ShootDroppedList(HWND dialog, int comboId, const char* name)
{
    HWND combo = GetDlgItem(dialog, comboId);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    Sleep(kPaintDelayMs);
    RECT dialogRect;
    RECT droppedRect;
    GetWindowRect(dialog, &dialogRect);
    SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&droppedRect));
    Shoot(Union(dialogRect, droppedRect), name);
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

void ScreenshotTour::ShootNetworkDialog(HWND settingsDialog)
{
    // The network dialog runs modally inside the click: the click is
    // posted, so this thread is free to photograph it meanwhile.
    PostMessageA(GetDlgItem(settingsDialog, kNetworkSettingsId), BM_CLICK, 0, 0);
    HWND network = WaitForVisibleDialog(dialogThread_, kNetworkDialogCaption, kDialogTimeoutMs, dialogEnded_);
    if (network == nullptr) {
        if (problem_.empty())
            problem_ = "the network settings dialog did not appear";
        return;
    }
    Sleep(kPaintDelayMs);
    RECT networkRect;
    GetWindowRect(network, &networkRect);
    Shoot(networkRect, "network-settings.bmp");
    // "&Cancel" stores nothing; the settings dialog must be back in charge
    // before Esc is pressed there.
    PostMessageA(GetDlgItem(network, kProxyCancelId), BM_CLICK, 0, 0);
    if (!WaitForDialogGone(dialogThread_, kNetworkDialogCaption, kDialogTimeoutMs) && problem_.empty())
        problem_ = "the network settings dialog did not close with Cancel";
}

void ScreenshotTour::Shoot(const RECT& area, const char* name)
{
    const std::string path = directory_ + "\\" + name;
    if (CaptureScreenRect(area, path))
        saved_.push_back(path);
    else if (problem_.empty())
        problem_ = "could not save " + path;
}

}  // namespace sim
