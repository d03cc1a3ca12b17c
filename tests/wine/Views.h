// Views.h - what a scenario sees, as one line of text a table row can
// expect: the dialogs, the files, the registry (through the simulated
// player's RegistryText); and the test program's player: Config.dll loaded
// from the player's directory (set up once by main()) and its window.
#ifndef KESTROVA_TESTS_VIEWS_H
#define KESTROVA_TESTS_VIEWS_H

#include <string>

#include "DialogUser.h"
#include "RegistryText.h"

namespace e2e {

using sim::Session;
using sim::User;
using sim::DeleteKey;
using sim::Dword;
using sim::KeyText;
using sim::Store;
using sim::Stored;
using sim::Text;
using sim::ValueText;

// Files, by Windows path.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);  // "(no file)" when missing
// Everything below a directory, relative and sorted, folders with a
// trailing backslash: "a.txt, sub\, sub\b.txt"; "(no folder)" when missing,
// "(a file)" when it is a file.
std::string Tree(const std::string& directory);
void RemoveTree(const std::string& directory);

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
