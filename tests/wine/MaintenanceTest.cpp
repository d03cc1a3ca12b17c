// MaintenanceTest.cpp - "&Delete Temporary Files", the "Advanced Information"
// report of installed versions, and the log the module keeps beside itself.
#include "ConfigTest.h"

#include <algorithm>

namespace e2e {
namespace {

namespace fs = std::filesystem;

std::string Scratch(const std::string& name) { return PlayerDirectory() + "..\\" + name; }

// A player installed where a French Windows puts it: spaces and Western European accents (code page 1252).
std::string Accented() { return Scratch("Program Files\\Kestrova \xC9" "ditions\\Lecteur 3D\\"); }

// The module's path: the player's directory and a name making it length characters long.
Faults ModulePathOf(std::size_t length)
{
    return [=](SystemCalls& calls) {
        calls.PretendModulePath(PlayerDirectory() + std::string(length - PlayerDirectory().size() - 4, 'c') + ".dll");
    };
}

// Everything below a directory, sorted: "a.txt, sub\\, sub\\b.txt", or "(no folder)", "(a file)".
std::string Tree(const std::string& directory)
{
    std::error_code error;
    if (!fs::is_directory(directory, error))
        return fs::exists(directory, error) ? "(a file)" : "(no folder)";
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(directory))
        names.push_back(fs::relative(entry.path(), directory).string() + (entry.is_directory() ? "\\" : ""));
    std::sort(names.begin(), names.end());
    return ConfigTest::Joined(names, ", ");
}

// A symbolic link at path (on drive Z:) to the relative target, made by the Unix ln (docs/TESTING.md).
void Link(const std::string& path, const std::string& target)
{
    std::string unixPath = path.substr(2);  // without "Z:"
    std::replace(unixPath.begin(), unixPath.end(), '\\', '/');
    std::string command = "/bin/ln -sfn \"" + target + "\" \"" + unixPath + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << command;
    CloseHandle(process.hProcess), CloseHandle(process.hThread);
    // The handle of a Unix program tells nothing of its end: the link is waited for.
    for (int wait = 0; wait < 500 && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; ++wait)
        Sleep(10);
    ASSERT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "no link made at " << path;
}

struct CacheRow {
    const char* scenario;
    std::vector<std::string> files;  // appended to the cache's path; ending in "\": a folder
    Faults faults;
    bool deletes;                    // the shell is asked to empty the cache
    const char* left;                // what is left of it
    std::string folder = "";         // where the module says it lies; "": the player's directory
};

TEST_F(ConfigTest, DeleteTemporaryFilesEmptiesTheMediaCacheBesideTheModule)
{
    const CacheRow rows[] = {
        {"files, dot files and folders go, the folder stays", {"\\a.bin", "\\.hidden", "\\sub\\deep\\b.bin"}, nullptr,
         true, ""},
        {"no folder: nothing to do", {}, nullptr, false, "(no folder)"},
        {"a file named like the folder counts as present", {""}, nullptr, true, "(a file)"},
        {"the module's path cannot be read: nothing is deleted", {"\\a.bin"}, Failing("GetModuleFileNameA*"), false,
         "a.bin"},
        {"the module's path fills its 260 bytes without a NUL: nothing is deleted", {"\\a.bin"}, ModulePathOf(260),
         false, "a.bin"},
        {"a module path of 259 characters still clears the cache", {"\\a.bin"}, ModulePathOf(259), true, ""},
        // Wine's runtime splits no directory part of 256+ characters; a relative cache would be the player's.
        {"a module path whose directory part has 256 characters: nothing is deleted", {"\\a.bin"},
         [](SystemCalls& calls) { calls.PretendModulePath(Scratch(std::string(257 - Scratch("").size(), 'w')) + "\\x"); },
         false, "a.bin"},
        {"a module in a folder with spaces and accents", {"\\clip \xE9t\xE9.bin", "\\Vid\xE9os\\a.bin"},
         [](SystemCalls& calls) { calls.PretendModulePath(Accented() + "Config.dll"); }, true, "", Accented()},
    };
    for (const CacheRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        const std::string cache = (row.folder.empty() ? PlayerDirectory() : row.folder) + "MediaCache";
        RemoveTree(cache);
        for (const std::string& file : row.files)
            WriteFile(cache + file, "cached");
        calls->Reset(row.faults);
        // No message either way, and the button is enabled again.
        EXPECT_EQ(Play({}, [&](User& user, Player&) {
                      user.Click(1002);
                      return MessageBoxText(user) + (IsWindowEnabled(user.Item(1002)) ? "" : "disabled ") +
                             Joined(calls->Calls({"SHFileOperationA*", "Sleep*"})) + " | left: " + Tree(cache);
                  }),
                  (row.deletes ? "SHFileOperationA 3 " + cache + "\\*.*\\0\\0 to null flags 0x510 title Clearing Media "
                                 "Cache owner Kestrova Dad Azizov Settings with 1002 disabled; Sleep 100" : "") +
                      " | left: " + row.left);
    }
}

struct ReportRow {
    const char* scenario;
    bool control;  // the player's control registered, its file of version 65535.0.0.1
    // Browsers below HKLM\SOFTWARE: key, CurrentVersion, a directory's name and path (and the key holding
    // the versions' directories when it is not the first).
    std::vector<std::vector<std::string>> browsers;
    const char* shown;  // the control's version | the plug-in's
    Faults faults = nullptr;
};

// The browsers are tried in a fixed order; the first whose directories hold the plug-in is shown.
TEST_F(ConfigTest, AdvancedInformationShowsTheInstalledPlayerVersions)
{
    const std::string browser = Scratch("browser");
    Install("1_2_3_4", browser + "\\plugins\\zaredazaro.dll");
    Install("2_0_1_7", Scratch("navigator") + "\\zaredazaro.dll");
    Install("no_fixed_part", Scratch("nofixed") + "\\plugins\\zaredazaro.dll");
    Install("65535_0_0_1", Scratch("control.dll"));
    const std::string netscape = "Netscape\\Netscape", mozilla = "mozilla.org\\Mozilla";
    const std::string navigator = "Netscape\\Netscape Navigator";
    const ReportRow rows[] = {
        {"the control, and the first browser's plug-in", true,
         {{netscape, "7.1", "Install Directory", browser}, {mozilla, "1.7", "Install Directory", browser}},
         "65535.0.0.1 | 1.2.3.4 [7.1]"},
        {"the Mozilla organisation's key", false, {{mozilla, "1.7", "Install Directory", browser}}, " | 1.2.3.4 [1.7]"},
        {"version 6 keeps its directories with the others", false,
         {{netscape + " 6", "6.2", "Install Directory", browser, netscape}}, " | 1.2.3.4 [6.2]"},
        {"the first browser names no plug-in file, the navigator's plug-ins directory holds it", false,
         {{netscape, "7.1", "Install Directory", Scratch("empty")}, {navigator, "4.8", "Plugins Directory", Scratch("navigator")}},
         " | 2.0.1.7 [4.8]"},
        {"a plug-in without a file version still counts as found", false,
         {{netscape, "7.1", "Install Directory", Scratch("nofixed")}}, " |  [7.1]"},
        {"a browser whose keys cannot be named for want of memory: the next browser's plug-in", false,
         {{netscape, "7.1", "Install Directory", browser}, {mozilla, "1.7", "Install Directory", browser}},
         " | 1.2.3.4 [1.7]", StarvingAfter("RegCloseKey HKLM\\SOFTWARE\\Netscape\\Netscape")},
        {"nothing installed", false, {}, " | "},
    };
    for (const ReportRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        ClearPlayer();
        if (row.control)
            Store(HKEY_CLASSES_ROOT, kControlKey, {Text("", Scratch("control.dll"))});
        for (const auto& b : row.browsers) {
            Store(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + b[0], {Text("CurrentVersion", b[1])});
            Store(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + b[b.size() > 4 ? 4 : 0] + "\\" + b[1] + "\\Main", {Text(b[2], b[3])});
        }
        calls->Reset(row.faults);
        EXPECT_EQ(Play({}, [](User& user, Player&) { return Shown(user, 1008) + " | " + Shown(user, 1010); }),
                  row.shown);
    }
}

struct LibraryRow {
    const char* scenario;
    std::vector<Stored> stored;  // under the installation key
    Faults faults;
    std::string listed;          // the rows after the column headings
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
    Install("1_2_3_4", libs + "\\x.dllx");
    WriteFile(libs + "\\zero.dll", "");  // no version information
    WriteFile(libs + "\\readme.txt", "not a library");
    const std::string all = " | Alpha.dll 2.0.1.7 | folder.dll\\inner.dll 1.2.3.4 | nofixed.dll  | sub\\mid.dll 4.5.6.7 | "
                            "zeta.dll 1.2.3.4", repaired = "InstallPath=REG_SZ \"" + libs + "\\\\0\"";
    const std::vector<Stored> path = {Text("InstallPath", libs + "\\")};
    // Directories of 258 and 259 characters holding a library, and one where its path has 259.
    const std::string longDirs = Scratch("long\\"), d258 = longDirs + std::string(258 - longDirs.size(), 'd');
    const std::string d259 = d258 + "e", d253 = longDirs + std::string(253 - longDirs.size(), 'f');
    for (const std::string& directory : {d258, d259, d253})
        Install("1_2_3_4", directory + "\\x.dll");
    // An installation holding two links back to itself and one to a folder elsewhere; one with accents.
    const std::string links = Scratch("links\\"), linked = " | a.dll 1.2.3.4 | sub\\b.dll 4.5.6.7";
    Install("1_2_3_4", links + "a.dll");
    Install("4_5_6_7", links + "sub\\b.dll");
    Install("2_0_1_7", Scratch("elsewhere\\c.dll"));
    Link(links + "loop", ".");
    Link(links + "sub\\back", "..");
    Link(links + "elsewhere", "../elsewhere");
    Install("2_0_1_7", Accented() + "Biblioth\xE8ques\\d\xE9" "codeur vid\xE9o.dll");
    const LibraryRow rows[] = {
        {"a path without a separator gets one, written back", {Text("InstallPath", libs)}, nullptr, all, repaired},
        {"a path with a backslash is left as it is", path, nullptr, all, ""},
        {"a path with a slash is left as it is", {Text("InstallPath", libs + "/")}, nullptr, all, ""},
        {"an empty path lists nothing", {Text("InstallPath", "")}, nullptr, "", ""},
        {"no path lists nothing", {}, nullptr, "", "(no key)"},
        // 260 bytes are read; with its separator it no longer fits: repaired, nothing listed.
        {"an existing directory of 259 characters", {Text("InstallPath", d259)}, nullptr, "",
         "InstallPath=REG_SZ \"" + d259 + "\\\\0\""},
        // Its search pattern, "*" added, needs 261 bytes (and Wine's runtime does not split it).
        {"an existing directory of 259 characters with its separator is not searched",
         {Text("InstallPath", d258 + "\\")}, nullptr, "", ""},
        {"a library whose path has 259 characters is listed", {Text("InstallPath", d253 + "\\")}, nullptr,
         " | x.dll 1.2.3.4", ""},
        {"a path of exactly 260 bytes stored without a NUL is read whole", {{"InstallPath", REG_BINARY, d259 + "x"}},
         nullptr, "", "InstallPath=REG_SZ \"" + d259 + "x\\\\0\""},
        // 261 bytes with its NUL do not fit: not read at all.
        {"a path of 260 characters is neither listed nor written", {Text("InstallPath", "C:\\" + std::string(257, 'x'))},
         nullptr, "", ""},
        {"links are not followed: each library once, none from elsewhere", {Text("InstallPath", links)}, nullptr,
         linked, ""},
        {"links a share shows as plain folders: no folder is listed twice", {Text("InstallPath", links)},
         [](SystemCalls& calls) { calls.HideLinks(); }, " | a.dll 1.2.3.4 | elsewhere\\c.dll 2.0.1.7 | sub\\b.dll 4.5.6.7",
         ""},
        {"a subfolder that cannot be opened is left out", {Text("InstallPath", links)},
         Failing("CreateFileA *\\sub\\ *", -1), " | a.dll 1.2.3.4", ""},
        {"a folder with spaces and accents", {Text("InstallPath", Accented())}, nullptr,
         " | Biblioth\xE8ques\\d\xE9" "codeur vid\xE9o.dll 2.0.1.7", ""},
    };
    for (const LibraryRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        DeleteKey(HKEY_LOCAL_MACHINE, kInstallKey);
        if (!row.stored.empty())
            Store(HKEY_LOCAL_MACHINE, kInstallKey, row.stored);
        const std::string before = KeyText(HKEY_LOCAL_MACHINE, kInstallKey);
        calls->Reset(row.faults);
        EXPECT_EQ(Play({}, [](User& user, Player&) { return ComponentsList(user.Item(1007)); }),
                  "File 220 | Version 70" + row.listed);
        EXPECT_EQ(KeyText(HKEY_LOCAL_MACHINE, kInstallKey), row.installPath.empty() ? before : row.installPath);
    }
}

struct LogRow {
    const char* scenario;
    Faults faults;
    std::string folder;   // where the module says it lies, ending with a backslash; "": the player's directory
    const char* before;   // the log's bytes before; null: no log
    std::string after;
};

// The reader's exceptions start inside the module: its runtime runs out of memory copying what it read.
TEST_F(ConfigTest, RegistryReaderFailuresAreLoggedBesideTheModule)
{
    const char* const query = "RegQueryValueExA HKCR\\*";
    // A folder of 238 characters: with its separator and the log's name, 260.
    const std::string folder238 = Scratch(std::string(235 - PlayerDirectory().size(), 'x')) + "\\";
    const Faults starved = StarvingAfter(query);
    Store(HKEY_CLASSES_ROOT, kControlKey, {Text("", Scratch("control.dll"))});
    // The file part of the reader's source, whatever machine built the module.
    const std::string entry = "\tCatched Exception\t(\\SetupUtils.cpp : Line 291)\r\n";
    const LogRow rows[] = {
        {"memory exhausted from the query on: still one whole entry", StarvingAfter(query, true), "", nullptr, entry},
        {"entries follow what the log holds", starved, "", "earlier entry\r\n", "earlier entry\r\n" + entry},
        // The folder and the log's name make 260 characters: with the NUL they do not fit.
        {"a log path of 260 characters loses the entry", starved, folder238, nullptr, "(no file) (not opened)"},
        {"a module in a folder with spaces and accents", starved, Accented(), nullptr, entry},
    };
    for (const LogRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        const std::string log = (row.folder.empty() ? PlayerDirectory() : row.folder) + "KestrovaWebPlayer.log";
        if (!row.folder.empty())
            WriteFile(row.folder, "");
        DeleteFileA(log.c_str());
        if (row.before != nullptr)
            WriteFile(log, row.before);
        calls->Reset(row.faults);
        if (!row.folder.empty())
            calls->PretendModulePath(row.folder + "Config.dll");
        EXPECT_EQ(Play({}, [&](User& user, Player&) { return Shown(user, 1008); }), "") << "a failed read shows no version";
        EXPECT_EQ(ReadFile(log) + (calls->Calls({"fopen*"}).empty() ? " (not opened)" : ""), row.after);
    }
}

}  // namespace
}  // namespace e2e
