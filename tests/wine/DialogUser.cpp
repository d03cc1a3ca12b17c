// DialogUser.cpp - see DialogUser.h.
#include "DialogUser.h"

#include <thread>

#include "DialogWindows.h"
#include "E2eEnvironment.h"

namespace e2e {

namespace {

const int kCheckable[] = {kAutoUpdate, kColor32, kForceSoftware, kForceHardware, kPageDecides};

const DWORD kShowTimeoutMs = 10000;
const DWORD kCloseTimeoutMs = 5000;

std::string EntryText(HWND combo, WPARAM index)
{
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
    if (length < 0)
        return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string SelectedText(const std::vector<std::string>& entries, int selection)
{
    if (selection < 0 || selection >= static_cast<int>(entries.size()))
        return std::string();
    return entries[static_cast<std::size_t>(selection)];
}

}  // namespace

std::string ComboEntryText(HWND combo, int index) { return EntryText(combo, static_cast<WPARAM>(index)); }

std::string DialogState::SelectedDriver() const { return SelectedText(drivers, driverSelection); }
std::string DialogState::SelectedResolution() const { return SelectedText(resolutions, resolutionSelection); }

DialogUser::DialogUser(HWND dialog, sim::SimEngine& engine) : dialog_(dialog), engine_(engine) {}

HWND DialogUser::Item(int id) const { return GetDlgItem(dialog_, id); }

void DialogUser::Pick(int comboId, int index)
{
    // CB_SETCURSEL is silent; a user's pick also tells the dialog.
    SetSelection(comboId, index);
    Notify(comboId, CBN_SELCHANGE);
}

void DialogUser::SetSelection(int comboId, int index)
{
    SendMessageA(Item(comboId), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool DialogUser::PickText(int comboId, const std::string& text)
{
    HWND combo = Item(comboId);
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (EntryText(combo, static_cast<WPARAM>(i)) == text) {
            Pick(comboId, static_cast<int>(i));
            return true;
        }
    }
    return false;
}

void DialogUser::Notify(int comboId, int code)
{
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(comboId, code), reinterpret_cast<LPARAM>(Item(comboId)));
}

void DialogUser::Click(int buttonId) { SendMessageA(Item(buttonId), BM_CLICK, 0, 0); }

void DialogUser::PressEnter() { PressKey(VK_RETURN); }
void DialogUser::PressEsc() { PressKey(VK_ESCAPE); }

void DialogUser::PressKey(WPARAM key)
{
    PostMessageA(dialog_, WM_KEYDOWN, key, 1);
    PostMessageA(dialog_, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
}

void DialogUser::Mark(const std::string& text) { engine_.Mark(text); }

DialogState DialogUser::State() const
{
    DialogState state;
    HWND drivers = Item(kDriverList);
    const LRESULT driverCount = SendMessageA(drivers, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < driverCount; ++i) {
        state.drivers.push_back(EntryText(drivers, static_cast<WPARAM>(i)));
        state.driverData.push_back(static_cast<std::intptr_t>(SendMessageA(drivers, CB_GETITEMDATA, i, 0)));
    }
    state.driverSelection = static_cast<int>(SendMessageA(drivers, CB_GETCURSEL, 0, 0));

    HWND resolutions = Item(kResolutionList);
    const LRESULT resolutionCount = SendMessageA(resolutions, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < resolutionCount; ++i)
        state.resolutions.push_back(EntryText(resolutions, static_cast<WPARAM>(i)));
    state.resolutionSelection = static_cast<int>(SendMessageA(resolutions, CB_GETCURSEL, 0, 0));

    for (int id : kCheckable) {
        if (IsDlgButtonChecked(dialog_, id) == BST_CHECKED)
            state.checked.push_back(id);
    }
    return state;
}

DialogRun RunSettingsDialog(sim::SimEngine& engine, const DialogScript& script)
{
    DialogRun run;
    HANDLE ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const DWORD dialogThread = GetCurrentThreadId();

    std::thread user([&]() {
        HWND dialog = sim::WaitForVisibleDialog(dialogThread, sim::kSettingsDialogCaption, kShowTimeoutMs, ended);
        if (dialog == nullptr)
            return;
        run.shown = true;
        DialogUser person(dialog, engine);
        script(person);
        if (WaitForSingleObject(ended, kCloseTimeoutMs) == WAIT_TIMEOUT) {
            run.endedByWatchdog = true;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    run.returned = e2e::DoConfig()(engine.Host(), e2e::PlayerWindow());
    SetEvent(ended);
    user.join();
    CloseHandle(ended);
    return run;
}

}  // namespace e2e
