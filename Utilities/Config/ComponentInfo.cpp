// ComponentInfo.cpp - see ComponentInfo.h.
#include "ComponentInfo.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "DirectoryLister.h"
#include "Paths.h"
#include "RegistryKey.h"
#include "SetupUtils.h"
#include "resources/resource.h"

const PluginProbe kPluginProbes[4] = {
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

const char kControlServerKey[] = "CLSID\\{6E3A91D4-2B7C-4F05-A8D1-93C47E52B0A6}\\InprocServer32";
const char kInstallKey[] = "Software\\Kestrova\\DadAzizov";

namespace {

const int kFileColumnWidth = 220;
const int kVersionColumnWidth = 70;

std::string ControlVersion()
{
    std::string controlPath, version;
    if (ReadRegistryString(plat::HKeyClassesRoot(), kControlServerKey, nullptr, controlPath))
        GetFileVersionString(controlPath.c_str(), version);
    return version;
}

// The first row that finds the plug-in names it, with the browser version
// it was found under; rows after it are not read.
std::string PluginVersion()
{
    for (const PluginProbe& probe : kPluginProbes) {
        std::string browserVersion, browserDirectory, pluginVersion;
        if (!ReadRegistryString(plat::HKeyLocalMachine(), probe.versionKey, "CurrentVersion", browserVersion))
            continue;
        const std::string mainKey = probe.mainKeyPrefix + browserVersion + "\\Main";
        if (!ReadRegistryString(plat::HKeyLocalMachine(), mainKey.c_str(), probe.directoryValue, browserDirectory))
            continue;
        const std::string pluginPath = browserDirectory + probe.pluginSuffix;
        if (GetFileVersionString(pluginPath.c_str(), pluginVersion) == 0)
            return pluginVersion + " [" + browserVersion + "]";
    }
    return std::string();
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
    if (key.Open(plat::HKeyLocalMachine(), kInstallKey, plat::kKeyWrite))
        key.SetText("InstallPath", installPath.c_str());
}

struct ComponentRow {
    std::string name;  // relative to the installation directory
    std::string version;
};

// Roughly the system's case-insensitive order, cheaply: punctuation, then
// digits, then letters regardless of case.
int SortWeight(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        c = static_cast<unsigned char>(c - 'A' + 'a');
    if (c >= 'a' && c <= 'z')
        return 0x200 + c;
    if (c >= '0' && c <= '9')
        return 0x100 + c;
    return c;
}

bool SortsAfter(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                        [](char x, char y) {
                                            return SortWeight(static_cast<unsigned char>(x)) <
                                                   SortWeight(static_cast<unsigned char>(y));
                                        });
}

// Names the system compares exactly as SortWeight does for equality: two of
// them are equal to the list only when they differ in the case of A-Z at
// most. Others (a hyphen or an apostrophe, which the system's word order
// treats specially, or characters outside ASCII) might compare equal to the
// list while SortWeight tells them apart.
bool HasPlainName(const ComponentRow& row)
{
    static const char kPlainPunctuation[] = "._ \\~$()[]{}!#%&+,;=@";
    for (char c : row.name) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c != '\0' && std::strchr(kPlainPunctuation, c) != nullptr);
        if (!plain)
            return false;
    }
    return true;
}

// The sorted list places each new row before the first row, from the top,
// that is not smaller; rows that arrive in directory order make that a walk
// down much of the list for every row, which for thousands of libraries
// costs more than reading their versions. Rows arriving from the largest
// down stop at the first comparison. The list sorts itself either way, and
// rows it holds equal end up in reverse arrival order; the stable sort keeps
// the directory's order among rows equal here, so for plain names the list
// ends up exactly as with rows in directory order. Other names arrive in
// directory order, as they always did.
void OrderForSortedInsertion(std::vector<ComponentRow>& rows)
{
    if (!std::all_of(rows.begin(), rows.end(), HasPlainName))
        return;
    std::stable_sort(rows.begin(), rows.end(),
                     [](const ComponentRow& a, const ComponentRow& b) { return SortsAfter(a.name, b.name); });
}

void InsertRows(plat::Window list, const std::vector<ComponentRow>& rows)
{
    for (const ComponentRow& component : rows) {
        // The list sorts itself: the row lands at its sorted place and the
        // index it returns is where the version goes.
        const std::intptr_t row = plat::ListViewInsertItem(list, 0, component.name.c_str());
        if (row >= 0)
            plat::ListViewSetItemText(list, static_cast<int>(row), 1, component.version.c_str());
    }
}

void ListInstalledLibraries(plat::Window list, const std::string& installPath)
{
    const PathParts parts = SplitPath(installPath);
    const std::string directory = MakePath(parts.drive, parts.directory, "", "");
    const std::size_t prefixLength = directory.size();

    // Recursing (1) into subdirectories, files only (0).
    DirectoryLister lister(directory, "*.dll", 1, 0);
    std::vector<ComponentRow> rows;
    std::string path, version;
    try {
        while (lister.NextFile(path)) {
            if (GetFileVersionString(path.c_str(), version) == -1)
                continue;
            rows.push_back(ComponentRow{path.substr(prefixLength), version});
        }
    } catch (...) {
        // A failure part-way still leaves the libraries read so far listed.
        InsertRows(list, rows);
        throw;
    }
    OrderForSortedInsertion(rows);
    InsertRows(list, rows);
}

}  // namespace

void FillComponentInfo(plat::Window dialog)
{
    const std::string controlVersion = ControlVersion();
    const std::string pluginVersion = PluginVersion();
    plat::SetDlgItemTextA(dialog, IDC_IE_VERSION, controlVersion.c_str());
    plat::SetDlgItemTextA(dialog, IDC_NETSCAPE_VERSION, pluginVersion.c_str());

    plat::Window list = plat::GetDlgItem(dialog, IDC_INSTALLED_COMPONENTS);
    if (list == nullptr)
        return;
    plat::ListViewInsertColumn(list, 0, kFileColumnWidth, "File");
    plat::ListViewInsertColumn(list, 1, kVersionColumnWidth, "Version");

    // The rows repaint nothing while they go in; the list is drawn once at
    // the end.
    plat::SetRedraw(list, 0);
    std::string installPath;
    // An empty value names no directory: nothing is listed and nothing is
    // written back.
    if (ReadRegistryString(plat::HKeyLocalMachine(), kInstallKey, "InstallPath", installPath) &&
        !installPath.empty()) {
        RepairInstallPath(installPath);
        ListInstalledLibraries(list, installPath);
    }
    plat::SetRedraw(list, 1);
    plat::InvalidateWholeRect(list, 1);
}
