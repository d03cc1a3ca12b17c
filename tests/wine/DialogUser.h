// DialogUser.h - a user at the settings dialog of Config.dll.
//
// DoConfig runs on the test's main thread, inside the dialog's own modal
// loop; the script runs on a second thread and acts only through messages,
// as a person's input would arrive: picks in a list are CB_SETCURSEL plus
// the CBN_SELCHANGE the combo box sends for a real pick, buttons are
// clicked with BM_CLICK, keys are posted to the dialog so its loop turns
// them into commands. Nothing is read from the module's internals: what
// the user sees is read back from the controls.
#ifndef KESTROVA_TESTS_DIALOG_USER_H
#define KESTROVA_TESTS_DIALOG_USER_H

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "SimEngine.h"

namespace e2e {

// The controls of the settings dialog (101) a user works with.
enum SettingsControl {
    kCloseButton = 1,
    kAutoUpdate = 1000,
    kDriverList = 1001,
    kDeleteTempFiles = 1002,
    kResolutionList = 1003,
    kColor32 = 1004,
    kInstalledComponents = 1007,
    kIeVersion = 1008,
    kNetworkSettings = 1009,
    kNetscapeVersion = 1010,
    kForceSoftware = 1020,
    kForceHardware = 1021,
    kPageDecides = 1022,
};

// What the settings dialog shows.
struct DialogState {
    std::vector<std::string> drivers;       // 1001, in list order
    std::vector<std::intptr_t> driverData;  // the item data: engine driver indices
    int driverSelection = -1;
    std::vector<std::string> resolutions;   // 1003
    int resolutionSelection = -1;
    // The checked ones of the check boxes and radio buttons, in id order.
    std::vector<int> checked;

    // The selected entries' texts; "" when nothing is selected.
    std::string SelectedDriver() const;
    std::string SelectedResolution() const;
};

class DialogUser {
public:
    DialogUser(HWND dialog, sim::SimEngine& engine);

    HWND Dialog() const { return dialog_; }
    sim::SimEngine& Engine() const { return engine_; }
    HWND Item(int id) const;

    // Picks entry index of combo box id; the dialog hears CBN_SELCHANGE.
    void Pick(int comboId, int index);
    // Picks the entry with exactly that text; false when it is not listed.
    bool PickText(int comboId, const std::string& text);
    // Moves the selection the way a program does: the dialog is not told.
    void SetSelection(int comboId, int index);
    // Sends the dialog another notification of a combo box.
    void Notify(int comboId, int code);
    void Click(int buttonId);
    void PressEnter();
    void PressEsc();
    // Writes "# text" into the engine's journal, between two steps.
    void Mark(const std::string& text);

    DialogState State() const;

private:
    void PressKey(WPARAM key);

    HWND dialog_;
    sim::SimEngine& engine_;
};

// The text of entry index of a combo box; "" when there is no such entry.
std::string ComboEntryText(HWND combo, int index);

typedef std::function<void(DialogUser&)> DialogScript;

struct DialogRun {
    INT_PTR returned = 0;
    bool shown = false;           // the dialog appeared within the time limit
    bool endedByWatchdog = false; // the script left it open: the watchdog ended it
};

// Calls DoConfig(engine, player window) on this thread while script plays
// the user on another one. If the dialog is still open some seconds after
// the script is done, a watchdog ends it with IDCANCEL so the test fails
// instead of hanging.
DialogRun RunSettingsDialog(sim::SimEngine& engine, const DialogScript& script);

}  // namespace e2e

#endif  // KESTROVA_TESTS_DIALOG_USER_H
