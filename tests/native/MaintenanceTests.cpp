// Media cache clearing, the registry and version readers, the diagnostic
// log and the installed-components report, on the in-memory platform.
#include "ModuleFixture.h"

#include <functional>

#include "ComponentInfo.h"
#include "DiagnosticLog.h"
#include "MediaCache.h"
#include "Paths.h"
#include "SetupUtils.h"
#include "resources/resource.h"

namespace {

const char kPlayerDir[] = "C:\\Program Files\\Kestrova\\Player";
const char kModulePath[] = "C:\\Program Files\\Kestrova\\Player\\Config.dll";
const char kLogPath[] = "C:\\Program Files\\Kestrova\\Player\\KestrovaWebPlayer.log";
const char kCacheDir[] = "C:\\Program Files\\Kestrova\\Player\\MediaCache";

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

}  // namespace

class MaintenanceTest : public ModuleTest {
protected:
    void SetUp() override
    {
        ModuleTest::SetUp();
        memplat::SetModulePath(kModulePath);
        memplat::PutDirectory(kPlayerDir);
    }
    void TearDown() override
    {
        EXPECT_EQ(0, memplat::OpenStreamCount()) << "log streams left open";
        EXPECT_EQ(0, memplat::OpenFindCount()) << "directory searches left open";
        EXPECT_EQ(0, memplat::GlobalBlockCount()) << "version blocks not freed";
        ModuleTest::TearDown();
    }
    void Fresh()
    {
        memplat::Reset();
        SetUp();
    }
};

TEST_F(MaintenanceTest, PathsSplitAndJoinAsTheRuntimeDoes)
{
    struct SplitCase {
        std::string path, drive, directory, name, extension;
    };
    const SplitCase cases[] = {
        {"C:\\Program Files\\Kestrova\\Config.dll", "C:", "\\Program Files\\Kestrova\\", "Config", ".dll"},
        {"C:/a.b/c", "C:", "/a.b/", "c", ""},
        {"\\\\server\\share\\x.tar.gz", "", "\\\\server\\share\\", "x.tar", ".gz"},
        {"Config.dll", "", "", "Config", ".dll"},
        {".hidden", "", "", "", ".hidden"},
        {"D:", "D:", "", "", ""},
        {"dir\\", "", "dir\\", "", ""},
        {"", "", "", "", ""},
    };
    for (const SplitCase& c : cases) {
        const PathParts parts = SplitPath(c.path);
        EXPECT_EQ(c.drive + "|" + c.directory + "|" + c.name + "|" + c.extension,
                  parts.drive + "|" + parts.directory + "|" + parts.name + "|" + parts.extension)
            << c.path;
    }
    struct MakeCase {
        std::string drive, directory, name, extension, path;
    };
    const MakeCase makes[] = {
        {"C:", "\\dir", "MediaCache", "", "C:\\dir\\MediaCache"},
        {"C", "\\dir/", "f", "txt", "C:\\dir/f.txt"},
        {"", "C:\\cache", "*", ".*", "C:\\cache\\*.*"},
        {"", "", "KestrovaWebPlayer.log", "", "KestrovaWebPlayer.log"},
        {"", "", "", "", ""},
    };
    for (const MakeCase& c : makes)
        EXPECT_EQ(c.path, MakePath(c.drive, c.directory, c.name, c.extension));
}

TEST_F(MaintenanceTest, LogEntriesAreAppendedByteForByte)
{
    memplat::PutFile(kLogPath, "older entry\r\n");
    LogMessage("\t", nullptr, 0);
    LogMessage("Catched Exception", "C:\\src\\Utilities\\Config\\SetupUtils.cpp", 291);
    LogMessage("plain", "C:\\src\\file.cpp", 0);
    LogMessage("no location", nullptr, 12);
    LogMessage("whole", "noslash.cpp", -3);
    LogMessage("leading", "\\only.cpp", 1);
    LogMessage("trailing", "dir\\", 2);
    LogMessage("forward", "a/b/c.cpp", 3);
    EXPECT_EQ("older entry\r\n"
              "\tCatched Exception\t(\\SetupUtils.cpp : Line 291)\r\n"
              "plain"
              "no location"
              "whole\t(noslash.cpp : Line -3)\r\n"
              "leading\t(\\only.cpp : Line 1)\r\n"
              "trailing\t(\\ : Line 2)\r\n"
              "forward\t(a/b/c.cpp : Line 3)\r\n",
              memplat::FileBytes(kLogPath));
}

