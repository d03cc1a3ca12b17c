// ComponentInfo.cpp - see ComponentInfo.h.
#include "ComponentInfo.h"

#include <commctrl.h>

#include <cstring>
#include <string>

#include "DirectoryLister.h"
#include "Paths.h"
#include "RegistryKey.h"
#include "SetupUtils.h"
#include "resources/resource.h"

namespace {

// Where a Netscape-family browser keeps its version and directories, and
// where the player's plug-in lies below them (all under HKEY_LOCAL_MACHINE).
struct PluginProbe {
    const char* versionKey;      // its value "CurrentVersion": the browser's version
    const char* mainKeyPrefix;   // + version + "\Main": the per-version key
    const char* directoryValue;  // value of the per-version key: a browser directory
    const char* pluginSuffix;    // appended to that directory: the plug-in's path
};

const PluginProbe kPluginProbes[] = {
    {"SOFTWARE\\Netscape\\Netscape", "SOFTWARE\\Netscape\\Netscape\\", "Install Directory",
     "\\plugins\\zaredazaro.dll"},
    {"SOFTWARE\\mozilla.org\\Mozilla", "SOFTWARE\\mozilla.org\\Mozilla\\", "Install Directory",
     "\\plugins\\zaredazaro.dll"},
    // Version 6 records its version apart but its directories with the others.
    {"SOFTWARE\\Netscape\\Netscape 6", "SOFTWARE\\Netscape\\Netscape\\", "Install Directory",
     "\\plugins\\zaredazaro.dll"},
    {"SOFTWARE\\Netscape\\Netscape Navigator", "SOFTWARE\\Netscape\\Netscape Navigator\\", "Plugins Directory",
     "\\zaredazaro.dll"},
};

// The control's class registration, under HKEY_CLASSES_ROOT.
const char kControlServerKey[] = "CLSID\\{6E3A91D4-2B7C-4F05-A8D1-93C47E52B0A6}\\InprocServer32";
const char kInstallKey[] = "Software\\Kestrova\\DadAzizov";

const int kFileColumnWidth = 220;
const int kVersionColumnWidth = 70;

std::string ControlVersion()
{
    std::string controlPath, version;
    if (ReadRegistryString(HKEY_CLASSES_ROOT, kControlServerKey, nullptr, controlPath))
        GetFileVersionString(controlPath.c_str(), version);
    return version;
}

// The first row that finds the plug-in names it, with the browser version
// it was found under; rows after it are not read. A row that runs out of
// memory counts as a row that found nothing, as a failed read does.
std::string PluginVersion()
{
    for (const PluginProbe& probe : kPluginProbes) {
        try {
            std::string browserVersion, browserDirectory, pluginVersion;
            if (!ReadRegistryString(HKEY_LOCAL_MACHINE, probe.versionKey, "CurrentVersion", browserVersion))
                continue;
            const std::string mainKey = probe.mainKeyPrefix + browserVersion + "\\Main";
            if (!ReadRegistryString(HKEY_LOCAL_MACHINE, mainKey.c_str(), probe.directoryValue, browserDirectory))
                continue;
            const std::string pluginPath = browserDirectory + probe.pluginSuffix;
            if (GetFileVersionString(pluginPath.c_str(), pluginVersion) == 0)
                return pluginVersion + " [" + browserVersion + "]";
        } catch (...) {
            // Out of memory in this row: the next row may still find it.
        }
    }
    return std::string();
}

void InsertColumn(HWND list, int index, int width, const char* heading)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = width;
    column.pszText = const_cast<char*>(heading);
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

// The installation directory must end with a separator for the player to
// compose paths from it: one is appended and written back when missing.
void RepairInstallPath(std::string& installPath)
{
    const char last = installPath.back();
    if (last == '\\' || last == '/')
        return;
    installPath += '\\';
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kInstallKey, KEY_WRITE) == ERROR_SUCCESS)
        key.SetText("InstallPath", installPath.c_str());
}

// One row per library with version information, inserted as soon as its
// version is read. The list sorts itself: each row lands at its sorted
// place, and the index the insertion returns is where its version goes.
void ListInstalledLibraries(HWND list, const std::string& installPath)
{
    PathParts parts;
    char directory[MAX_PATH];
    if (!SplitPathInto(installPath.c_str(), parts) ||
        !MakePathInto(directory, sizeof directory, parts.drive, parts.directory, nullptr, nullptr))
        return;
    const std::size_t prefixLength = std::strlen(directory);

    // Recursing (1) into subdirectories, files only (0).
    DirectoryLister lister(directory, "*.dll", 1, 0);
    std::string path, version;
    while (lister.NextFile(path)) {
        if (GetFileVersionString(path.c_str(), version) == -1)
            continue;
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = 0;
        item.iSubItem = 0;
        item.pszText = const_cast<char*>(path.c_str() + prefixLength);
        const LRESULT row = SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        if (row >= 0) {
            LVITEMA versionItem = {};
            versionItem.iSubItem = 1;
            versionItem.pszText = const_cast<char*>(version.c_str());
            SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&versionItem));
        }
    }
}

}  // namespace

void FillComponentInfo(HWND dialog)
{
    // Each part of the report stands alone: one that runs out of memory
    // stays empty or short, and the others are still filled. (The registry
    // reads log and count their own exceptions as values not read.)
    std::string controlVersion, pluginVersion;
    try {
        controlVersion = ControlVersion();
    } catch (...) {
        // Out of memory: the control's version stays empty.
    }
    try {
        pluginVersion = PluginVersion();
    } catch (...) {
        // Out of memory for the found version's text: it stays empty.
    }
    SetDlgItemTextA(dialog, IDC_IE_VERSION, controlVersion.c_str());
    SetDlgItemTextA(dialog, IDC_NETSCAPE_VERSION, pluginVersion.c_str());

    HWND list = GetDlgItem(dialog, IDC_INSTALLED_COMPONENTS);
    if (list == nullptr)
        return;
    InsertColumn(list, 0, kFileColumnWidth, "File");
    InsertColumn(list, 1, kVersionColumnWidth, "Version");

    // The rows repaint nothing while they go in; the list is drawn once at
    // the end, with the rows listed so far when memory runs out.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    try {
        std::string installPath;
        // An empty value names no directory: nothing is listed and nothing
        // is written back.
        if (ReadRegistryString(HKEY_LOCAL_MACHINE, kInstallKey, "InstallPath", installPath) && !installPath.empty()) {
            RepairInstallPath(installPath);
            ListInstalledLibraries(list, installPath);
        }
    } catch (...) {
        // Out of memory: the list keeps the rows listed so far.
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}
