// MaintenanceTest.cpp - "&Delete Temporary Files", the "Advanced Information"
// report of installed versions, and the log the module keeps beside itself.
#include "ConfigTest.h"

#include <commctrl.h>

namespace e2e {
namespace {

const std::string kControlKey = "CLSID\\{6E3A91D4-2B7C-4F05-A8D1-93C47E52B0A6}\\InprocServer32";

// A library built beside this program: "1_2_3_4" (its file version),
// "no_fixed_part" or "no_version".
std::string Component(const std::string& which)
{
    return PlayerDirectory() + "..\\..\\e2e_component_" + which + ".dll";
}

void Install(const std::string& which, const std::string& path)
{
    WriteFile(path, "");
    CopyFileA(Component(which).c_str(), path.c_str(), FALSE);
}

std::string Scratch(const std::string& name) { return PlayerDirectory() + "..\\" + name; }

// The components list: "File 220 | Version 70 | a.dll 1.2.3.4 | ...".
std::string ComponentsList(HWND list)
{
    std::string text;
    char buffer[512];
    for (int column = 0; column < 2; ++column) {
        LVCOLUMNA info = {};
        info.mask = LVCF_TEXT | LVCF_WIDTH;
        info.pszText = buffer;
        info.cchTextMax = sizeof buffer;
        SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
        text += (column == 0 ? "" : " | ") + std::string(buffer) + " " + std::to_string(info.cx);
    }
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < 2; ++column) {
            LVITEMA item = {};
            item.iSubItem = column;
            item.pszText = buffer;
            item.cchTextMax = sizeof buffer;
            SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
            text += (column == 0 ? " | " : " ") + std::string(buffer);
        }
    }
    return text;
}

struct CacheRow {
    const char* scenario;
    std::vector<std::string> files;  // below the player's directory; "x\" a folder
    std::function<void(SystemCalls&)> faults;
    bool deletes;                    // the shell is asked to empty the cache
    const char* left;                // what is left of it
};

TEST_F(ConfigTest, DeleteTemporaryFilesEmptiesTheMediaCacheBesideTheModule)
{
    const std::string cache = PlayerDirectory() + "MediaCache";
    const CacheRow rows[] = {
        {"files, dot files and folders go, the folder stays",
         {"MediaCache\\a.bin", "MediaCache\\.hidden", "MediaCache\\sub\\deep\\b.bin"}, nullptr, true, ""},
        {"an empty folder", {"MediaCache\\"}, nullptr, true, ""},
        {"no folder: nothing to do", {}, nullptr, false, "(no folder)"},
        {"a file named like the folder counts as present", {"MediaCache"}, nullptr, true, "(a file)"},
        {"the shell fails: no message", {"MediaCache\\a.bin"},
         [](SystemCalls& calls) { calls.Fail("SHFileOperationA*", 0x7C); }, true, "a.bin"},
        {"the module's path cannot be read: nothing is deleted", {"MediaCache\\a.bin"},
         [](SystemCalls& calls) { calls.Fail("GetModuleFileNameA*", 0); }, false, "a.bin"},
        // Cut to the path buffer, it would name the player's directory.
        {"the module's path is too long: nothing is deleted", {"MediaCache\\a.bin"},
         [](SystemCalls& calls) { calls.PretendModulePath(PlayerDirectory() + std::string(300, 'x')); }, false,
         "a.bin"},
    };
    for (const CacheRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        RemoveTree(cache);
        for (const std::string& file : row.files) {
            if (file.back() == '\\')
                CreateDirectoryA((PlayerDirectory() + file).c_str(), nullptr);
            else
                WriteFile(PlayerDirectory() + file, "cached");
        }
        calls->Reset();
        if (row.faults)
            row.faults(*calls);
        // No message either way, and the button is enabled again.
        EXPECT_EQ(Play({}, [](User& user, sim::SimEngine&) {
                      user.Click(1002);
                      return MessageBox(user) + (IsWindowEnabled(user.Item(1002)) ? "" : "disabled");
                  }),
                  "");
        EXPECT_EQ(Joined(calls->Calls({"SHFileOperationA*", "Sleep*"})),
                  row.deletes ? "SHFileOperationA 3 " + cache +
                                    "\\*.*\\0\\0 to null flags 0x510 aborted 0 mappings null title Clearing Media "
                                    "Cache owner Kestrova Dad Azizov Settings with 1002 disabled; Sleep 100"
                              : "");
        EXPECT_EQ(Tree(cache), row.left);
    }
    DeleteFileA(cache.c_str());
}

