// Win32Fixture.cpp - the contract fixture on the real system (run under
// Wine): a real dialog built from an in-memory template, a scratch key
// under HKEY_CURRENT_USER, a scratch folder under the temporary folder and
// the system's own C runtime.
#include "ContractFixture.h"

#include "ConfigModule.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>

namespace contract {

namespace {

const char kScratchPath[] = "Software\\KestrovaContract";
const char kScratchFolderName[] = "KestrovaContract";

// A DLGTEMPLATE with its items, in the layout the dialog manager reads:
// WORD-sized fields, UTF-16 strings, every item on a DWORD boundary.
class TemplateWriter {
public:
    void Dword(DWORD value)
    {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Word(WORD value) { words_.push_back(value); }
    void Text(const char* text)
    {
        // The texts here are ASCII, so each char is one UTF-16 unit.
        for (const char* c = text; *c != '\0'; ++c)
            Word(static_cast<unsigned char>(*c));
        Word(0);
    }
    void AlignToDword()
    {
        if (words_.size() % 2 != 0)
            Word(0);
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    std::vector<WORD> words_;
};

INT_PTR CALLBACK TestDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    // Focus goes wherever the dialog manager puts it; nothing else to do.
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

void InitListViewClass()
{
    static bool done = false;
    if (done)
        return;
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
    if (!InitCommonControlsEx(&init)) {
        std::fprintf(stderr, "InitCommonControlsEx failed\n");
        std::abort();
    }
    done = true;
}

}  // namespace

// ---- Files ----------------------------------------------------------------------

namespace {

std::vector<HANDLE> heldFiles;

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

// Read-only files go as well: their attribute is cleared first.
void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (IsDotEntry(found.cFileName))
                continue;
            const std::string path = folder + "\\" + found.cFileName;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (::FindNextFileA(find, &found));
        ::FindClose(find);
    }
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryA(folder.c_str());
}

void CollectTree(const std::string& folder, const std::string& prefix, std::vector<std::string>& paths)
{
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (IsDotEntry(found.cFileName))
            continue;
        paths.push_back(prefix + found.cFileName);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectTree(folder + "\\" + found.cFileName, prefix + found.cFileName + "\\", paths);
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
}

// The test program's path, read through the wide function so the narrow
// one under test is not its own reference.
std::string ProgramPathFromSystem()
{
    wchar_t wide[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, wide, MAX_PATH * 4);
    char narrow[MAX_PATH * 4];
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(length), narrow, sizeof narrow, nullptr,
                                          nullptr);
    return std::string(narrow, bytes > 0 ? bytes : 0);
}

// The libraries with version resources are built next to the test program.
bool CopyBuiltLibrary(const char* name, const std::string& path)
{
    const std::string program = ProgramPathFromSystem();
    const std::string source = program.substr(0, program.find_last_of('\\') + 1) + name;
    if (!CopyFileA(source.c_str(), path.c_str(), FALSE)) {
        ADD_FAILURE() << "copying " << source << " to " << path << " failed, error " << GetLastError();
        return false;
    }
    return true;
}

}  // namespace

std::string ScratchFolder()
{
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    return std::string(temp, length) + kScratchFolderName;  // GetTempPathA ends with a separator
}

void MakeFolder(const std::string& path)
{
    if (!CreateDirectoryA(path.c_str(), nullptr))
        ADD_FAILURE() << "CreateDirectoryA(" << path << ") failed, error " << GetLastError();
}

void MakeFile(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written != bytes.size())
        ADD_FAILURE() << "writing " << path << " failed, error " << GetLastError();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

void MakeReadOnly(const std::string& path)
{
    if (!SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY))
        ADD_FAILURE() << "making " << path << " read-only failed, error " << GetLastError();
}

void HoldOpen(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        ADD_FAILURE() << "opening " << path << " without sharing failed, error " << GetLastError();
    else
        heldFiles.push_back(file);
}

std::vector<std::string> FolderTree(const std::string& folder)
{
    std::vector<std::string> paths;
    CollectTree(folder, "", paths);
    std::sort(paths.begin(), paths.end());
    return paths;
}

bool ReadFileBytes(const std::string& path, std::string* bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes->append(chunk, read);
    CloseHandle(file);
    return true;
}

bool CanRefuseWritingReadOnlyFiles() { return false; }
bool CanMakeReadOnlyFolder() { return false; }
void MakeReadOnlyFolder(const std::string&) {}

bool MakeVersionedFile(const std::string& path, int major, int minor, int build, int revision)
{
    char name[96];
    std::snprintf(name, sizeof name, "contract_version_%d_%d_%d_%d.dll", major, minor, build, revision);
    return CopyBuiltLibrary(name, path);
}

bool MakeFileWithoutFixedVersionPart(const std::string& path)
{
    return CopyBuiltLibrary("contract_version_no_fixed_part.dll", path);
}

