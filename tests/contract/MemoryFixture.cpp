// MemoryFixture.cpp - the contract fixture on the in-memory platform: the
// test dialog is a registered template, the scratch key lives in the
// in-memory registry, and the open-key count and access rules are
// observable.
#include "ContractFixture.h"

#include "platform/MemoryPlatform.h"

namespace contract {

namespace {

const char kScratchPath[] = "Software\\KestrovaContract";
const int kTestDialogId = 900;
const char kScratchFolder[] = "C:\\Documents and Settings\\Player\\Local Settings\\Temp\\KestrovaContract";
const char kProgramPath[] = "C:\\Program Files\\Kestrova\\Dad Azizov\\contract_memory.exe";

}  // namespace

const char* PlatformName() { return "Memory"; }

// Reset() also forgets the access rules, the open-key count and the files,
// so no scenario sees what the previous one left behind.
void BeginScenario()
{
    memplat::Reset();
    memplat::PutDirectory(kScratchFolder);
}
void EndScenario() { memplat::Reset(); }

plat::Window CreateTestDialog()
{
    memplat::DialogTemplate dialogTemplate;
    dialogTemplate.id = kTestDialogId;
    dialogTemplate.caption = kTestDialogCaption;
    for (const ControlDef& control : TestDialogControls())
        dialogTemplate.controls.push_back({control.id, control.className, control.style, control.text});
    memplat::RegisterDialogTemplate(dialogTemplate);
    return memplat::CreateDialogWindow(kTestDialogId, nullptr);
}

void DestroyTestDialog(plat::Window dialog) { memplat::DestroyDialogWindow(dialog); }

plat::RegKey ScratchRoot() { return plat::HKeyCurrentUser(); }
const char* ScratchPath() { return kScratchPath; }

bool CanCountOpenKeys() { return true; }
int OpenKeyCount() { return memplat::OpenKeyCount(); }

bool CanDenyAccess() { return true; }

void SetKeyAccess(const std::string& path, Access access)
{
    memplat::KeyAccess rule = memplat::KeyAccess::Full;
    if (access == Access::ReadOnly)
        rule = memplat::KeyAccess::ReadOnly;
    else if (access == Access::Denied)
        rule = memplat::KeyAccess::Denied;
    memplat::SetKeyAccess(ScratchRoot(), path, rule);
}

std::string ScratchFolder() { return kScratchFolder; }
void MakeFolder(const std::string& path) { memplat::PutDirectory(path); }
void MakeFile(const std::string& path, const std::string& bytes) { memplat::PutFile(path, bytes); }
void MakeReadOnly(const std::string& path) { memplat::SetReadOnly(path, true); }
void HoldOpen(const std::string& path) { memplat::SetLocked(path, true); }
std::vector<std::string> FolderTree(const std::string& folder) { return memplat::ListTree(folder); }

bool ReadFileBytes(const std::string& path, std::string* bytes)
{
    if (!memplat::PathExists(path) || memplat::IsDirectory(path))
        return false;
    *bytes = memplat::FileBytes(path);
    return true;
}

bool CanRefuseWritingReadOnlyFiles() { return true; }
bool CanMakeReadOnlyFolder() { return true; }
void MakeReadOnlyFolder(const std::string& path) { memplat::SetReadOnly(path, true); }

bool MakeVersionedFile(const std::string& path, int major, int minor, int build, int revision)
{
    memplat::PutVersionedFile(path, {static_cast<std::uint16_t>(major), static_cast<std::uint16_t>(minor),
                                     static_cast<std::uint16_t>(build), static_cast<std::uint16_t>(revision), true});
    return true;
}

bool MakeFileWithoutFixedVersionPart(const std::string& path)
{
    memplat::PutVersionedFile(path, {1, 2, 3, 4, false});
    return true;
}

// The in-memory platform reads versions only from files made versioned, so
// any other file stands for a library without a version resource.
bool MakeLibraryWithoutVersion(const std::string& path)
{
    memplat::PutFile(path, "MZ");
    return true;
}

std::string ProgramPath()
{
    memplat::SetModulePath(kProgramPath);
    return kProgramPath;
}

bool CanCountFileResources() { return true; }
int OpenFileResourceCount()
{
    return memplat::OpenFindCount() + memplat::OpenStreamCount() + memplat::GlobalBlockCount();
}

bool HasWindowsRuntime() { return false; }
int RuntimeScanDecimal(const char*, int*) { return -1; }
void RuntimeSplitPath(const char*, std::string[4]) {}
std::string RuntimeMakePath(const char*, const char*, const char*, const char*) { return std::string(); }
int RuntimeStricmp(const char*, const char*) { return 0; }

}  // namespace contract
