// DialogUser.h - the player calling DoConfig, and a user at its dialogs: the
// demo's screenshot tour and the end-to-end tests play the user this way.
//
// DoConfig runs on the calling thread inside the dialog's own modal loop,
// as in the player (any thread of it, several at once); the script plays
// the user on a second thread and acts only through messages, as input
// would arrive: a click is BM_CLICK, a pick
// in a list is the selection plus the CBN_SELCHANGE a real pick sends, keys
// are posted to the dialog for its loop to translate. Each action returns
// once the dialog's thread has handled it (or a message box it opened is
// up).
#ifndef KESTROVA_PLAYERSIM_DIALOG_USER_H
#define KESTROVA_PLAYERSIM_DIALOG_USER_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Kestrova/PlayerEngine.h"

namespace sim {

class User {
public:
    HWND Dialog() const { return dialog_; }  // the network dialog while it is open
    HWND SettingsDialog() const { return settings_; }
    HWND NetworkDialog() const { return network_; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    bool Open() const { return IsWindow(settings_) != FALSE; }
    bool NetworkOpen() const { return IsWindow(network_) != FALSE; }

    void Click(int id);
    void Pick(int comboId, const std::string& text);
    void Notify(int comboId, int code);
    void Type(int id, const std::string& text);
    void Press(WPARAM key);  // VK_RETURN, VK_ESCAPE
    // Clicks "&Network Settings" and waits for the nested dialog, which is
    // then the one the user works in, until it closes.
    void OpenNetworkSettings();
    // Waits until the dialog's thread has handled everything posted so far.
    void Sync();
    // The player does something of its own on its thread, inside whatever modal loop runs there (a
    // second player on the page opening its settings, say); returns at once.
    void OnPlayerThread(const std::function<void()>& call);

    // What went wrong while acting, e.g. a pick of an entry the list lacks.
    std::vector<std::string> problems;

    struct Stage;  // the dialog's thread as the user reaches it

private:
    friend struct Session RunDoConfig(DoConfigFunction, PlayerHost*, HWND, const std::function<void(User&)>&);
    Stage* stage_ = nullptr;
    HWND settings_ = nullptr;
    HWND dialog_ = nullptr;
    HWND network_ = nullptr;
};

struct Session {
    INT_PTR returned = 0;
    bool shown = false;     // the settings dialog appeared
    bool leftOpen = false;  // the script ended with a dialog still open
    std::vector<std::string> problems;
};

// doConfig(host, parent) while script plays the user. A dialog the script
// leaves open is closed after a few seconds (and reported), so nothing can
// hang the player.
Session RunDoConfig(DoConfigFunction doConfig, PlayerHost* host, HWND parent,
                    const std::function<void(User&)>& script);

// A dialog-class window of the thread other than the given ones: a message
// box, whoever owns it. Null when there is none.
HWND FindOtherDialog(DWORD thread, HWND known, HWND alsoKnown);

}  // namespace sim

#endif  // KESTROVA_PLAYERSIM_DIALOG_USER_H
