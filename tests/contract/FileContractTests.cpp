// FileContractTests.cpp - what the maintenance functions of Config.dll rely
// on when they find their own folder, test for the media cache, list the
// installed libraries and append to the diagnostic log: the module's path,
// file attributes, directory searches and the runtime's text streams.
#include "ContractTest.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace contract {

namespace {

std::string WithSlashes(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// The entries a search yields, each name with a '\' after a folder's,
// sorted: the order of a search is the file system's, not part of the
// contract. Empty when the search found nothing (a null handle).
std::vector<std::string> SearchResult(const std::string& pattern)
{
    std::vector<std::string> entries;
    plat::FindData data;
    std::memset(&data, 0, sizeof data);
    plat::FindHandle find = plat::FindFirstFileA(pattern.c_str(), &data);
    if (find == nullptr)
        return entries;
    do {
        const bool folder = (data.attributes & plat::kFileAttributeDirectory) != 0;
        entries.push_back(std::string(data.name) + (folder ? "\\" : ""));
        std::memset(&data, 0, sizeof data);
    } while (plat::FindNextFileA(find, &data));
    EXPECT_NE(0, plat::FindClose(find)) << "FindClose of a search that ran to its end";
    std::sort(entries.begin(), entries.end());
    return entries;
}

const char kLongName[] = "A rather long name, well beyond eight dot three.settings";

}  // namespace

// Wine 8 cuts a name that does not fit without writing a NUL and returns
// the buffer size, as Windows XP does; later Windows versions write a NUL
// in the last byte instead. The module treats a result equal to the size
// as failure and never reads the cut text.
TEST_F(FileContract, GetModuleFileNameReturnsTheLengthOrTheSizeOfABufferTooSmall)
{
    const std::string path = ProgramPath();
    ASSERT_GT(path.size(), 8u) << "the program's path: " << path;
    const plat::Dword length = static_cast<plat::Dword>(path.size());
    const std::string withNul = path + std::string(1, '\0');
    struct Row {
        const char* what;
        plat::Dword size;
        plat::Dword result;
        std::string written;  // the bytes at the start of the buffer; the rest untouched
    };
    const Row rows[] = {
        {"ample room", length + 40, length, withNul},
        {"exact fit for the name and its NUL", length + 1, length, withNul},
        {"no room for the NUL", length, length, path},
        {"one character short", length - 1, length - 1, path.substr(0, length - 1)},
        {"five bytes", 5, 5, path.substr(0, 5)},
        {"one byte", 1, 1, path.substr(0, 1)},
        {"no room at all", 0, 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.what) + ", size " + std::to_string(row.size) + ", path " + path);
        std::vector<char> buffer(length + 64, '#');
        EXPECT_EQ(row.result, plat::GetModuleFileNameA(nullptr, buffer.data(), row.size));
        EXPECT_EQ(row.written, std::string(buffer.data(), row.written.size()));
        const std::string rest(buffer.begin() + row.written.size(), buffer.end());
        EXPECT_EQ(std::string(rest.size(), '#'), rest) << "bytes written after the expected ones";
    }
}

TEST_F(FileContract, GetFileAttributesTellsFoldersFilesAndReadOnlyFilesWhateverTheSeparatorOrCase)
{
    MakeFolder(Path("Sub"));
    MakeFile(Path("File.txt"), "text");
    MakeFile(Path("ReadOnly.txt"), "text");
    MakeReadOnly(Path("ReadOnly.txt"));
    enum Kind { Missing, Folder, File, ReadOnlyFile };
    struct Row {
        const char* relative;
        Kind kind;
    };
    const Row rows[] = {
        {"", Folder},
        {"Sub", Folder},
        {"SUB", Folder},
        {"sub\\", Folder},
        {"File.txt", File},
        {"fILE.TXT", File},
        {"ReadOnly.txt", ReadOnlyFile},
        {"Missing", Missing},
        {"Missing\\File.txt", Missing},
        {"Sub\\File.txt", Missing},
        {"File.txt\\", Missing},  // a trailing separator names a folder
        {"File.txt\\Below", Missing},
    };
    for (const Row& row : rows) {
        for (const std::string& path : {Path(row.relative), WithSlashes(Path(row.relative))}) {
            SCOPED_TRACE(path);
            const plat::Dword attributes = plat::GetFileAttributesA(path.c_str());
            if (row.kind == Missing) {
                EXPECT_EQ(plat::kInvalidFileAttributes, attributes);
                continue;
            }
            ASSERT_NE(plat::kInvalidFileAttributes, attributes);
            EXPECT_EQ(row.kind == Folder, (attributes & plat::kFileAttributeDirectory) != 0)
                << "folder flag in attributes 0x" << std::hex << attributes;
            EXPECT_EQ(row.kind == ReadOnlyFile, (attributes & plat::kFileAttributeReadOnly) != 0)
                << "read-only flag in attributes 0x" << std::hex << attributes;
        }
    }
}

