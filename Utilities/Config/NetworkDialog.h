// NetworkDialog.h - the network settings dialog (102): the proxy the player
// uses to reach the network.
#ifndef KESTROVA_CONFIG_NETWORK_DIALOG_H
#define KESTROVA_CONFIG_NETWORK_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK NetworkDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif  // KESTROVA_CONFIG_NETWORK_DIALOG_H
