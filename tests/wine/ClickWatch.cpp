// ClickWatch.cpp - see ClickWatch.h.
#include "ClickWatch.h"

#include <atomic>
#include <cwchar>
#include <thread>

namespace e2e {

namespace {

struct TitleSearch {
    const wchar_t* title;
    bool found;
};

// InternalGetWindowText reads the title without sending WM_GETTEXT, which
// the busy dialog thread could not answer until the click is over.
BOOL CALLBACK MatchTitle(HWND window, LPARAM param)
{
    TitleSearch& search = *reinterpret_cast<TitleSearch*>(param);
    wchar_t title[256] = L"";
    InternalGetWindowText(window, title, 256);
    if (std::wcscmp(title, search.title) == 0) {
        search.found = true;
        return FALSE;
    }
    return TRUE;
}

bool TitledWindowExists(const wchar_t* title)
{
    TitleSearch search = {title, false};
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

ClickObservation ClickWhileWatching(DialogUser& user, int buttonId, const wchar_t* windowTitle)
{
    ClickObservation seen;
    HWND button = user.Item(buttonId);
    std::atomic<bool> clickDone(false);

    std::thread watcher([&]() {
        // The last look comes after the click returned: what the click
        // left behind is seen too.
        for (bool last = false; !last;) {
            last = clickDone.load();
            if (!IsWindowEnabled(button))
                seen.sawDisabled = true;
            if (TitledWindowExists(windowTitle))
                seen.sawTitledWindow = true;
            ++seen.samples;
            Sleep(1);
        }
    });
    // Lets the watcher take its first look before the click starts.
    Sleep(20);
    user.Click(buttonId);
    clickDone = true;
    watcher.join();

    seen.enabledAfter = IsWindowEnabled(button) != FALSE;
    return seen;
}

}  // namespace e2e
