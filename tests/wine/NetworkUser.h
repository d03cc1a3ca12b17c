// NetworkUser.h - a user at the network settings dialog (102), which the
// settings dialog opens over itself with "&Network Settings".
//
// The network dialog runs its own modal loop on the thread of DoConfig,
// inside the settings dialog's handler of that button; its "&Ok" may in
// turn run a message box's loop. A script on another thread therefore
// posts every click that can start such a loop (a sent one would not come
// back until that loop ends), and waits on a DialogThreadBarrier to know
// the click was handled. Everything else is sent, as in DialogUser.
#ifndef KESTROVA_TESTS_NETWORK_USER_H
#define KESTROVA_TESTS_NETWORK_USER_H

#include <windows.h>

#include <string>
#include <vector>

#include "DialogUser.h"

namespace e2e {

// The controls of the network settings dialog.
enum NetworkControl {
    kProxyHost = 1010,
    kProxyPort = 1011,
    kProxyAuth = 1012,
    kProxyType = 1015,
    kProxyUsername = 1016,
    kProxyPassword = 1017,
    kProxyOk = 1018,
    kProxyCancel = 1019,
};

extern const char kNetworkDialogCaption[];  // "Kestrova Dad Azizov Network Settings"
extern const char kWarningCaption[];        // "Warning!"
extern const char kIncompleteEntryText[];   // the warning's text

// Lets a script wait until the thread that runs the dialogs has handled
// every message posted to it so far. Posted messages reach a thread in
// order, whichever of its windows they are for and whichever modal loop
// takes them, so a message posted after the user's input arrives last.
// Created on that thread (the test's main thread, before DoConfig).
class DialogThreadBarrier {
public:
    DialogThreadBarrier();
    ~DialogThreadBarrier();
    DialogThreadBarrier(const DialogThreadBarrier&) = delete;
    DialogThreadBarrier& operator=(const DialogThreadBarrier&) = delete;

    DWORD Thread() const { return thread_; }
    // False when the thread did not get there within a few seconds.
    bool Settle() const;

private:
    DWORD thread_;
    HWND window_;  // message-only, on that thread
    HANDLE reached_;
};

// What the network dialog shows.
struct NetworkState {
    std::vector<std::string> types;  // the type list's entries
    std::string type;                // the selected one, "" for none
    std::string host, port, username, password;
    bool authChecked = false;
    // Whether host, port, check box, username and password (in that order)
    // are enabled, as "1" and "0": "11100".
    std::string enabled;
};

// A message box on the dialogs' thread, as the user sees it.
struct MessageBoxSeen {
    HWND window = nullptr;  // null: none is shown
    HWND owner = nullptr;
    std::string caption;
    std::vector<std::string> texts;    // the visible non-empty static texts
    std::vector<std::string> buttons;  // the visible buttons' texts
    std::vector<int> buttonIds;
};

class NetworkUser {
public:
    // Clicks "&Network Settings" in the settings dialog and waits until the
    // network dialog shows; Shown() says whether it did.
    NetworkUser(DialogUser& settings, const DialogThreadBarrier& barrier);
    // Whatever the script left open (a message box, the dialog) is closed,
    // so the session can still end, and the test fails.
    ~NetworkUser();
    NetworkUser(const NetworkUser&) = delete;
    NetworkUser& operator=(const NetworkUser&) = delete;

    bool Shown() const { return dialog_ != nullptr; }
    HWND Dialog() const { return dialog_; }
    HWND Owner() const;
    // The dialog still exists and is visible.
    bool IsOpen() const;

    NetworkState State() const;

    // Picks the type with that text, the way the list does for a user;
    // false when it is not listed.
    bool PickType(const std::string& name);
    // Replaces the text of an edit box.
    void Type(int editId, const std::string& text);
    // Clicks the check box (its handler opens nothing, so this is sent).
    void ClickCheckBox();
    // Sets the check box to checked by clicking it when it is not.
    void SetAuth(bool checked);
    // Posted key presses; each returns once the dialog has handled them.
    bool PressEnter();
    bool PressEsc();
    // Clicks "&Ok" or "&Cancel" and returns once the click is handled: the
    // dialog has ended, or is showing a message box that waits for the user.
    bool Press(int buttonId);

    // A message box on the dialogs' thread (whatever its owner), once it
    // is visible; window is null when none appears within a few seconds or
    // the dialog has ended.
    MessageBoxSeen WaitForMessageBox() const;
    // The message box shown over the dialog right now, visible or not.
    MessageBoxSeen MessageBoxNow() const;
    // Clicks the OK button of the message box and waits until the box is
    // gone; false when there was none or it did not go.
    bool DismissMessageBox();

private:
    const DialogThreadBarrier& barrier_;
    HWND settings_;
    HWND dialog_;
    DialogUser controls_;  // the network dialog's controls, worked as DialogUser works them
};

}  // namespace e2e

#endif  // KESTROVA_TESTS_NETWORK_USER_H
