// ScratchFiles.h - the folders and files the end-to-end tests arrange for
// the module under Wine: an installed player, its media cache, browser and
// component folders, all below one scratch folder that is removed at the
// end. Failures are reported to GoogleTest where the caller is a test.
#ifndef KESTROVA_TESTS_SCRATCH_FILES_H
#define KESTROVA_TESTS_SCRATCH_FILES_H

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// "folder\name"; folder may already end with a separator.
std::string JoinPath(const std::string& folder, const std::string& name);
// The folder of this test program, with its trailing separator.
std::string ProgramFolder();

bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);

// Creates the folder and its missing parents.
bool MakeFolders(const std::string& path);
// Writes bytes exactly (binary), creating the file's folders first.
void MakeFile(const std::string& path, const std::string& bytes);
void MakeReadOnly(const std::string& path);
// The file's bytes; false when it cannot be read.
bool ReadFileBytes(const std::string& path, std::string* bytes);
// Copies a file built beside this test program (a component library) to
// path, creating its folders.
void CopyFromProgramFolder(const std::string& builtName, const std::string& path);
// A file or folder with everything in it, read-only files included;
// nothing when it does not exist.
void RemoveTree(const std::string& path);
// Every file and folder below folder, as paths relative to it ("sub",
// "sub\\x.dll"), sorted.
std::vector<std::string> FolderTree(const std::string& folder);

// A file opened without sharing, as the player does with a medium it is
// playing; closed when this goes.
class HeldOpenFile {
public:
    explicit HeldOpenFile(const std::string& path);
    ~HeldOpenFile();
    HeldOpenFile(const HeldOpenFile&) = delete;
    HeldOpenFile& operator=(const HeldOpenFile&) = delete;

private:
    HANDLE file_;
};

}  // namespace e2e

#endif  // KESTROVA_TESTS_SCRATCH_FILES_H
