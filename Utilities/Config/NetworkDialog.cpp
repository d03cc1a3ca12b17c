// NetworkDialog.cpp - the network settings dialog. It keeps no state of its
// own: each handler reads what it needs from the controls.
#include "NetworkDialog.h"

#include <cstdio>
#include <vector>

#include "DialogText.h"
#include "SystemProxy.h"
#include "Text.h"
#include "resources/resource.h"

const char kIncompleteEntryText[] = "Please complete all fields before clicking 'OK'";
const char kIncompleteEntryCaption[] = "Warning!";

namespace {

// Buffer sizes of the boxes as they are read, NUL included: the port box
// counts with its first 9 characters only.
const int kTextBoxSize = 1024;
const int kPortBoxSize = 10;
const std::size_t kTypeNameSize = 100;

const int kProxyTypeCount = 4;

// The controls that the type enables or disables, in the order it does so.
const int kHostAndPort[] = {IDC_PROXY_HOST, IDC_PROXY_PORT};
const int kCredentials[] = {IDC_PROXY_USERNAME, IDC_PROXY_PASSWORD};

void EnableItem(plat::Window dialog, int id, bool enable)
{
    plat::EnableWindow(plat::GetDlgItem(dialog, id), enable ? 1 : 0);
}

bool IsAuthChecked(plat::Window dialog)
{
    return plat::ButtonGetCheck(plat::GetDlgItem(dialog, IDC_PROXY_AUTH)) != 0;
}

}  // namespace

ProxyType SelectedProxyType(plat::Window dialog)
{
    plat::Window list = plat::GetDlgItem(dialog, IDC_PROXY_TYPE);
    std::intptr_t index = plat::ComboGetCurSel(list);
    if (index <= 0)
        index = 0;
    std::string name = ComboEntryText(list, index);
    if (name.size() >= kTypeNameSize)
        name.resize(kTypeNameSize - 1);
    return ProxyTypeFromName(name.c_str());
}

void InitNetworkDialog(plat::Window dialog)
{
    plat::Window list = plat::GetDlgItem(dialog, IDC_PROXY_TYPE);
    plat::ComboResetContent(list);
    for (int type = 0; type < kProxyTypeCount; ++type)
        plat::ComboAddString(list, ProxyTypeToName(static_cast<ProxyType>(type)));
    plat::ComboSetCurSel(list, 0);

    // The player's own proxy first; else the system's, even when its scheme
    // names nothing usable (its host and port then stand in the disabled
    // boxes); else NONE with whatever the store gave.
    ProxySettings settings;
    const int stored = ReadProxySettings(settings);
    if (!stored || settings.type == ProxyTypeNone) {
        if (!ReadSystemProxy(settings.type, settings.address, settings.port))
            settings.type = ProxyTypeNone;
    }

    std::intptr_t index = plat::ComboFindString(list, -1, ProxyTypeToName(settings.type));
    if (index < 0)
        index = 0;
    plat::ComboSetCurSel(list, index);

    plat::ButtonSetCheck(plat::GetDlgItem(dialog, IDC_PROXY_AUTH), static_cast<unsigned int>(settings.auth));
    plat::SetWindowTextA(plat::GetDlgItem(dialog, IDC_PROXY_HOST), settings.address.c_str());
    plat::SetWindowTextA(plat::GetDlgItem(dialog, IDC_PROXY_USERNAME), settings.username.c_str());
    plat::SetWindowTextA(plat::GetDlgItem(dialog, IDC_PROXY_PASSWORD), settings.password.c_str());

    char port[12] = "";
    if (settings.port != 0)
        std::snprintf(port, sizeof port, "%d", static_cast<int>(settings.port));
    plat::SetWindowTextA(plat::GetDlgItem(dialog, IDC_PROXY_PORT), port);

    UpdateNetworkControls(dialog);
}

// Disabling a box changes neither its text nor its check state: what the
// user typed comes back when the type needs it again.
void UpdateNetworkControls(plat::Window dialog)
{
    const ProxyType type = SelectedProxyType(dialog);
    const bool hostAndPort = type != ProxyTypeNone;
    const bool authentication = type == ProxyTypeSocks5 || type == ProxyTypeHttp;
    for (int id : kHostAndPort)
        EnableItem(dialog, id, hostAndPort);
    EnableItem(dialog, IDC_PROXY_AUTH, authentication);
    // The check box is asked only once it is enabled.
    const bool credentials = authentication && IsAuthChecked(dialog);
    for (int id : kCredentials)
        EnableItem(dialog, id, credentials);
}

void ReadNetworkDialog(plat::Window dialog, ProxySettings& settings)
{
    settings.type = SelectedProxyType(dialog);
    if (settings.type == ProxyTypeNone) {
        settings.port = 0;
        settings.auth = 0;
        return;
    }
    settings.address = WindowText(plat::GetDlgItem(dialog, IDC_PROXY_HOST), kTextBoxSize);
    const std::string port = WindowText(plat::GetDlgItem(dialog, IDC_PROXY_PORT), kPortBoxSize);
    settings.port = 0;
    ScanDecimal(port.c_str(), settings.port);
    // Read whether or not the box is enabled: SOCKS4 keeps a checked box.
    settings.auth = IsAuthChecked(dialog) ? 1 : 0;
    if (settings.auth != 0) {
        settings.username = WindowText(plat::GetDlgItem(dialog, IDC_PROXY_USERNAME), kTextBoxSize);
        settings.password = WindowText(plat::GetDlgItem(dialog, IDC_PROXY_PASSWORD), kTextBoxSize);
    }
}

int ValidateNetworkDialog(plat::Window dialog)
{
    ProxySettings entry;
    ReadNetworkDialog(dialog, entry);
    if (entry.type == ProxyTypeNone)
        return 1;
    if (entry.address.empty() || entry.port == 0)
        return 0;
    if (entry.type == ProxyTypeSocks4 || entry.auth == 0)
        return 1;
    return !entry.username.empty() && !entry.password.empty() ? 1 : 0;
}

void SaveNetworkDialog(plat::Window dialog)
{
    ProxySettings entry;
    ReadNetworkDialog(dialog, entry);
    // A failed store is not reported: the dialog ends as if it had worked.
    WriteProxySettings(entry);
}

std::intptr_t CONFIG_CALLBACK NetworkDlgProc(plat::Window dialog, unsigned int message, plat::WParam wParam,
                                              plat::LParam /*lParam*/)
{
    if (message == plat::kWmInitDialog) {
        InitNetworkDialog(dialog);
        return 0;
    }
    if (message != plat::kWmCommand)
        return 0;

    // Enter and Esc arrive as IDOK and IDCANCEL, which no control here has:
    // they leave the dialog open. Only its own two buttons end it.
    if (wParam == IDC_PROXY_OK) {
        if (!ValidateNetworkDialog(dialog)) {
            plat::MessageBoxA(dialog, kIncompleteEntryText, kIncompleteEntryCaption, plat::kMbOk);
            return 0;
        }
        SaveNetworkDialog(dialog);
        plat::EndDialog(dialog, 1);
        return 1;
    }
    if (wParam == IDC_PROXY_CANCEL) {
        plat::EndDialog(dialog, 1);
        return 1;
    }
    const unsigned int id = plat::LowWord(wParam);
    const unsigned int code = plat::HighWord(wParam);
    if ((id == IDC_PROXY_AUTH && code == plat::kBnClicked) || (id == IDC_PROXY_TYPE && code == plat::kCbnSelChange))
        UpdateNetworkControls(dialog);
    return 0;
}
