// Session.cpp - see Session.h.
#include "Session.h"

#include <gtest/gtest.h>

#include <thread>

#include "DialogWindows.h"

namespace e2e {

namespace {

const DWORD kShowTimeoutMs = 10000;
const DWORD kCloseTimeoutMs = 5000;
const UINT kBarrierMessage = WM_APP + 7;
const int kCheckable[] = {1000, 1004, 1020, 1021, 1022};
const int kProxyControls[] = {1010, 1011, 1012, 1016, 1017};

// A window of the dialog's thread: a message posted to it is handled once
// everything posted before it has been, by whichever modal loop runs then.
HWND barrier = nullptr;
HANDLE barrierReached = nullptr;
HANDLE dialogEnded = nullptr;
HANDLE userDone = nullptr;
LONG posted = 0;
volatile LONG reached = 0;
DWORD dialogThread = 0;

LRESULT CALLBACK BarrierProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kBarrierMessage)
        return DefWindowProcA(window, message, wParam, lParam);
    InterlockedExchange(&reached, static_cast<LONG>(wParam));
    SetEvent(barrierReached);
    return 0;
}

void CreateBarrier()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BarrierProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KestrovaTestBarrier";
    RegisterClassA(&windowClass);
    barrier = CreateWindowA(windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    barrierReached = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    dialogEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    userDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    dialogThread = GetCurrentThreadId();
}

