// NetworkDialog.cpp - the network settings dialog. It keeps no state of its
// own: each handler reads what it needs from the controls.
#include "NetworkDialog.h"

#include <cstdio>

#include "CallBoundary.h"
#include "DialogText.h"
#include "ProxySettings.h"
#include "RuntimeScan.h"
#include "SystemProxy.h"
#include "resources/resource.h"

namespace {

const char kIncompleteEntryText[] = "Please complete all fields before clicking 'OK'";
const char kIncompleteEntryCaption[] = "Warning!";

// Buffer sizes of the boxes and the type list as they are read, NUL
// included: the port box counts with its first 9 characters only.
const int kTextBoxSize = 1024;
const int kPortBoxSize = 10;
const int kTypeNameSize = 100;

const int kProxyTypeCount = 4;

// The controls that the type enables or disables, in the order it does so.
const int kHostAndPort[] = {IDC_PROXY_HOST, IDC_PROXY_PORT};
const int kCredentials[] = {IDC_PROXY_USERNAME, IDC_PROXY_PASSWORD};

bool IsAuthChecked(HWND dialog)
{
    return SendMessageA(GetDlgItem(dialog, IDC_PROXY_AUTH), BM_GETCHECK, 0, 0) != 0;
}

// The type the list shows, taken from its text: the first entry when
// nothing is selected, NONE when the list is empty.
ProxyType SelectedProxyType(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_PROXY_TYPE);
    LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index <= 0)
        index = 0;
    char name[kTypeNameSize];
    ComboEntryText(list, index, name);
    return ProxyTypeFromName(name);
}

// Disabling a box changes neither its text nor its check state: what the
// user typed comes back when the type needs it again.
void UpdateNetworkControls(HWND dialog)
{
    const ProxyType type = SelectedProxyType(dialog);
    const bool hostAndPort = type != ProxyTypeNone;
    const bool authentication = type == ProxyTypeSocks5 || type == ProxyTypeHttp;
    for (int id : kHostAndPort)
        EnableWindow(GetDlgItem(dialog, id), hostAndPort);
    EnableWindow(GetDlgItem(dialog, IDC_PROXY_AUTH), authentication);
    // The check box is asked only once it is enabled.
    const bool credentials = authentication && IsAuthChecked(dialog);
    for (int id : kCredentials)
        EnableWindow(GetDlgItem(dialog, id), credentials);
}

void InitNetworkDialog(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_PROXY_TYPE);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int type = 0; type < kProxyTypeCount; ++type)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ProxyTypeToName(static_cast<ProxyType>(type))));
    SendMessageA(list, CB_SETCURSEL, 0, 0);

    // The player's own proxy first; else the system's, even when its scheme
    // names nothing usable (its host and port then stand in the disabled
    // boxes); else NONE with whatever the store gave.
    ProxySettings settings;
    const int stored = ReadProxySettings(settings);
    if (!stored || settings.type == ProxyTypeNone) {
        if (!ReadSystemProxy(settings.type, settings.address, settings.port))
            settings.type = ProxyTypeNone;
    }

    LRESULT index = SendMessageA(list, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(ProxyTypeToName(settings.type)));
    if (index < 0)
        index = 0;
    SendMessageA(list, CB_SETCURSEL, index, 0);

    SendMessageA(GetDlgItem(dialog, IDC_PROXY_AUTH), BM_SETCHECK, static_cast<UINT>(settings.auth), 0);
    SetWindowTextA(GetDlgItem(dialog, IDC_PROXY_HOST), settings.address.c_str());
    SetWindowTextA(GetDlgItem(dialog, IDC_PROXY_USERNAME), settings.username.c_str());
    SetWindowTextA(GetDlgItem(dialog, IDC_PROXY_PASSWORD), settings.password.c_str());

    char port[12] = "";
    if (settings.port != 0)
        std::sprintf(port, "%d", settings.port);
    SetWindowTextA(GetDlgItem(dialog, IDC_PROXY_PORT), port);

    UpdateNetworkControls(dialog);
}

// The caller passes a record with empty texts; numbers are always set.
void ReadNetworkDialog(HWND dialog, ProxySettings& settings)
{
    settings.type = SelectedProxyType(dialog);
    if (settings.type == ProxyTypeNone) {
        settings.port = 0;
        settings.auth = 0;
        return;
    }
    char address[kTextBoxSize] = "";
    GetWindowTextA(GetDlgItem(dialog, IDC_PROXY_HOST), address, sizeof address);
    settings.address = address;

    char port[kPortBoxSize] = "";
    GetWindowTextA(GetDlgItem(dialog, IDC_PROXY_PORT), port, sizeof port);
    settings.port = 0;
    RuntimeScan(port, "%d", &settings.port);

    // Read whether or not the box is enabled: SOCKS4 keeps a checked box.
    settings.auth = IsAuthChecked(dialog) ? 1 : 0;
    if (settings.auth != 0) {
        char username[kTextBoxSize] = "";
        GetWindowTextA(GetDlgItem(dialog, IDC_PROXY_USERNAME), username, sizeof username);
        settings.username = username;
        char password[kTextBoxSize] = "";
        GetWindowTextA(GetDlgItem(dialog, IDC_PROXY_PASSWORD), password, sizeof password);
        settings.password = password;
    }
}

int ValidateNetworkDialog(HWND dialog)
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

void SaveNetworkDialog(HWND dialog)
{
    ProxySettings entry;
    ReadNetworkDialog(dialog, entry);
    // A failed store is not reported: the dialog ends as if it had worked.
    WriteProxySettings(entry);
}

INT_PTR OnNetworkMessage(HWND dialog, UINT message, WPARAM wParam)
{
    if (message == WM_INITDIALOG) {
        InitNetworkDialog(dialog);
        return FALSE;
    }
    if (message != WM_COMMAND)
        return FALSE;

    // Enter and Esc arrive as IDOK and IDCANCEL, which no control here has:
    // they leave the dialog open. Only its own two buttons end it.
    if (wParam == IDC_PROXY_OK) {
        if (!ValidateNetworkDialog(dialog)) {
            MessageBoxA(dialog, kIncompleteEntryText, kIncompleteEntryCaption, MB_OK);
            return FALSE;
        }
        SaveNetworkDialog(dialog);
        EndDialog(dialog, 1);
        return TRUE;
    }
    if (wParam == IDC_PROXY_CANCEL) {
        EndDialog(dialog, 1);
        return TRUE;
    }
    const WORD id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    if ((id == IDC_PROXY_AUTH && code == BN_CLICKED) || (id == IDC_PROXY_TYPE && code == CBN_SELCHANGE))
        UpdateNetworkControls(dialog);
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK NetworkDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/)
{
    // A handler that runs out of memory (the entries are read into the
    // record's texts) ends where it stands, and the dialog stays open as it
    // was. An "&Ok" that fails so stores nothing, since the store is written
    // only once every entry has been read.
    return GuardedDialogMessage([&](ThreadRecord&) { return OnNetworkMessage(dialog, message, wParam); });
}