TEST_F(MaintenanceTest, LogEntriesAreLostSilentlyWhenTheLogCannotBeWritten)
{
    struct LostCase {
        const char* what;
        std::function<void()> arrange;
        std::string logPath;
    };
    const std::string deep = std::string("C:\\") + std::string(235, 'd');  // log path of exactly 260 characters
    const LostCase cases[] = {
        {"module path unreadable", [] { memplat::SetModulePath(""); }, kLogPath},
        {"module path too long for its buffer",
         [] { memplat::SetModulePath(std::string("C:\\") + std::string(300, 'x') + "\\Config.dll"); }, kLogPath},
        {"log path one byte too long", [&] {
             memplat::PutDirectory(deep);
             memplat::SetModulePath(deep + "\\Config.dll");
         }, deep + "\\KestrovaWebPlayer.log"},
        {"directory not writable", [] { memplat::SetReadOnly(kPlayerDir, true); }, kLogPath},
        {"log locked by another process", [] {
             memplat::PutFile(kLogPath, "kept");
             memplat::SetLocked(kLogPath, true);
         }, kLogPath},
    };
    for (const LostCase& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        c.arrange();
        const std::string before = memplat::FileBytes(c.logPath);
        LogMessage("entry", "x\\y.cpp", 5);
        EXPECT_EQ(before, memplat::FileBytes(c.logPath));
        EXPECT_EQ(0, memplat::OpenStreamCount());
    }
    // One byte shorter fits: the entry is written.
    Fresh();
    const std::string fits = std::string("C:\\") + std::string(234, 'd');
    memplat::PutDirectory(fits);
    memplat::SetModulePath(fits + "\\Config.dll");
    LogMessage("entry", nullptr, 0);
    EXPECT_EQ("entry", memplat::FileBytes(fits + "\\KestrovaWebPlayer.log"));
}

TEST_F(MaintenanceTest, ReadRegistryStringTakesAnyValueAsText)
{
    const char key[] = "Software\\Kestrova\\Readers";
    struct ReadCase {
        const char* what;
        const char* valueName;
        plat::Dword type;
        std::string bytes;  // stored; nothing stored when type is REG_NONE and bytes empty
        std::int32_t result;
        std::string out;  // "before" when unchanged
    };
    const std::string longest(259, 'a'), tooLong(260, 'b');
    const ReadCase cases[] = {
        {"default value", nullptr, plat::kRegSz, Sz("C:\\ctl.dll"), 1, "C:\\ctl.dll"},
        {"259 characters", "v", plat::kRegSz, Sz(longest), 1, longest},
        {"260 characters", "v", plat::kRegSz, Sz(tooLong), 0, "before"},
        {"missing value", "absent", plat::kRegNone, "", 0, "before"},
        {"number", "v", plat::kRegDword, std::string("\x31\x32\x00\x33", 4), 1, "12"},
        {"bytes without NUL", "v", plat::kRegBinary, "abc", 1, "abc"},
        {"260 bytes without NUL fit whole", "v", plat::kRegBinary, std::string(260, 'c'), 1, std::string(260, 'c')},
        {"expandable text not expanded", "v", plat::kRegExpandSz, Sz("%WINDIR%"), 1, "%WINDIR%"},
        {"empty text", "v", plat::kRegSz, Sz(""), 1, ""},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        if (c.type != plat::kRegNone)
            memplat::PutValue(plat::HKeyLocalMachine(), key, c.valueName != nullptr ? c.valueName : "", c.type,
                              c.bytes);
        else
            memplat::PutDword(plat::HKeyLocalMachine(), key, "other", 1);
        std::string out = "before";
        EXPECT_EQ(c.result, ReadRegistryString(plat::HKeyLocalMachine(), key, c.valueName, out));
        EXPECT_EQ(c.out, out);
    }
    Fresh();
    std::string out = "before";
    EXPECT_EQ(0, ReadRegistryString(plat::HKeyLocalMachine(), "Software\\Missing", "v", out));
    EXPECT_EQ("before", out);
}