// The system also yields "." and ".." for every folder but a drive's root;
// the module's lister skips them.
TEST_F(FileContract, FindFilesYieldsEveryEntryWithLongNamesAndFoldersFlagged)
{
    MakeFile(Path("a.txt"), "1");
    MakeFile(Path("No Extension"), "1");
    MakeFile(Path(".dotfile"), "1");
    MakeFile(Path(kLongName), "1");
    MakeFolder(Path("Empty"));
    MakeFolder(Path("Sub Folder"));
    MakeFile(Path("Sub Folder\\inside.dll"), "1");
    const std::vector<std::string> everything = {
        ".\\", "..\\", ".dotfile", kLongName, "Empty\\", "No Extension", "Sub Folder\\", "a.txt",
    };
    struct Row {
        std::string pattern;
        std::vector<std::string> expected;  // empty: no handle
    };
    const Row rows[] = {
        {Path("*"), everything},
        {WithSlashes(Path("*")), everything},
        {Path("*.*"), everything},  // names without a dot too
        {Path("Empty\\*"), {".\\", "..\\"}},
        {Path("Sub Folder\\*"), {".\\", "..\\", "inside.dll"}},
        {Path("*.txt"), {"a.txt"}},
        {Path("A.TXT"), {"a.txt"}},  // the name as stored, not as asked
        {Path("Sub Folder"), {"Sub Folder\\"}},
        {Path("*.zzz"), {}},
        {Path("Missing\\*"), {}},
        {Path("Sub Folder\\"), {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.pattern);
        std::vector<std::string> expected = row.expected;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, SearchResult(row.pattern));
    }
}

// The diagnostic log is opened with "at+" for every message: each one goes
// after what is there, a missing log is created, and text mode turns every
// line feed into CR LF.
TEST_F(FileContract, AppendingStreamsAddToTheEndInTextModeOrFailToOpen)
{
    enum Before { NoFile, Existing, HeldOpen, ReadOnlyFile, FolderOfThatName, InMissingFolder, InReadOnlyFolder };
    struct Row {
        const char* what;
        Before before;
        const char* mode;
        const char* text;
        bool opens;
        const char* bytesAfter;  // null: no file there afterwards; not read when held open or a folder
    };
    const Row rows[] = {
        {"existing file", Existing, "at+", "x\ny\n", true, "ABx\r\ny\r\n"},
        {"missing file", NoFile, "at+", "line\n", true, "line\r\n"},
        {"CR LF in the text", Existing, "at+", "c\r\nd", true, "ABc\r\r\nd"},
        {"binary mode", Existing, "ab", "x\n", true, "ABx\n"},
        {"file held open elsewhere", HeldOpen, "at+", "x", false, "AB"},
        {"read-only file", ReadOnlyFile, "at+", "x", false, "AB"},
        {"a folder of that name", FolderOfThatName, "at+", "x", false, nullptr},
        {"missing folder", InMissingFolder, "at+", "x", false, nullptr},
        {"read-only folder", InReadOnlyFolder, "at+", "x", false, nullptr},
    };
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.before == ReadOnlyFile && !CanRefuseWritingReadOnlyFiles())
            continue;
        if (row.before == InReadOnlyFolder && !CanMakeReadOnlyFolder())
            continue;
        const std::string folder = Path("Row" + std::to_string(++index));
        MakeFolder(folder);
        std::string path = folder + "\\Kestrova.log";
        if (row.before == Existing || row.before == HeldOpen || row.before == ReadOnlyFile)
            MakeFile(path, "AB");
        if (row.before == HeldOpen)
            HoldOpen(path);
        if (row.before == ReadOnlyFile)
            MakeReadOnly(path);
        if (row.before == FolderOfThatName)
            MakeFolder(path);
        if (row.before == InMissingFolder)
            path = folder + "\\Missing\\Kestrova.log";
        if (row.before == InReadOnlyFolder)
            MakeReadOnlyFolder(folder);

        plat::FileStream stream = plat::OpenFileStream(path.c_str(), row.mode);
        EXPECT_EQ(row.opens, stream != nullptr) << "opening " << path << " with \"" << row.mode << "\"";
        if (stream != nullptr) {
            EXPECT_LE(0, plat::PutText(stream, row.text)) << "the result of writing";
            EXPECT_EQ(0, plat::CloseFileStream(stream)) << "the result of closing";
        }
        std::string bytes;
        if (row.before == HeldOpen || row.before == FolderOfThatName)
            continue;
        if (row.bytesAfter == nullptr) {
            EXPECT_FALSE(ReadFileBytes(path, &bytes)) << "a file was made at " << path;
        } else {
            ASSERT_TRUE(ReadFileBytes(path, &bytes)) << "no file at " << path;
            EXPECT_EQ(std::string(row.bytesAfter), bytes);
        }
    }
}

TEST_F(FileContract, EachOpeningOfTheLogAppendsAfterThePreviousMessages)
{
    const std::string path = Path("Kestrova.log");
    const char* const messages[] = {"first\n", "second", "\tthird\n"};
    for (const char* message : messages) {
        plat::FileStream stream = plat::OpenFileStream(path.c_str(), "at+");
        ASSERT_NE(nullptr, stream) << "opening " << path << " before \"" << message << "\"";
        plat::PutText(stream, message);
        plat::CloseFileStream(stream);
    }
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    EXPECT_EQ("first\r\nsecond\tthird\r\n", bytes);
}

}  // namespace contract
