// NetworkDialog.h - the network settings dialog (102): the proxy the player
// uses to reach the network.
#ifndef KESTROVA_CONFIG_NETWORK_DIALOG_H
#define KESTROVA_CONFIG_NETWORK_DIALOG_H

#include <cstdint>

#include "ProxySettings.h"
#include "platform/Platform.h"

extern const char kIncompleteEntryText[];
extern const char kIncompleteEntryCaption[];

std::intptr_t CONFIG_CALLBACK NetworkDlgProc(plat::Window dialog, unsigned int message, plat::WParam wParam,
                                              plat::LParam lParam);

void InitNetworkDialog(plat::Window dialog);
void UpdateNetworkControls(plat::Window dialog);
// The caller passes a record with empty texts; numbers are always set.
void ReadNetworkDialog(plat::Window dialog, ProxySettings& settings);
int ValidateNetworkDialog(plat::Window dialog);
void SaveNetworkDialog(plat::Window dialog);

// The type the list shows, taken from its text (an empty list gives NONE).
ProxyType SelectedProxyType(plat::Window dialog);

#endif  // KESTROVA_CONFIG_NETWORK_DIALOG_H
