// DiagnosticLogE2eTest.cpp - log_e2e: the module's diagnostic log written
// by the real Windows C runtime. The entries are made by the module's own
// log code, compiled into this program; its module handle is the
// program's, so the log lands beside log_e2e.exe. Under Wine the registry
// reader never meets an exception, so the module itself cannot be made to
// log there: this is where the bytes are checked.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConfigModule.h"
#include "DiagnosticLog.h"
#include "ScratchFiles.h"

// Paths.cpp finds the log beside the module whose handle this is.
plat::Module ModuleInstance = GetModuleHandleA(nullptr);

namespace {

using e2e::JoinPath;
using e2e::PathExists;
using e2e::ProgramFolder;
using e2e::ReadFileBytes;

// The source path the registry reader passes, as the build turns it into
// backslashes; only its last component reaches the log.
const char kReaderSource[] = "Z:\\work\\main\\Utilities\\Config\\SetupUtils.cpp";

std::string LogPath() { return ProgramFolder() + "KestrovaWebPlayer.log"; }

std::string LogBytes()
{
    std::string bytes = "(no log)";
    ReadFileBytes(LogPath(), &bytes);
    return bytes;
}

// The registry reader's two calls when it catches an exception.
void LogCaughtException(int line)
{
    LogMessage("\t", nullptr, 0);
    LogMessage("Catched Exception", kReaderSource, line);
}

class DiagnosticLog : public ::testing::Test {
protected:
    void SetUp() override { e2e::RemoveTree(LogPath()); }
    void TearDown() override { e2e::RemoveTree(LogPath()); }
};

struct Entry {
    const char* message;
    const char* sourceFile;
    int line;
};

struct LogCase {
    const char* name;
    bool existing;
    std::string before;
    std::vector<Entry> entries;  // none: the caught-exception pair, line 291
    std::string expected;
};

const char kCaught291[] = "\tCatched Exception\t(\\SetupUtils.cpp : Line 291)\r\n";

TEST_F(DiagnosticLog, EntriesAreAppendedInTextModeWithCrLf)
{
    const LogCase cases[] = {
        {"a new log holds the caught-exception line", false, "", {}, kCaught291},
        {"earlier entries stay in front", true, "older entry\r\n", {}, std::string("older entry\r\n") + kCaught291},
        {"a last line without its end is continued", true, "partial", {}, std::string("partial") + kCaught291},
        {"an empty log", true, "", {}, kCaught291},
        {"entries without a place are written bare, with no line end", false, "",
         {{"plain", "C:\\src\\file.cpp", 0}, {"no location", nullptr, 12}}, "plainno location"},
        {"line feeds inside a message become CR LF, carriage returns stay", false, "",
         {{"two\nlines\r\n", nullptr, 0}}, "two\r\nlines\r\r\n"},
        {"a place with a negative line and no folder", false, "", {{"whole", "noslash.cpp", -3}},
         "whole\t(noslash.cpp : Line -3)\r\n"},
    };
    for (const LogCase& row : cases) {
        SCOPED_TRACE(row.name);
        e2e::RemoveTree(LogPath());
        if (row.existing)
            e2e::MakeFile(LogPath(), row.before);
        if (row.entries.empty())
            LogCaughtException(291);
        for (const Entry& entry : row.entries)
            LogMessage(entry.message, entry.sourceFile, entry.line);
        EXPECT_EQ(row.expected, LogBytes());
    }
}

TEST_F(DiagnosticLog, ADeletedLogIsCreatedAgainByTheNextEntry)
{
    LogCaughtException(291);
    ASSERT_EQ(kCaught291, LogBytes());
    ASSERT_TRUE(DeleteFileA(LogPath().c_str())) << "error " << GetLastError();
    LogCaughtException(294);
    EXPECT_EQ("\tCatched Exception\t(\\SetupUtils.cpp : Line 294)\r\n", LogBytes()) << "only the new entry";
}

// The player may be reading the log while the module writes: a log held
// open without sharing loses the entry, and nothing is raised.
TEST_F(DiagnosticLog, ALogHeldOpenElsewhereLosesTheEntryQuietly)
{
    e2e::MakeFile(LogPath(), "kept\r\n");
    {
        e2e::HeldOpenFile reader(LogPath());
        LogCaughtException(291);
    }
    EXPECT_EQ("kept\r\n", LogBytes());
    LogCaughtException(294);
    EXPECT_EQ(std::string("kept\r\n") + "\tCatched Exception\t(\\SetupUtils.cpp : Line 294)\r\n", LogBytes())
        << "once the log is free again, the next entry is written";
}

TEST_F(DiagnosticLog, TheLogLiesBesideTheModuleWhateverTheCurrentFolder)
{
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string elsewhere = JoinPath(temp, "KestrovaLogE2e");
    e2e::RemoveTree(elsewhere);
    e2e::MakeFolders(elsewhere);
    char previous[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(elsewhere.c_str()));

    LogMessage("entry", nullptr, 0);

    SetCurrentDirectoryA(previous);
    EXPECT_EQ("entry", LogBytes()) << "beside the module: " << LogPath();
    EXPECT_EQ(std::vector<std::string>(), e2e::FolderTree(elsewhere)) << "nothing in the current folder";
    e2e::RemoveTree(elsewhere);
}

}  // namespace