struct Keyed {
    HKEY root;
    std::string key;
    std::vector<Stored> values;
};

struct ReportRow {
    const char* scenario;
    std::vector<Keyed> registry;
    const char* control;  // shown in 1008
    const char* plugin;   // shown in 1010
    const char* probed;   // the browser keys read, "; "-joined
};

TEST_F(ConfigTest, AdvancedInformationShowsTheInstalledPlayerVersions)
{
    const std::string browser = Scratch("browser");
    Install("1_2_3_4", browser + "\\plugins\\zaredazaro.dll");
    Install("2_0_1_7", Scratch("navigator") + "\\zaredazaro.dll");
    Install("no_fixed_part", Scratch("nofixed") + "\\plugins\\zaredazaro.dll");
    Install("65535_0_0_1", Scratch("control.dll"));
    const std::string netscape = "SOFTWARE\\Netscape\\Netscape";
    const std::string mozilla = "SOFTWARE\\mozilla.org\\Mozilla";
    const std::string navigator = "SOFTWARE\\Netscape\\Netscape Navigator";
    const auto version = [](const std::string& key, const char* text) {
        return Keyed{HKEY_LOCAL_MACHINE, key, {Text("CurrentVersion", text)}};
    };
    const auto directory = [](const std::string& key, const char* value, const std::string& path) {
        return Keyed{HKEY_LOCAL_MACHINE, key, {Text(value, path)}};
    };
    const ReportRow rows[] = {
        {"the control, and row 1 finds the plug-in: no other row is read",
         {{HKEY_CLASSES_ROOT, kControlKey, {Text("", Scratch("control.dll"))}}, version(netscape, "7.1"),
          directory(netscape + "\\7.1\\Main", "Install Directory", browser), version(mozilla, "1.7"),
          directory(mozilla + "\\1.7\\Main", "Install Directory", browser)},
         "65535.0.0.1", "1.2.3.4 [7.1]", "Netscape\\Netscape; Netscape\\Netscape\\7.1\\Main"},
        {"row 2: the Mozilla organisation's key",
         {version(mozilla, "1.7"), directory(mozilla + "\\1.7\\Main", "Install Directory", browser)}, "",
         "1.2.3.4 [1.7]", "Netscape\\Netscape; mozilla.org\\Mozilla; mozilla.org\\Mozilla\\1.7\\Main"},
        {"row 3: version 6 keeps its directories with the others",
         {version(netscape + " 6", "6.2"), directory(netscape + "\\6.2\\Main", "Install Directory", browser)}, "",
         "1.2.3.4 [6.2]",
         "Netscape\\Netscape; mozilla.org\\Mozilla; Netscape\\Netscape 6; Netscape\\Netscape\\6.2\\Main"},
        {"row 1 names no plug-in file, row 4's plug-ins directory holds it",
         {version(netscape, "7.1"), directory(netscape + "\\7.1\\Main", "Install Directory", Scratch("empty")),
          version(navigator, "4.8"), directory(navigator + "\\4.8\\Main", "Plugins Directory", Scratch("navigator"))},
         "", "2.0.1.7 [4.8]",
         "Netscape\\Netscape; Netscape\\Netscape\\7.1\\Main; mozilla.org\\Mozilla; Netscape\\Netscape 6; "
         "Netscape\\Netscape Navigator; Netscape\\Netscape Navigator\\4.8\\Main"},
        {"a plug-in without a file version still counts as found",
         {version(netscape, "7.1"), directory(netscape + "\\7.1\\Main", "Install Directory", Scratch("nofixed"))}, "",
         " [7.1]", "Netscape\\Netscape; Netscape\\Netscape\\7.1\\Main"},
        {"nothing installed", {}, "", "",
         "Netscape\\Netscape; mozilla.org\\Mozilla; Netscape\\Netscape 6; Netscape\\Netscape Navigator"},
    };
    for (const ReportRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        DeleteKey(HKEY_CLASSES_ROOT, "CLSID\\{6E3A91D4-2B7C-4F05-A8D1-93C47E52B0A6}");
        DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape");
        DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\mozilla.org");
        for (const Keyed& keyed : row.registry)
            Store(keyed.root, keyed.key, keyed.values);
        calls->Forget();
        EXPECT_EQ(Play({}, [](User& user, sim::SimEngine&) { return user.Text(1008) + " | " + user.Text(1010); }),
                  row.control + std::string(" | ") + row.plugin);
        std::string probed;
        for (const std::string& open : calls->Calls({"RegOpenKeyExA HKLM\\SOFTWARE\\*"}))
            probed += (probed.empty() ? "" : "; ") + open.substr(28, open.size() - 28 - 8);
        EXPECT_EQ(probed, row.probed);
    }
}

