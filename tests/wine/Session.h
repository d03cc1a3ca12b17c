// Session.h - the player calling DoConfig, and a user at its dialogs.
//
// DoConfig runs on the test's main thread inside the dialog's own modal
// loop, as in the player; the script plays the user on a second thread and
// acts only through messages, as input would arrive: a click is BM_CLICK,
// a pick in a list is the selection plus the CBN_SELCHANGE a real pick
// sends, keys are posted to the dialog for its loop to translate. Each
// action returns once the dialog's thread has handled it (or a message box
// it opened is up). What the user sees is read back from the controls.
#ifndef KESTROVA_TESTS_SESSION_H
#define KESTROVA_TESTS_SESSION_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Kestrova/PlayerEngine.h"

namespace e2e {

// Set up once by main(): Config.dll loaded from the player's directory
// (which ends with a backslash), and the player's window.
HMODULE ConfigModule();
HWND PlayerWindow();
const std::string& PlayerDirectory();

class User {
public:
    HWND Dialog() const { return dialog_; }  // the network dialog while it is open
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }

    void Click(int id);
    void Pick(int comboId, const std::string& text);  // false pick of a missing text fails the test
    void Notify(int comboId, int code);
    void Type(int id, const std::string& text);
    void Press(WPARAM key);  // VK_RETURN, VK_ESCAPE
    // Clicks "&Network Settings" and waits for the nested dialog, which is
    // then the one the user works in, until it closes.
    void OpenNetworkSettings();
    bool NetworkOpen() const { return IsWindow(network_) != FALSE; }
    bool Open() const { return IsWindow(settings_) != FALSE; }

    // "caption | text | [buttons] | owner's caption", "" when no box is up.
    std::string MessageBox() const;
    void DismissMessageBox();

    // What the settings dialog shows, e.g. "drivers: HW One=0*, HW Two=1 |
    // modes: 640x480*, 800x600 | checked: 1000 1022" (* marks the selection).
    std::string Settings() const;
    // What the network dialog shows, e.g. "HTTP | host: h | port: 8080 |
    // auth: on | user: u | password: p | enabled: 1010 1011 1012".
    std::string Network() const;
    std::string Text(int id) const;
    std::string Entries(int comboId) const;

private:
    friend struct Session RunDoConfig(PlayerHost*, const std::function<void(User&)>&, HWND);
    void Sync();
    HWND settings_ = nullptr;
    HWND dialog_ = nullptr;
    HWND network_ = nullptr;
};

struct Session {
    INT_PTR returned = 0;
    bool shown = false;     // the settings dialog appeared
    bool leftOpen = false;  // the script ended with a dialog still open
};

// DoConfig(host, parent) while script plays the user. A dialog the script
// leaves open is closed after a few seconds (and the test fails), so no
// test can hang the run.
Session RunDoConfig(PlayerHost* host, const std::function<void(User&)>& script, HWND parent = PlayerWindow());

}  // namespace e2e

#endif  // KESTROVA_TESTS_SESSION_H
