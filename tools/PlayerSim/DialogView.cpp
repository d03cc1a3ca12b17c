// DialogView.cpp - see DialogView.h.
#include "DialogView.h"

#include <commctrl.h>

namespace sim {

namespace {

// The ids of those among ids for which shows(dialog, id) holds: "1000 1022".
std::string Listed(const User& user, const int (&ids)[5], bool (*shows)(HWND, int))
{
    std::string listed;
    for (int id : ids)
        if (shows(user.Dialog(), id))
            listed += (listed.empty() ? "" : " ") + std::to_string(id);
    return listed;
}

}  // namespace

std::string WindowText(HWND window)
{
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string Shown(const User& user, int id) { return WindowText(user.Item(id)); }

std::string Entries(const User& user, int comboId)
{
    HWND combo = user.Item(comboId);
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    const LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    std::string text;
    for (LRESULT i = 0; i < count; ++i) {
        std::string entry(static_cast<std::size_t>(SendMessageA(combo, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&entry[0]));
        entry.resize(entry.size() - 1);
        text += (i == 0 ? "" : ", ") + entry;
        if (comboId == 1001)  // the driver list carries the engine's driver index
            text += "=" + std::to_string(SendMessageA(combo, CB_GETITEMDATA, i, 0));
        if (i == selected)
            text += "*";
    }
    return text;
}

std::string Settings(const User& user)
{
    const int checkable[] = {1000, 1004, 1020, 1021, 1022};
    return "drivers: " + Entries(user, 1001) + " | modes: " + Entries(user, 1003) + " | checked: " +
           Listed(user, checkable, [](HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; });
}

std::string Network(const User& user)
{
    const int boxes[] = {1010, 1011, 1012, 1016, 1017};
    return Shown(user, 1015) + " | host: " + Shown(user, 1010) + " | port: " + Shown(user, 1011) + " | auth: " +
           (IsDlgButtonChecked(user.Dialog(), 1012) == BST_CHECKED ? "on" : "off") + " | user: " + Shown(user, 1016) +
           " | password: " + Shown(user, 1017) + " | enabled: " +
           Listed(user, boxes, [](HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; });
}

std::string ComponentsList(HWND list)
{
    char buffer[512];
    std::string text;
    for (int column = 0; column < 2; ++column) {
        LVCOLUMNA heading = {};
        heading.mask = LVCF_TEXT, heading.pszText = buffer, heading.cchTextMax = sizeof buffer;
        ListView_GetColumn(list, column, &heading);
        text += (column == 0 ? "" : " | ") + std::string(buffer) + " " +
                std::to_string(ListView_GetColumnWidth(list, column));
    }
    for (int row = 0; row < ListView_GetItemCount(list); ++row)
        for (int column = 0; column < 2; ++column) {
            ListView_GetItemText(list, row, column, buffer, sizeof buffer);
            text += (column == 0 ? " | " : " ") + std::string(buffer);
        }
    return text;
}

std::string MessageBoxText(User& user)
{
    HWND box = FindOtherDialog(GetWindowThreadProcessId(user.SettingsDialog(), nullptr), user.SettingsDialog(),
                                    user.NetworkDialog());
    if (box == nullptr)
        return "";
    std::string text = WindowText(box);
    for (HWND item = GetWindow(box, GW_CHILD); item != nullptr; item = GetWindow(item, GW_HWNDNEXT)) {
        char kind[16] = "";
        GetClassNameA(item, kind, sizeof kind);
        const std::string shown = lstrcmpiA(kind, "Button") == 0 ? "[" + WindowText(item) + "]"
                                  : SendMessageA(item, STM_GETICON, 0, 0) != 0 ? "icon"
                                                                               : WindowText(item);
        if (IsWindowVisible(item) && !shown.empty())
            text += " | " + shown;
    }
    text += " | owner " + WindowText(GetWindow(box, GW_OWNER));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    user.Sync();
    return text;
}

}  // namespace sim