bool MakeLibraryWithoutVersion(const std::string& path) { return CopyBuiltLibrary("contract_no_version.dll", path); }

std::string ProgramPath() { return ProgramPathFromSystem(); }

bool CanCountFileResources() { return false; }
int OpenFileResourceCount() { return -1; }

// ---- The C runtime ---------------------------------------------------------------
//
// Taken from msvcrt.dll by name: with mingw's own stdio in C++ programs,
// a plain sscanf call would reach mingw's replacement, which clamps
// overflowing numbers instead of wrapping them as the system's does.

namespace {

// The cast goes through void (*)(), the one function type any other may
// be converted from without a warning.
template <typename Function>
Function RuntimeFunction(const char* name)
{
    static HMODULE runtime = LoadLibraryA("msvcrt.dll");
    FARPROC function = runtime != nullptr ? GetProcAddress(runtime, name) : nullptr;
    if (function == nullptr) {
        std::fprintf(stderr, "msvcrt.dll has no %s\n", name);
        std::abort();
    }
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(function));
}

}  // namespace

bool HasWindowsRuntime() { return true; }

int RuntimeScanDecimal(const char* text, int* value)
{
    typedef int(__cdecl * Scan)(const char*, const char*, ...);
    return RuntimeFunction<Scan>("sscanf")(text, "%d", value);
}

void RuntimeSplitPath(const char* path, std::string parts[4])
{
    typedef void(__cdecl * Split)(const char*, char*, char*, char*, char*);
    char drive[_MAX_DRIVE], directory[_MAX_DIR], name[_MAX_FNAME], extension[_MAX_EXT];
    RuntimeFunction<Split>("_splitpath")(path, drive, directory, name, extension);
    parts[0] = drive;
    parts[1] = directory;
    parts[2] = name;
    parts[3] = extension;
}

std::string RuntimeMakePath(const char* drive, const char* directory, const char* name, const char* extension)
{
    typedef void(__cdecl * Make)(char*, const char*, const char*, const char*, const char*);
    char path[_MAX_PATH];
    RuntimeFunction<Make>("_makepath")(path, drive, directory, name, extension);
    return path;
}

int RuntimeStricmp(const char* a, const char* b)
{
    typedef int(__cdecl * Compare)(const char*, const char*);
    return RuntimeFunction<Compare>("_stricmp")(a, b);
}

// ---- Scenarios -------------------------------------------------------------------

const char* PlatformName() { return "Win32"; }

void BeginScenario()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratchPath);
    RemoveTree(ScratchFolder());
    MakeFolder(ScratchFolder());
}

void EndScenario()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratchPath);
    for (HANDLE file : heldFiles)
        CloseHandle(file);
    heldFiles.clear();
    RemoveTree(ScratchFolder());
}

plat::Window CreateTestDialog()
{
    InitListViewClass();
    const std::vector<ControlDef>& controls = TestDialogControls();

    TemplateWriter writer;
    writer.Dword(WS_POPUP | WS_CAPTION);  // not visible: nothing needs to be drawn
    writer.Dword(0);                      // extended style
    writer.Word(static_cast<WORD>(controls.size()));
    writer.Word(0);    // x
    writer.Word(0);    // y
    writer.Word(220);  // cx
    writer.Word(200);  // cy
    writer.Word(0);    // no menu
    writer.Word(0);    // the predefined dialog class
    writer.Text(kTestDialogCaption);
    for (const ControlDef& control : controls) {
        writer.AlignToDword();
        writer.Dword(WS_CHILD | WS_VISIBLE | control.style);
        writer.Dword(0);
        writer.Word(static_cast<WORD>(control.x));
        writer.Word(static_cast<WORD>(control.y));
        writer.Word(static_cast<WORD>(control.width));
        writer.Word(static_cast<WORD>(control.height));
        writer.Word(static_cast<WORD>(control.id));
        writer.Text(control.className);
        writer.Text(control.text);
        writer.Word(0);  // no creation data
    }
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), writer.Get(), nullptr, TestDialogProc, 0);
    if (dialog == nullptr)
        std::fprintf(stderr, "CreateDialogIndirectParamA failed, error %lu\n", GetLastError());
    return dialog;
}

void DestroyTestDialog(plat::Window dialog) { DestroyWindow(dialog); }

plat::RegKey ScratchRoot() { return HKEY_CURRENT_USER; }
const char* ScratchPath() { return kScratchPath; }

bool CanCountOpenKeys() { return false; }
int OpenKeyCount() { return -1; }

bool CanDenyAccess() { return false; }
void SetKeyAccess(const std::string&, Access) {}

}  // namespace contract

// Paths.cpp reads the module's own handle; in this program the module's
// code is part of the program, whose handle is null.
plat::Module ModuleInstance = nullptr;
