// DialogView.h - what a user sees of the module's dialogs, as one line of
// text each: what the demo prints of the dialogs it photographed, and what
// the end-to-end tests compare with what they expect.
#ifndef KESTROVA_PLAYERSIM_DIALOG_VIEW_H
#define KESTROVA_PLAYERSIM_DIALOG_VIEW_H

#include <windows.h>

#include <string>

#include "DialogUser.h"

namespace sim {

std::string WindowText(HWND window);
// A control's text; a combo box's entries, "a, b*, c" (* marks the
// selection), the driver list's with their driver index, "HW One=0*".
std::string Shown(const User& user, int id);
std::string Entries(const User& user, int comboId);
// The settings dialog: "drivers: HW One=0*, HW Two=1 | modes: 640x480*,
// 800x600 | checked: 1000 1022" (the checked boxes and buttons).
std::string Settings(const User& user);
// The network dialog: "HTTP | host: h | port: 8080 | auth: on | user: u |
// password: p | enabled: 1010 1011 1012".
std::string Network(const User& user);
// The installed components: "File 220 | Version 70 | a.dll 1.2.3.4 | ...",
// the column headings with their widths, then the rows.
std::string ComponentsList(HWND list);
// The message box that is up, "caption | [buttons] | text | owner owner's
// caption", closed then as its "OK" closes it; "" when none is up.
std::string MessageBoxText(User& user);

}  // namespace sim

#endif  // KESTROVA_PLAYERSIM_DIALOG_VIEW_H