TEST_F(MaintenanceTest, ExceptionsInTheRegistryReaderAreLoggedWithTheirHandler)
{
    struct FaultCase {
        const char* function;
        const char* line;
    };
    const FaultCase cases[] = {{"RegQueryValueExA", "291"}, {"RegOpenKeyExA", "294"}};
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.function);
        Fresh();
        memplat::PutValue(plat::HKeyLocalMachine(), "Software\\K", "v", plat::kRegSz, Sz("text"));
        memplat::ThrowOnCall(c.function);
        std::string out = "before";
        EXPECT_EQ(0, ReadRegistryString(plat::HKeyLocalMachine(), "Software\\K", "v", out));
        EXPECT_EQ("before", out);
        EXPECT_EQ(std::string("\tCatched Exception\t(\\SetupUtils.cpp : Line ") + c.line + ")\r\n",
                  memplat::FileBytes(kLogPath));
        EXPECT_EQ(0, memplat::OpenKeyCount()) << "the query's handler still closes the key";
    }
    // The query fails and so does the first log entry of its handler: the
    // outer handler logs, and the key stays open as it had no part in it.
    Fresh();
    memplat::PutValue(plat::HKeyLocalMachine(), "Software\\K", "v", plat::kRegSz, Sz("text"));
    memplat::ThrowOnCall("RegQueryValueExA");
    memplat::ThrowOnCall("OpenFileStream");
    std::string out = "before";
    EXPECT_EQ(0, ReadRegistryString(plat::HKeyLocalMachine(), "Software\\K", "v", out));
    EXPECT_EQ("\tCatched Exception\t(\\SetupUtils.cpp : Line 294)\r\n", memplat::FileBytes(kLogPath));
    EXPECT_EQ(1, memplat::OpenKeyCount());
    memplat::Reset();  // the open key is part of what that path leaves behind
}

TEST_F(MaintenanceTest, FileVersionIsTheFixedFileVersion)
{
    struct VersionCase {
        const char* what;
        std::function<void(const std::string&)> arrange;
        std::int32_t result;
        std::string text;
    };
    const VersionCase cases[] = {
        {"ordinary", [](const std::string& p) { memplat::PutVersionedFile(p, {1, 0, 0, 0, true}); }, 0, "1.0.0.0"},
        {"unsigned fields", [](const std::string& p) { memplat::PutVersionedFile(p, {65535, 0, 0, 1, true}); }, 0,
         "65535.0.0.1"},
        {"no fixed part", [](const std::string& p) { memplat::PutVersionedFile(p, {1, 2, 3, 4, false}); }, 0, ""},
        {"no version resource", [](const std::string& p) { memplat::PutFile(p, "MZ"); }, -1, ""},
        {"missing file", [](const std::string&) {}, -1, ""},
        {"block cannot be allocated", [](const std::string& p) {
             memplat::PutVersionedFile(p, {1, 2, 3, 4, true});
             memplat::FailNextGlobalAlloc();
         }, 0, ""},
    };
    for (const VersionCase& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        const std::string path = std::string(kPlayerDir) + "\\lib.dll";
        c.arrange(path);
        std::string out = "stale";
        EXPECT_EQ(c.result, GetFileVersionString(path.c_str(), out));
        EXPECT_EQ(c.text, out);
        EXPECT_EQ(0, memplat::GlobalBlockCount());
    }
}

