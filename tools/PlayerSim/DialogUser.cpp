// DialogUser.cpp - see DialogUser.h.
#include "DialogUser.h"

#include <thread>

#include "DialogWindows.h"

namespace sim {

namespace {

const DWORD kShowTimeoutMs = 10000;
const DWORD kCloseTimeoutMs = 5000;
const UINT kBarrierMessage = WM_APP + 7;
const UINT kCallMessage = WM_APP + 8;
const char kBarrierClass[] = "KestrovaDialogUserBarrier";

}  // namespace

// A window of the dialog's thread: a message posted to it is handled once
// everything posted before it has been, by whichever modal loop runs then.
// One for each DoConfig call, so that players on several threads each have
// their own.
struct User::Stage {
    DWORD dialogThread = GetCurrentThreadId();
    HWND barrier = nullptr;
    HANDLE barrierReached = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE dialogEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE userDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    LONG posted = 0;
    volatile LONG reached = 0;
    std::function<void()> call;  // what the player does next on its thread

    Stage();
    ~Stage();
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;
};

namespace {

LRESULT CALLBACK BarrierProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* stage = reinterpret_cast<User::Stage*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == kCallMessage && stage != nullptr) {
        const std::function<void()> call = std::move(stage->call);
        call();
        return 0;
    }
    if (message != kBarrierMessage || stage == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    InterlockedExchange(&stage->reached, static_cast<LONG>(wParam));
    SetEvent(stage->barrierReached);
    return 0;
}

struct DialogSearch {
    HWND known[2];
    HWND found;
};

BOOL CALLBACK MatchOtherDialog(HWND window, LPARAM param)
{
    DialogSearch& search = *reinterpret_cast<DialogSearch*>(param);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0 || window == search.known[0] || window == search.known[1])
        return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

User::Stage::Stage()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BarrierProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kBarrierClass;
    RegisterClassA(&windowClass);  // fails harmlessly once registered
    barrier = CreateWindowA(kBarrierClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(barrier, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

User::Stage::~Stage()
{
    DestroyWindow(barrier);
    CloseHandle(barrierReached), CloseHandle(dialogEnded), CloseHandle(userDone);
}

HWND FindOtherDialog(DWORD thread, HWND known, HWND alsoKnown)
{
    DialogSearch search = {{known, alsoKnown}, nullptr};
    EnumThreadWindows(thread, MatchOtherDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void User::Sync()
{
    const LONG sequence = ++stage_->posted;
    PostMessageA(stage_->barrier, kBarrierMessage, static_cast<WPARAM>(sequence), 0);
    HANDLE events[] = {stage_->barrierReached, stage_->dialogEnded};
    while (stage_->reached < sequence) {
        const DWORD woken = WaitForMultipleObjects(2, events, FALSE, kShowTimeoutMs);
        if (woken == WAIT_OBJECT_0 + 1)
            break;
        if (woken != WAIT_OBJECT_0) {
            problems.push_back("the dialog's thread did not come back to its message loop");
            break;
        }
    }
    if (!NetworkOpen())
        dialog_ = settings_;
}

void User::OnPlayerThread(const std::function<void()>& call)
{
    stage_->call = call;
    PostMessageA(stage_->barrier, kCallMessage, 0, 0);
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
    if (index == CB_ERR) {
        problems.push_back("no entry \"" + text + "\" to pick in " + std::to_string(comboId));
        return;
    }
    PostMessageA(Item(comboId), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Notify(comboId, CBN_SELCHANGE);
}

void User::Notify(int comboId, int code)
{
    PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(comboId, code), reinterpret_cast<LPARAM>(Item(comboId)));
    Sync();
}

void User::Type(int id, const std::string& text)
{
    SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

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
    network_ = WaitForVisibleDialog(stage_->dialogThread, kNetworkDialogCaption, kShowTimeoutMs, stage_->dialogEnded);
    if (network_ == nullptr)
        problems.push_back("the network settings dialog did not appear");
    else
        dialog_ = network_;
}

Session RunDoConfig(DoConfigFunction doConfig, PlayerHost* host, HWND parent, const std::function<void(User&)>& script)
{
    User::Stage stage;
    Session session;
    std::thread player([&]() {
        User user;
        user.stage_ = &stage;
        user.settings_ = user.dialog_ =
            WaitForVisibleDialog(stage.dialogThread, kSettingsDialogCaption, kShowTimeoutMs, stage.dialogEnded);
        if (user.settings_ != nullptr) {
            session.shown = true;
            script(user);
            // Whatever the script left open is closed from the inside out.
            for (int attempt = 0;
                 attempt < 3 && WaitForSingleObject(stage.dialogEnded, kCloseTimeoutMs) == WAIT_TIMEOUT; ++attempt) {
                session.leftOpen = true;
                PostMessageA(FindOtherDialog(stage.dialogThread, user.settings_, user.network_), WM_COMMAND, IDOK, 0);
                PostMessageA(user.network_, WM_COMMAND, 1019, 0);
                PostMessageA(user.settings_, WM_COMMAND, IDCANCEL, 0);
            }
        }
        session.problems = user.problems;
        SetEvent(stage.userDone);
    });
    session.returned = doConfig(host, parent);
    SetEvent(stage.dialogEnded);
    // The user's thread may still ask this thread's windows for their texts.
    while (MsgWaitForMultipleObjects(1, &stage.userDone, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    player.join();
    return session;
}

}  // namespace sim
