// ClickWatch.h - clicking a button of the dialog while a third thread
// watches what a person would see during the click: whether the button
// greys out, and whether a window with a given title appears (the shell's
// progress window). The click itself is synchronous, so when it returns the
// dialog has handled it completely.
#ifndef KESTROVA_TESTS_CLICK_WATCH_H
#define KESTROVA_TESTS_CLICK_WATCH_H

#include <windows.h>

#include "DialogUser.h"

namespace e2e {

struct ClickObservation {
    bool sawDisabled = false;        // the button was seen disabled during the click
    bool sawTitledWindow = false;    // a top-level window with the title was seen
    bool enabledAfter = false;       // the button is enabled once the click returned
    unsigned samples = 0;            // how often the watcher looked
};

ClickObservation ClickWhileWatching(DialogUser& user, int buttonId, const wchar_t* windowTitle);

}  // namespace e2e

#endif  // KESTROVA_TESTS_CLICK_WATCH_H