TEST_F(MaintenanceTest, ClearingTheCacheDeletesItsContentsThroughTheShell)
{
    memplat::PutFile(std::string(kCacheDir) + "\\scene.k3d", "x");
    memplat::PutFile(std::string(kCacheDir) + "\\noextension", "x");
    memplat::PutFile(std::string(kCacheDir) + "\\.dotfile", "x");
    memplat::PutFile(std::string(kCacheDir) + "\\textures\\deep\\wood.jpg", "x");
    memplat::PutFile(std::string(kCacheDir) + "\\textures\\stone.jpg", "x");
    memplat::SetReadOnly(std::string(kCacheDir) + "\\textures\\stone.jpg", true);
    memplat::PutFile(std::string(kPlayerDir) + "\\keep.dat", "x");
    BareSettings();

    ClearMediaCache(dialog_);

    const std::vector<memplat::FileOperationRecord> operations = memplat::FileOperations();
    ASSERT_EQ(1u, operations.size());
    EXPECT_EQ(dialog_, operations[0].owner);
    EXPECT_EQ(3u, operations[0].function);
    EXPECT_EQ(std::string(kCacheDir) + "\\*.*" + std::string(2, '\0'), operations[0].from);
    EXPECT_FALSE(operations[0].hasTo);
    EXPECT_EQ(0x0510, operations[0].flags);
    EXPECT_EQ(0, operations[0].anyOperationsAborted);
    EXPECT_FALSE(operations[0].hasNameMappings);
    EXPECT_EQ("Clearing Media Cache", operations[0].title);
    EXPECT_EQ(std::vector<plat::Dword>({100}), memplat::Sleeps());
    EXPECT_TRUE(memplat::IsDirectory(kCacheDir)) << "the folder itself stays";
    EXPECT_TRUE(memplat::ListTree(kCacheDir).empty());
    EXPECT_TRUE(memplat::PathExists(std::string(kPlayerDir) + "\\keep.dat"));
    EXPECT_TRUE(plat::IsWindowEnabled(Item(IDC_DELETE_TEMP_FILES)));
}

TEST_F(MaintenanceTest, ClearingTheCacheWithoutAFolderOnlyTogglesTheButton)
{
    struct NoCacheCase {
        const char* what;
        std::function<void()> arrange;
        std::size_t operations;
    };
    const NoCacheCase cases[] = {
        {"no cache folder", [] {}, 0},
        {"a plain file named MediaCache", [] { memplat::PutFile(kCacheDir, "not a folder"); }, 1},
        {"module path unreadable", [] {
             memplat::PutDirectory(kCacheDir);
             memplat::SetModulePath("");
         }, 0},
    };
    for (const NoCacheCase& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        c.arrange();
        BareSettings();
        plat::EnableWindow(Item(IDC_DELETE_TEMP_FILES), 0);
        ClearMediaCache(dialog_);
        EXPECT_EQ(c.operations, memplat::FileOperations().size());
        EXPECT_EQ(c.operations, memplat::Sleeps().size()) << "the pause follows only a shell operation";
        EXPECT_TRUE(plat::IsWindowEnabled(Item(IDC_DELETE_TEMP_FILES)));
        memplat::DestroyDialogWindow(dialog_);
        dialog_ = nullptr;
    }
}