struct LibraryRow {
    const char* scenario;
    std::vector<Stored> stored;  // under the installation key
    std::function<void(SystemCalls&)> faults;
    const char* listed;          // the rows after the column headings
    std::string installPath;     // the value afterwards; "": as stored
};

TEST_F(ConfigTest, InstalledComponentsListTheVersionedLibrariesSorted)
{
    const std::string libs = Scratch("libs");
    RemoveTree(libs);
    Install("1_2_3_4", libs + "\\zeta.dll");
    Install("2_0_1_7", libs + "\\Alpha.dll");
    Install("4_5_6_7", libs + "\\sub\\mid.dll");
    Install("1_2_3_4", libs + "\\folder.dll\\inner.dll");
    Install("no_fixed_part", libs + "\\nofixed.dll");
    Install("no_version", libs + "\\nover.dll");
    Install("1_2_3_4", libs + "\\x.dllx");
    WriteFile(libs + "\\zero.dll", "");
    WriteFile(libs + "\\readme.txt", "not a library");
    const std::string all = "Alpha.dll 2.0.1.7 | folder.dll\\inner.dll 1.2.3.4 | nofixed.dll  | sub\\mid.dll 4.5.6.7 | "
                            "zeta.dll 1.2.3.4";
    const std::string noVersions = "Alpha.dll  | folder.dll\\inner.dll  | nofixed.dll  | sub\\mid.dll  | zeta.dll ";
    const LibraryRow rows[] = {
        {"a path without a separator gets one, written back", {Text("InstallPath", libs)}, nullptr, all.c_str(),
         "InstallPath=REG_SZ \"\\libs\\\\0\""},
        {"a path with a backslash is left as it is", {Text("InstallPath", libs + "\\")}, nullptr, all.c_str(), ""},
        {"a path with a slash is left as it is", {Text("InstallPath", libs + "/")}, nullptr,
         "Alpha.dll 2.0.1.7 | folder.dll\\inner.dll 1.2.3.4 | nofixed.dll  | sub\\mid.dll 4.5.6.7 | zeta.dll 1.2.3.4",
         ""},
        {"an expandable path is written back as plain text", {Text("InstallPath", libs, REG_EXPAND_SZ)}, nullptr,
         all.c_str(), "InstallPath=REG_SZ \"\\libs\\\\0\""},
        {"a path that cannot be written back is still listed", {Text("InstallPath", libs)},
         [](SystemCalls& calls) { calls.Fail("RegOpenKeyExA HKLM\\Software\\Kestrova\\DadAzizov 0x20006", 5); },
         all.c_str(), ""},
        {"an empty path lists nothing", {Text("InstallPath", "")}, nullptr, "", ""},
        {"no path lists nothing", {}, nullptr, "", "(no key)"},
        // 260 bytes are read; with its separator it no longer fits a path
        // buffer, so it is repaired but nothing is listed.
        {"a path of 259 characters", {Text("InstallPath", "C:\\" + std::string(256, 'x'))}, nullptr, "",
         "InstallPath=REG_SZ \"C:\\" + std::string(256, 'x') + "\\\\0\""},
        {"a library whose version size cannot be read is left out", {Text("InstallPath", libs + "\\")},
         [](SystemCalls& calls) { calls.Fail("GetFileVersionInfoSizeA *zeta.dll", 0); },
         "Alpha.dll 2.0.1.7 | folder.dll\\inner.dll 1.2.3.4 | nofixed.dll  | sub\\mid.dll 4.5.6.7", ""},
        {"version information that cannot be read", {Text("InstallPath", libs + "\\")},
         [](SystemCalls& calls) { calls.Fail("GetFileVersionInfoA*", 0); }, noVersions.c_str(), ""},
        {"no fixed file information", {Text("InstallPath", libs + "\\")},
         [](SystemCalls& calls) { calls.Fail("VerQueryValueA*", 0); }, noVersions.c_str(), ""},
        {"no memory for the version block", {Text("InstallPath", libs + "\\")},
         [](SystemCalls& calls) { calls.Fail("GlobalAlloc*", 0); }, noVersions.c_str(), ""},
    };
    for (const LibraryRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        DeleteKey(HKEY_LOCAL_MACHINE, kInstallKey);
        if (!row.stored.empty())
            Store(HKEY_LOCAL_MACHINE, kInstallKey, row.stored);
        const std::string before = KeyText(HKEY_LOCAL_MACHINE, kInstallKey);
        calls->Reset();
        if (row.faults)
            row.faults(*calls);
        const std::string listed =
            Play({}, [](User& user, sim::SimEngine&) { return ComponentsList(user.Item(1007)); });
        EXPECT_EQ(listed, "File 220 | Version 70" + std::string(*row.listed ? " | " : "") + row.listed);
        std::string after = KeyText(HKEY_LOCAL_MACHINE, kInstallKey);
        if (!row.installPath.empty() && after.find(libs) != std::string::npos)
            after.replace(after.find(libs), libs.size(), "\\libs");
        EXPECT_EQ(after, row.installPath.empty() ? before : row.installPath);
        // The list repaints nothing while the rows go in, and once at the end.
        EXPECT_EQ(Joined(calls->Calls({"SendMessageA*", "InvalidateRect*"})),
                  "SendMessageA 1007 WM_SETREDRAW 0; SendMessageA 1007 WM_SETREDRAW 1; InvalidateRect 1007 whole erase 1");
    }
}