std::string WindowText(HWND window)
{
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool IsClass(HWND window, const char* name)
{
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

struct BoxSearch {
    HWND known[2];
    HWND found;
};

BOOL CALLBACK FindOtherDialog(HWND window, LPARAM param)
{
    BoxSearch& search = *reinterpret_cast<BoxSearch*>(param);
    if (!IsClass(window, "#32770") || window == search.known[0] || window == search.known[1])
        return TRUE;
    search.found = window;
    return FALSE;
}

HWND FindMessageBox(HWND settings, HWND network)
{
    BoxSearch search = {{settings, network}, nullptr};
    EnumThreadWindows(dialogThread, FindOtherDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK DescribeBoxItem(HWND child, LPARAM param)
{
    std::string& text = *reinterpret_cast<std::string*>(param);
    if (!IsWindowVisible(child))
        return TRUE;
    if (IsClass(child, "Button"))
        text += " | [" + WindowText(child) + "]";
    else if (IsClass(child, "Static") && SendMessageA(child, STM_GETICON, 0, 0) != 0)
        text += " | icon";
    else if (IsClass(child, "Static") && !WindowText(child).empty())
        text += " | " + WindowText(child);
    return TRUE;
}

}  // namespace

void User::Sync()
{
    const LONG sequence = ++posted;
    PostMessageA(barrier, kBarrierMessage, static_cast<WPARAM>(sequence), 0);
    HANDLE events[] = {barrierReached, dialogEnded};
    while (reached < sequence) {
        const DWORD woken = WaitForMultipleObjects(2, events, FALSE, kShowTimeoutMs);
        if (woken == WAIT_OBJECT_0 + 1)
            break;
        if (woken != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the dialog's thread did not come back to its message loop";
            break;
        }
    }
    if (!NetworkOpen())
        dialog_ = settings_;
}

void User::Click(int id)
{
    PostMessageA(Item(id), BM_CLICK, 0, 0);
    Sync();
}

void User::Pick(int comboId, const std::string& text)
{
    const LRESULT index = SendMessageA(Item(comboId), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text.c_str()));
    ASSERT_NE(index, CB_ERR) << "no entry \"" << text << "\" in " << comboId;
    PostMessageA(Item(comboId), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Notify(comboId, CBN_SELCHANGE);
}

void User::Notify(int comboId, int code)
{
    PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(comboId, code), reinterpret_cast<LPARAM>(Item(comboId)));
    Sync();
}

void User::Type(int id, const std::string& text) { SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }

void User::Press(WPARAM key)
{
    PostMessageA(dialog_, WM_KEYDOWN, key, 1);
    PostMessageA(dialog_, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
    Sync();
}

void User::OpenNetworkSettings()
{
    // Posted: the click's handler runs the nested dialog's modal loop.
    PostMessageA(Item(1009), BM_CLICK, 0, 0);
    network_ = sim::WaitForVisibleDialog(dialogThread, sim::kNetworkDialogCaption, kShowTimeoutMs, dialogEnded);
    ASSERT_NE(network_, nullptr) << "the network settings dialog did not appear";
    dialog_ = network_;
}

std::string User::MessageBox() const
{
    HWND box = FindMessageBox(settings_, network_);
    if (box == nullptr)
        return "";
    std::string text = WindowText(box);
    EnumChildWindows(box, DescribeBoxItem, reinterpret_cast<LPARAM>(&text));
    return text + " | owner " + WindowText(GetWindow(box, GW_OWNER));
}

void User::DismissMessageBox()
{
    PostMessageA(FindMessageBox(settings_, network_), WM_COMMAND, IDOK, 0);
    Sync();
}

std::string User::Text(int id) const { return WindowText(Item(id)); }

std::string User::Entries(int comboId) const
{
    HWND combo = Item(comboId);
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    const LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    std::string text;
    for (LRESULT i = 0; i < count; ++i) {
        std::string entry(static_cast<std::size_t>(SendMessageA(combo, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&entry[0]));
        entry.resize(entry.size() - 1);
        text += (i == 0 ? "" : ", ") + entry;
        if (comboId == 1001)  // the driver list carries the engine's driver index
            text += "=" + std::to_string(SendMessageA(combo, CB_GETITEMDATA, i, 0));
        if (i == selected)
            text += "*";
    }
    return text;
}

std::string User::Settings() const
{
    std::string checked;
    for (int id : kCheckable)
        if (IsDlgButtonChecked(settings_, id) == BST_CHECKED)
            checked += (checked.empty() ? "" : " ") + std::to_string(id);
    return "drivers: " + Entries(1001) + " | modes: " + Entries(1003) + " | checked: " + checked;
}

std::string User::Network() const
{
    std::string enabled;
    for (int id : kProxyControls)
        if (IsWindowEnabled(Item(id)))
            enabled += (enabled.empty() ? "" : " ") + std::to_string(id);
    const LRESULT type = SendMessageA(Item(1015), CB_GETCURSEL, 0, 0);
    std::string typeText(64, '\0');
    if (type == CB_ERR || SendMessageA(Item(1015), CB_GETLBTEXT, type, reinterpret_cast<LPARAM>(&typeText[0])) == CB_ERR)
        typeText = "(no type)";
    return typeText.c_str() + std::string(" | host: ") + Text(1010) + " | port: " + Text(1011) +
           " | auth: " + (IsDlgButtonChecked(dialog_, 1012) == BST_CHECKED ? "on" : "off") + " | user: " + Text(1016) +
           " | password: " + Text(1017) + " | enabled: " + enabled;
}

Session RunDoConfig(PlayerHost* host, const std::function<void(User&)>& script, HWND parent)
{
    if (barrier == nullptr)
        CreateBarrier();
    ResetEvent(dialogEnded);
    ResetEvent(userDone);
    Session session;
    std::thread player([&]() {
        struct Done {
            ~Done() { SetEvent(userDone); }
        } done;
        User user;
        user.settings_ = user.dialog_ =
            sim::WaitForVisibleDialog(dialogThread, sim::kSettingsDialogCaption, kShowTimeoutMs, dialogEnded);
        if (user.settings_ == nullptr)
            return;
        session.shown = true;
        script(user);
        // Whatever the script left open is closed from the inside out.
        for (int attempt = 0; attempt < 3 && WaitForSingleObject(dialogEnded, kCloseTimeoutMs) == WAIT_TIMEOUT;
             ++attempt) {
            session.leftOpen = true;
            PostMessageA(FindMessageBox(user.settings_, user.network_), WM_COMMAND, IDOK, 0);
            PostMessageA(user.network_, WM_COMMAND, 1019, 0);
            PostMessageA(user.settings_, WM_COMMAND, IDCANCEL, 0);
        }
    });
    const auto doConfig =
        reinterpret_cast<DoConfigFunction>(reinterpret_cast<void*>(GetProcAddress(ConfigModule(), "DoConfig")));
    session.returned = doConfig(host, parent);
    SetEvent(dialogEnded);
    // The user's thread may still ask this thread's windows for their texts.
    while (MsgWaitForMultipleObjects(1, &userDone, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    player.join();
    return session;
}

}  // namespace e2e