TEST_F(MaintenanceTest, ComponentsReportShowsVersionsAndSortedLibraries)
{
    const std::string install = std::string(kPlayerDir) + "\\";
    memplat::PutValue(plat::HKeyLocalMachine(), kInstallKey, "InstallPath", plat::kRegSz, Sz(kPlayerDir));
    memplat::PutVersionedFile(install + "zeta.dll", {2, 1, 0, 7, true});
    memplat::PutVersionedFile(install + "Alpha.DLL", {1, 0, 0, 0, true});
    memplat::PutVersionedFile(install + "nofixed.dll", {1, 0, 0, 0, false});
    memplat::PutVersionedFile(install + "plugins\\sub.dll", {3, 0, 0, 0, true});
    memplat::PutFile(install + "plain.dll", "MZ");
    memplat::PutVersionedFile(install + "lib.dllx", {9, 9, 9, 9, true});
    memplat::PutVersionedFile(install + "lib.dl", {9, 9, 9, 9, true});
    memplat::PutDirectory(install + "folder.dll");
    // The control and the plug-in, found through the second probe.
    memplat::PutValue(plat::HKeyClassesRoot(), kControlServerKey, "", plat::kRegSz, Sz("C:\\ctl\\player.ocx"));
    memplat::PutVersionedFile("C:\\ctl\\player.ocx", {4, 5, 6, 7, true});
    memplat::PutValue(plat::HKeyLocalMachine(), "SOFTWARE\\mozilla.org\\Mozilla", "CurrentVersion", plat::kRegSz,
                      Sz("1.7.12 (en)"));
    memplat::PutValue(plat::HKeyLocalMachine(), "SOFTWARE\\mozilla.org\\Mozilla\\1.7.12 (en)\\Main",
                      "Install Directory", plat::kRegSz, Sz("C:\\Mozilla"));
    memplat::PutVersionedFile("C:\\Mozilla\\plugins\\zaredazaro.dll", {3, 2, 1, 0, true});

    OpenSettings();

    EXPECT_EQ("4.5.6.7", memplat::WindowText(Item(IDC_IE_VERSION)));
    EXPECT_EQ("3.2.1.0 [1.7.12 (en)]", memplat::WindowText(Item(IDC_NETSCAPE_VERSION)));
    EXPECT_EQ(std::vector<std::string>({"File", "Version"}), memplat::ListViewColumns(Item(IDC_INSTALLED_COMPONENTS)));
    const std::vector<std::vector<std::string>> rows = {
        {"Alpha.DLL", "1.0.0.0"}, {"nofixed.dll", ""}, {"plugins\\sub.dll", "3.0.0.0"}, {"zeta.dll", "2.1.0.7"}};
    EXPECT_EQ(rows, memplat::ListViewRows(Item(IDC_INSTALLED_COMPONENTS)));
    EXPECT_EQ(std::vector<std::string>({"redraw 0", "redraw 1", "invalidate 1"}),
              memplat::PaintJournal(Item(IDC_INSTALLED_COMPONENTS)));
    plat::Dword type = 0;
    std::string stored;
    ASSERT_TRUE(memplat::GetValue(plat::HKeyLocalMachine(), kInstallKey, "InstallPath", &type, &stored));
    EXPECT_EQ(plat::kRegSz, type);
    EXPECT_EQ(Sz(install), stored) << "repaired with its separator, the NUL counted";
}