struct LogRow {
    const char* scenario;
    std::function<void(SystemCalls&)> faults;
    const char* before;  // the log's bytes before; null: no log
    bool heldOpen;       // by another program, with no sharing
    const char* after;
};

TEST_F(ConfigTest, RegistryReaderFailuresAreLoggedBesideTheModule)
{
    const std::string log = PlayerDirectory() + "KestrovaWebPlayer.log";
    const char* const line291 = "\tCatched Exception\t(\\SetupUtils.cpp : Line 291)\r\n";
    const auto raiseInQuery = [](SystemCalls& calls) { calls.Fail("RegQueryValueExA HKCR\\*", 0, true); };
    const LogRow rows[] = {
        {"a failing query: its handler's line", raiseInQuery, nullptr, false, line291},
        {"a failing opening: the outer handler's line",
         [](SystemCalls& calls) { calls.Fail("RegOpenKeyExA HKCR\\*", 0, true); }, nullptr, false,
         "\tCatched Exception\t(\\SetupUtils.cpp : Line 294)\r\n"},
        {"entries follow what the log holds", raiseInQuery, "earlier entry\r\n", false,
         "earlier entry\r\n\tCatched Exception\t(\\SetupUtils.cpp : Line 291)\r\n"},
        {"a log held open elsewhere is left as it is", raiseInQuery, "kept\r\n", true, "kept\r\n"},
        {"a log that cannot be opened loses the entry",
         [](SystemCalls& calls) {
             calls.Fail("RegQueryValueExA HKCR\\*", 0, true);
             calls.Fail("fopen*", 0);
         },
         nullptr, false, "(no file)"},
        {"a module path too long for the log's path loses the entry",
         [](SystemCalls& calls) {
             calls.Fail("RegQueryValueExA HKCR\\*", 0, true);
             // 255 characters fit the path buffer; its folder and the log's
             // name do not.
             calls.PretendModulePath(PlayerDirectory() + std::string(244 - PlayerDirectory().size(), 'x') +
                                     "\\Config.dll");
         },
         nullptr, false, "(no file)"},
    };
    for (const LogRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        DeleteFileA(log.c_str());
        if (row.before != nullptr)
            WriteFile(log, row.before);
        HANDLE holder = row.heldOpen ? CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                     : INVALID_HANDLE_VALUE;
        Store(HKEY_CLASSES_ROOT, kControlKey, {Text("", Scratch("control.dll"))});
        calls->Reset();
        row.faults(*calls);
        EXPECT_EQ(Play({}, [](User& user, sim::SimEngine&) { return user.Text(1008); }), "")
            << "a failed read shows no version";
        if (holder != INVALID_HANDLE_VALUE)
            CloseHandle(holder);
        EXPECT_EQ(ReadFile(log), row.after);
        for (const std::string& open : calls->Calls({"fopen*"}))
            EXPECT_EQ(open, "fopen " + log + " at+");
    }
}

}  // namespace
}  // namespace e2e
