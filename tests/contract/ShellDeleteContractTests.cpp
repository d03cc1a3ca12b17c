// ShellDeleteContractTests.cpp - the shell deletion that empties the media
// cache: FO_DELETE of "folder\*.*" with the flags the module gives it. The
// contents go, subfolders with theirs; the folder itself stays; the first
// item that cannot be deleted stops the operation.
#include "ContractTest.h"

#include <string>
#include <vector>

namespace contract {

namespace {

enum Kind { File, Folder, ReadOnlyFile, OpenFile };

struct Item {
    const char* relative;  // below the cache folder
    Kind kind;
};

// The cache folder's pattern as the module builds it: the name list ends
// with an empty name, so the text ends with two NULs.
int DeleteContents(const std::string& folder, int* anyAborted)
{
    std::string from = folder + "\\*.*";
    from.push_back('\0');
    plat::FileOperation operation = {};
    operation.wFunc = plat::kFoDelete;
    operation.pFrom = from.c_str();
    operation.fFlags = plat::kFofNoConfirmation | plat::kFofSimpleProgress | plat::kFofNoErrorUi;
    operation.lpszProgressTitle = "Kestrova media cache";
    const int result = plat::SHFileOperationA(&operation);
    *anyAborted = operation.fAnyOperationsAborted;
    return result;
}

const int kErrorSharingViolation = 32;

}  // namespace

// Measured under Wine 8: the items of the folder are deleted in the order
// of its listing (names compared in upper case, so "_" comes after the
// letters); a read-only file at the top stops the operation with
// ERROR_ACCESS_DENIED, one inside a subfolder is deleted with it; a file
// held open anywhere stops it with ERROR_SHARING_VIOLATION, leaving its
// folder and everything after it. fAnyOperationsAborted stays 0 throughout.
TEST_F(FileContract, DeletingAllInAFolderRemovesItsContentsUpToTheFirstItemThatCannotGo)
{
    struct Row {
        const char* what;
        std::vector<Item> items;
        int result;
        std::vector<std::string> left;
    };
    const Row rows[] = {
        {"every kind of entry",
         {{"a.txt", File},
          {"No Extension", File},
          {".dotfile", File},
          {"A long name with spaces.data", File},
          {"Sub", Folder},
          {"Sub\\b.txt", File},
          {"Sub\\Deeper", Folder},
          {"Sub\\Deeper\\c.bin", File},
          {"Sub\\Empty", Folder}},
         0,
         {}},
        {"an empty folder", {}, 0, {}},
        {"read-only file first", {{"a.txt", ReadOnlyFile}, {"b.txt", File}}, 5, {"a.txt", "b.txt"}},
        {"read-only file in the middle",
         {{"a.txt", File}, {"m.txt", ReadOnlyFile}, {"s", Folder}, {"s\\b.txt", File}, {"z.txt", File}},
         5,
         {"m.txt", "s", "s\\b.txt", "z.txt"}},
        {"read-only files inside subfolders",
         {{"a.txt", File},
          {"s", Folder},
          {"s\\b.txt", ReadOnlyFile},
          {"s\\t", Folder},
          {"s\\t\\r.txt", ReadOnlyFile},
          {"z.txt", File}},
         0,
         {}},
        {"listing order puts '_' after letters",
         {{"_a.txt", ReadOnlyFile}, {"Zz.txt", File}, {"aa.txt", File}},
         5,
         {"_a.txt"}},
        {"file held open at the top",
         {{"a.txt", File}, {"m.txt", OpenFile}, {"z.txt", File}},
         kErrorSharingViolation,
         {"m.txt", "z.txt"}},
        {"file held open inside a subfolder",
         {{"a.txt", File},
          {"s", Folder},
          {"s\\a1.txt", File},
          {"s\\b.txt", OpenFile},
          {"s\\c.txt", File},
          {"z.txt", File}},
         kErrorSharingViolation,
         {"s", "s\\b.txt", "s\\c.txt", "z.txt"}},
    };
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string cache = Path("Cache" + std::to_string(++index));
        MakeFolder(cache);
        for (const Item& item : row.items) {
            const std::string path = cache + "\\" + item.relative;
            if (item.kind == Folder) {
                MakeFolder(path);
                continue;
            }
            MakeFile(path, "cached");
            if (item.kind == ReadOnlyFile)
                MakeReadOnly(path);
            if (item.kind == OpenFile)
                HoldOpen(path);
        }
        int anyAborted = -1;
        EXPECT_EQ(row.result, DeleteContents(cache, &anyAborted));
        EXPECT_EQ(0, anyAborted) << "fAnyOperationsAborted";
        EXPECT_EQ(row.left, FolderTree(cache)) << "what is left in the folder";
        EXPECT_NE(plat::kInvalidFileAttributes, plat::GetFileAttributesA(cache.c_str())) << "the folder itself";
    }
}

// The module only checks that something of the cache's name exists, so the
// pattern may name a missing folder or a plain file.
TEST_F(FileContract, DeletingAllInSomethingThatIsNoFolderSucceedsAndChangesNothing)
{
    MakeFile(Path("Plain"), "not a folder");
    MakeFile(Path("Other.txt"), "stays");
    const char* const folders[] = {"Missing", "Plain"};
    for (const char* folder : folders) {
        SCOPED_TRACE(folder);
        int anyAborted = -1;
        EXPECT_EQ(0, DeleteContents(Path(folder), &anyAborted));
        EXPECT_EQ(0, anyAborted) << "fAnyOperationsAborted";
        EXPECT_EQ(std::vector<std::string>({"Other.txt", "Plain"}), FolderTree(ScratchFolder()));
    }
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(Path("Plain"), &bytes));
    EXPECT_EQ("not a folder", bytes);
}

}  // namespace contract
