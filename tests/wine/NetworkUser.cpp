// NetworkUser.cpp - see NetworkUser.h.
#include "NetworkUser.h"

#include <gtest/gtest.h>

#include <cstring>

#include "DialogWindows.h"

namespace e2e {

const char kNetworkDialogCaption[] = "Kestrova Dad Azizov Network Settings";
const char kWarningCaption[] = "Warning!";
const char kIncompleteEntryText[] = "Please complete all fields before clicking 'OK'";

namespace {

const char kBarrierClass[] = "KestrovaE2eDialogThreadBarrier";
const UINT kBarrierMessage = WM_APP + 1;
const DWORD kSettleTimeoutMs = 5000;
const DWORD kShowTimeoutMs = 10000;
const DWORD kPollIntervalMs = 10;

const int kEnablingOrder[] = {kProxyHost, kProxyPort, kProxyAuth, kProxyUsername, kProxyPassword};

LRESULT CALLBACK BarrierProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kBarrierMessage) {
        SetEvent(reinterpret_cast<HANDLE>(lParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool IsClass(HWND window, const char* name)
{
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    return _stricmp(className, name) == 0;
}

struct OtherDialogSearch {
    HWND network;
    HWND settings;
    HWND found;
};

BOOL CALLBACK MatchOtherDialog(HWND window, LPARAM param)
{
    OtherDialogSearch& search = *reinterpret_cast<OtherDialogSearch*>(param);
    if (IsClass(window, "#32770") && window != search.network && window != search.settings) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// A dialog-class window of the thread other than the network and settings
// dialogs: a message box, whoever it was given as owner. Null if none, and
// always once the network dialog has ended.
HWND FindMessageBox(DWORD thread, HWND network, HWND settings)
{
    if (!IsWindow(network))
        return nullptr;
    OtherDialogSearch search = {network, settings, nullptr};
    EnumThreadWindows(thread, MatchOtherDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK CollectBoxControl(HWND child, LPARAM param)
{
    MessageBoxSeen& box = *reinterpret_cast<MessageBoxSeen*>(param);
    if (!IsWindowVisible(child))
        return TRUE;
    const std::string text = WindowText(child);
    if (IsClass(child, "Static") && !text.empty())
        box.texts.push_back(text);
    if (IsClass(child, "Button")) {
        box.buttons.push_back(text);
        box.buttonIds.push_back(GetDlgCtrlID(child));
    }
    return TRUE;
}

MessageBoxSeen ReadMessageBox(HWND window)
{
    MessageBoxSeen box;
    if (window == nullptr)
        return box;
    box.window = window;
    box.owner = GetWindow(window, GW_OWNER);
    box.caption = WindowText(window);
    EnumChildWindows(window, CollectBoxControl, reinterpret_cast<LPARAM>(&box));
    return box;
}

// Clicks the "&Network Settings" button and waits for the network dialog:
// the click is posted, since the button's handler runs the dialog's modal
// loop and would not return to a sender before the dialog ends.
HWND OpenNetworkDialog(DialogUser& settings, const DialogThreadBarrier& barrier)
{
    PostMessageA(settings.Item(kNetworkSettings), BM_CLICK, 0, 0);
    return sim::WaitForVisibleDialog(barrier.Thread(), kNetworkDialogCaption, kShowTimeoutMs, nullptr);
}

}  // namespace

DialogThreadBarrier::DialogThreadBarrier()
    : thread_(GetCurrentThreadId()), window_(nullptr), reached_(CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BarrierProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kBarrierClass;
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    window_ =
        CreateWindowA(kBarrierClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
}

DialogThreadBarrier::~DialogThreadBarrier()
{
    if (window_ != nullptr)
        DestroyWindow(window_);
    CloseHandle(reached_);
}

bool DialogThreadBarrier::Settle() const
{
    if (window_ == nullptr || !PostMessageA(window_, kBarrierMessage, 0, reinterpret_cast<LPARAM>(reached_)))
        return false;
    return WaitForSingleObject(reached_, kSettleTimeoutMs) == WAIT_OBJECT_0;
}

NetworkUser::NetworkUser(DialogUser& settings, const DialogThreadBarrier& barrier)
    : barrier_(barrier),
      settings_(settings.Dialog()),
      dialog_(OpenNetworkDialog(settings, barrier)),
      controls_(dialog_, settings.Engine())
{
}

NetworkUser::~NetworkUser()
{
    if (dialog_ == nullptr || !IsWindow(dialog_))
        return;
    if (MessageBoxNow().window != nullptr) {
        ADD_FAILURE() << "the script left a message box of the network dialog open; it is dismissed";
        DismissMessageBox();
    }
    ADD_FAILURE() << "the script left the network dialog open; it is closed with \"&Cancel\"";
    PostMessageA(dialog_, WM_COMMAND, kProxyCancel, 0);
    barrier_.Settle();
}

HWND NetworkUser::Owner() const { return GetWindow(dialog_, GW_OWNER); }

bool NetworkUser::IsOpen() const { return IsWindow(dialog_) && IsWindowVisible(dialog_); }

NetworkState NetworkUser::State() const
{
    NetworkState state;
    HWND list = controls_.Item(kProxyType);
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        state.types.push_back(ComboEntryText(list, static_cast<int>(i)));
    state.type = ComboEntryText(list, static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0)));
    state.host = WindowText(controls_.Item(kProxyHost));
    state.port = WindowText(controls_.Item(kProxyPort));
    state.username = WindowText(controls_.Item(kProxyUsername));
    state.password = WindowText(controls_.Item(kProxyPassword));
    state.authChecked = IsDlgButtonChecked(dialog_, kProxyAuth) == BST_CHECKED;
    for (int id : kEnablingOrder)
        state.enabled += IsWindowEnabled(controls_.Item(id)) ? '1' : '0';
    return state;
}

bool NetworkUser::PickType(const std::string& name) { return controls_.PickText(kProxyType, name); }

void NetworkUser::Type(int editId, const std::string& text)
{
    SendMessageA(controls_.Item(editId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void NetworkUser::ClickCheckBox() { controls_.Click(kProxyAuth); }

void NetworkUser::SetAuth(bool checked)
{
    if ((IsDlgButtonChecked(dialog_, kProxyAuth) == BST_CHECKED) != checked)
        ClickCheckBox();
}

bool NetworkUser::PressEnter()
{
    controls_.PressEnter();
    return barrier_.Settle();
}

bool NetworkUser::PressEsc()
{
    controls_.PressEsc();
    return barrier_.Settle();
}

bool NetworkUser::Press(int buttonId)
{
    PostMessageA(controls_.Item(buttonId), BM_CLICK, 0, 0);
    return barrier_.Settle();
}

MessageBoxSeen NetworkUser::MessageBoxNow() const
{
    return ReadMessageBox(FindMessageBox(barrier_.Thread(), dialog_, settings_));
}

MessageBoxSeen NetworkUser::WaitForMessageBox() const
{
    // Like every dialog, the box shows once its loop first finds no input.
    const DWORD start = GetTickCount();
    for (;;) {
        HWND box = FindMessageBox(barrier_.Thread(), dialog_, settings_);
        if (box != nullptr && IsWindowVisible(box))
            return ReadMessageBox(box);
        // A dialog that ended shows nothing any more.
        if (!IsWindow(dialog_) || GetTickCount() - start >= kShowTimeoutMs)
            return MessageBoxSeen();
        Sleep(kPollIntervalMs);
    }
}

bool NetworkUser::DismissMessageBox()
{
    HWND box = FindMessageBox(barrier_.Thread(), dialog_, settings_);
    if (box == nullptr)
        return false;
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    return barrier_.Settle() && !IsWindow(box);
}

}  // namespace e2e
