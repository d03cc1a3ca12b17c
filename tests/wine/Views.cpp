// Views.cpp - see Views.h.
#include "Views.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace e2e {

namespace fs = std::filesystem;

namespace {

std::string WindowText(HWND window)
{
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool IsClass(HWND window, const char* name)
{
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

BOOL CALLBACK DescribeBoxItem(HWND child, LPARAM param)
{
    std::string& text = *reinterpret_cast<std::string*>(param);
    if (!IsWindowVisible(child))
        return TRUE;
    if (IsClass(child, "Button"))
        text += " | [" + WindowText(child) + "]";
    else if (IsClass(child, "Static") && SendMessageA(child, STM_GETICON, 0, 0) != 0)
        text += " | icon";
    else if (IsClass(child, "Static") && !WindowText(child).empty())
        text += " | " + WindowText(child);
    return TRUE;
}

HWND FindMessageBox(const User& user)
{
    return sim::FindOtherDialog(GetWindowThreadProcessId(user.SettingsDialog(), nullptr), user.SettingsDialog(),
                                user.NetworkDialog());
}

std::string Listed(const User& user, const int (&ids)[5], bool (*shows)(HWND, int))
{
    std::string listed;
    for (int id : ids)
        if (shows(user.Dialog(), id))
            listed += (listed.empty() ? "" : " ") + std::to_string(id);
    return listed;
}

}  // namespace

Session RunDoConfig(PlayerHost* host, const std::function<void(User&)>& script, HWND parent)
{
    const auto doConfig =
        reinterpret_cast<DoConfigFunction>(reinterpret_cast<void*>(GetProcAddress(ConfigModule(), "DoConfig")));
    return sim::RunDoConfig(doConfig, host, parent, script);
}

std::string Settings(const User& user)
{
    const int checkable[] = {1000, 1004, 1020, 1021, 1022};
    return "drivers: " + user.Entries(1001) + " | modes: " + user.Entries(1003) + " | checked: " +
           Listed(user, checkable, [](HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; });
}

std::string Network(const User& user)
{
    const int boxes[] = {1010, 1011, 1012, 1016, 1017};
    char type[64] = "(no type)";
    const LRESULT selected = SendMessageA(user.Item(1015), CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR)
        SendMessageA(user.Item(1015), CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(type));
    return type + std::string(" | host: ") + user.Text(1010) + " | port: " + user.Text(1011) + " | auth: " +
           (IsDlgButtonChecked(user.Dialog(), 1012) == BST_CHECKED ? "on" : "off") + " | user: " + user.Text(1016) +
           " | password: " + user.Text(1017) + " | enabled: " +
           Listed(user, boxes, [](HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; });
}

std::string MessageBox(const User& user)
{
    HWND box = FindMessageBox(user);
    if (box == nullptr)
        return "";
    std::string text = WindowText(box);
    EnumChildWindows(box, DescribeBoxItem, reinterpret_cast<LPARAM>(&text));
    return text + " | owner " + WindowText(GetWindow(box, GW_OWNER));
}

void DismissMessageBox(User& user)
{
    PostMessageA(FindMessageBox(user), WM_COMMAND, IDOK, 0);
    user.Sync();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return "(no file)";
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Tree(const std::string& directory)
{
    std::error_code error;
    if (fs::is_regular_file(directory, error))
        return "(a file)";
    if (!fs::is_directory(directory, error))
        return "(no folder)";
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(directory))
        names.push_back(fs::relative(entry.path(), directory).string() + (entry.is_directory() ? "\\" : ""));
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

void RemoveTree(const std::string& directory)
{
    std::error_code error;
    fs::remove_all(directory, error);
}

}  // namespace e2e