TEST_F(MaintenanceTest, PluginProbesStopAtTheFirstRowThatFindsThePlugin)
{
    struct ProbeCase {
        const char* what;
        std::function<void()> arrange;
        std::string shown;
    };
    const auto netscape = [](const char* versionKey, const char* version, const char* mainPrefix, const char* value,
                             const char* directory) {
        memplat::PutValue(plat::HKeyLocalMachine(), versionKey, "CurrentVersion", plat::kRegSz, Sz(version));
        memplat::PutValue(plat::HKeyLocalMachine(), std::string(mainPrefix) + version + "\\Main", value, plat::kRegSz,
                          Sz(directory));
    };
    const ProbeCase cases[] = {
        {"row 1 wins over row 2", [&] {
             netscape("SOFTWARE\\Netscape\\Netscape", "7.2", "SOFTWARE\\Netscape\\Netscape\\", "Install Directory",
                      "C:\\NS7");
             memplat::PutVersionedFile("C:\\NS7\\plugins\\zaredazaro.dll", {1, 1, 1, 1, true});
             netscape("SOFTWARE\\mozilla.org\\Mozilla", "1.7", "SOFTWARE\\mozilla.org\\Mozilla\\",
                      "Install Directory", "C:\\Moz");
             memplat::PutVersionedFile("C:\\Moz\\plugins\\zaredazaro.dll", {2, 2, 2, 2, true});
         }, "1.1.1.1 [7.2]"},
        {"row 3 reads its version apart", [&] {
             memplat::PutValue(plat::HKeyLocalMachine(), "SOFTWARE\\Netscape\\Netscape 6", "CurrentVersion",
                               plat::kRegSz, Sz("6.2"));
             memplat::PutValue(plat::HKeyLocalMachine(), "SOFTWARE\\Netscape\\Netscape\\6.2\\Main",
                               "Install Directory", plat::kRegSz, Sz("C:\\NS6\\"));
             memplat::PutVersionedFile("C:\\NS6\\\\plugins\\zaredazaro.dll", {6, 0, 0, 0, true});
         }, "6.0.0.0 [6.2]"},
        {"row 4 has no plugins folder", [&] {
             netscape("SOFTWARE\\Netscape\\Netscape Navigator", "4.8", "SOFTWARE\\Netscape\\Netscape Navigator\\",
                      "Plugins Directory", "C:\\Nav\\Plugins");
             memplat::PutVersionedFile("C:\\Nav\\Plugins\\zaredazaro.dll", {4, 8, 0, 0, true});
         }, "4.8.0.0 [4.8]"},
        {"plug-in without the fixed part", [&] {
             netscape("SOFTWARE\\Netscape\\Netscape", "7.2", "SOFTWARE\\Netscape\\Netscape\\", "Install Directory",
                      "C:\\NS7");
             memplat::PutVersionedFile("C:\\NS7\\plugins\\zaredazaro.dll", {1, 1, 1, 1, false});
         }, " [7.2]"},
        {"a row whose file is missing is passed over", [&] {
             netscape("SOFTWARE\\Netscape\\Netscape", "7.2", "SOFTWARE\\Netscape\\Netscape\\", "Install Directory",
                      "C:\\NS7");
         }, ""},
    };
    for (const ProbeCase& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        c.arrange();
        BareSettings();
        FillComponentInfo(dialog_);
        EXPECT_EQ(c.shown, memplat::WindowText(Item(IDC_NETSCAPE_VERSION)));
        EXPECT_EQ("", memplat::WindowText(Item(IDC_IE_VERSION)));
        memplat::DestroyDialogWindow(dialog_);
        dialog_ = nullptr;
    }
}

TEST_F(MaintenanceTest, InstallPathGetsItsSeparatorOnlyWhenItLacksOne)
{
    struct InstallCase {
        std::string stored;
        plat::Dword type;
        std::string after;  // the stored bytes afterwards
        std::size_t writes;
    };
    const InstallCase cases[] = {
        {Sz("C:\\Player"), plat::kRegSz, Sz("C:\\Player\\"), 1},
        {Sz("C:\\Player\\"), plat::kRegSz, Sz("C:\\Player\\"), 0},
        {Sz("C:/Player/"), plat::kRegSz, Sz("C:/Player/"), 0},
        {Sz("C:\\Player"), plat::kRegExpandSz, Sz("C:\\Player\\"), 1},
        {Sz(""), plat::kRegSz, Sz(""), 0},
    };
    for (const InstallCase& c : cases) {
        SCOPED_TRACE(c.stored);
        Fresh();
        memplat::PutValue(plat::HKeyLocalMachine(), kInstallKey, "InstallPath", c.type, c.stored);
        BareSettings();
        FillComponentInfo(dialog_);
        plat::Dword type = 0;
        std::string bytes;
        memplat::GetValue(plat::HKeyLocalMachine(), kInstallKey, "InstallPath", &type, &bytes);
        EXPECT_EQ(c.after, bytes);
        EXPECT_EQ(c.writes, memplat::RegistryWrites().size());
        if (c.writes != 0) {
            EXPECT_EQ(plat::kRegSz, type) << "written back as REG_SZ whatever it was";
        }
        memplat::DestroyDialogWindow(dialog_);
        dialog_ = nullptr;
    }
}
