// Views.h - what the user sees, as one line of text a table row can expect,
// and the test program's player: Config.dll loaded from the player's
// directory (set up once by main()) and its window.
#ifndef KESTROVA_TESTS_VIEWS_H
#define KESTROVA_TESTS_VIEWS_H

#include <string>

#include "DialogUser.h"

namespace e2e {

using sim::Session;
using sim::User;

HMODULE ConfigModule();
HWND PlayerWindow();
const std::string& PlayerDirectory();  // ends with a backslash

// DoConfig of the loaded module over parent while script plays the user.
Session RunDoConfig(PlayerHost* host, const std::function<void(User&)>& script, HWND parent = PlayerWindow());

// "drivers: HW One=0*, HW Two=1 | modes: 640x480*, 800x600 | checked: 1000
// 1022" (* marks the selection, checked lists the checked boxes and buttons).
std::string Settings(const User& user);
// "HTTP | host: h | port: 8080 | auth: on | user: u | password: p |
// enabled: 1010 1011 1012".
std::string Network(const User& user);
// "caption | [buttons] | text | owner's caption"; "" when no box is up.
std::string MessageBox(const User& user);
void DismissMessageBox(User& user);

}  // namespace e2e

#endif  // KESTROVA_TESTS_VIEWS_H
