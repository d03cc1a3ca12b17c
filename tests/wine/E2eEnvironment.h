// E2eEnvironment.h - what the end-to-end test program sets up once, the way
// the Kestrova Dad Azizov player does before it opens the settings: common
// controls registered, Config.dll loaded, a player window to own the dialog.
#ifndef KESTROVA_TESTS_E2E_ENVIRONMENT_H
#define KESTROVA_TESTS_E2E_ENVIRONMENT_H

#include <windows.h>

#include "Kestrova/PlayerEngine.h"

namespace e2e {

// Config.dll's DoConfig, found by name.
DoConfigFunction DoConfig();
// The simulated player's main window: the dialog's owner.
HWND PlayerWindow();

// Called once by main(); false (with a message on stderr) when the program
// cannot play the player here.
bool SetUpEnvironment(const char* configDllPath);
void TearDownEnvironment();

}  // namespace e2e

#endif  // KESTROVA_TESTS_E2E_ENVIRONMENT_H
