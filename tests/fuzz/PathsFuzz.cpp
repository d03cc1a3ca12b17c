// Splitting and making paths, and the two users of the module's own path:
// clearing the media cache and opening the log.
//
// Input:
//   mode byte: bits 0-1 what stands at the cache's place (0 nothing, 1 a
//     folder with files and a subfolder, 2 a plain file, 3 an empty
//     folder); bit 2 a log entry is written too;
//   the module path: a blob (FuzzSupport.h) of up to 399 bytes, NULs
//     dropped;
//   the rest: split at NULs into drive, directory, name and extension for
//   the making rule; the rest as a whole (NULs included) is split too.
//
// Rules of splitting, for every text p:
//   drive = the first two characters when the second is ':', else empty;
//   drive + directory + name + extension = p; the directory is empty or
//   ends with '\' or '/', and name and extension hold neither; the
//   extension is empty or one '.' and what follows without another '.';
//   without an extension the name holds no '.'. So making a path of the
//   parts gives p back, whatever p is.
// Rules of making: the drive's first character and ':', the directory with
//   '\' added unless it ends with a separator, the name, the extension with
//   '.' added unless it starts with one; empty parts left out. Splitting
//   that gives the parts back when nothing in the name or extension could
//   be mistaken for a separator, drive or further extension.
// The module path: only one of up to 259 characters is used. The cache is
// drive + directory of the module path + "MediaCache"; when it exists the
// shell deletes "<cache>\*.*" (the name list ends with two NULs) and the
// cache itself stays. Button 1002 is enabled again afterwards in every
// case. The log is drive + directory + "KestrovaWebPlayer.log", written
// only when that fits in 259 characters.
#include <cstdint>
#include <string>
#include <vector>

#include "DiagnosticLog.h"
#include "FuzzSupport.h"
#include "MediaCache.h"
#include "Paths.h"
#include "platform/MemoryPlatform.h"
#include "resources/resource.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasSeparator(const std::string& text)
{
    for (char c : text)
        if (IsSeparator(c))
            return true;
    return false;
}

std::string DescribeParts(const PathParts& parts)
{
    return fuzz::Describe(parts.drive) + " " + fuzz::Describe(parts.directory) + " " + fuzz::Describe(parts.name) +
           " " + fuzz::Describe(parts.extension);
}

void CheckSplit(const std::string& path)
{
    fuzz::Note("split path", fuzz::Describe(path));
    const PathParts parts = SplitPath(path);
    fuzz::Note("parts", DescribeParts(parts));
    const std::string drive = path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : "";
    FUZZ_CHECK_EQ(drive, parts.drive);
    FUZZ_CHECK_EQ(path, parts.drive + parts.directory + parts.name + parts.extension);
    FUZZ_CHECK(parts.directory.empty() || IsSeparator(parts.directory.back()));
    FUZZ_CHECK(!HasSeparator(parts.name) && !HasSeparator(parts.extension));
    FUZZ_CHECK(parts.extension.empty() ||
               (parts.extension[0] == '.' && parts.extension.find('.', 1) == std::string::npos));
    FUZZ_CHECK(!parts.extension.empty() || parts.name.find('.') == std::string::npos);
    FUZZ_CHECK_EQ(path, MakePath(parts.drive, parts.directory, parts.name, parts.extension));
}

void CheckMake(const std::string& drive, const std::string& directory, const std::string& name,
               const std::string& extension)
{
    fuzz::Note("make parts", fuzz::Describe(drive) + " " + fuzz::Describe(directory) + " " + fuzz::Describe(name) +
                                 " " + fuzz::Describe(extension));
    const std::string madeDrive = drive.empty() ? "" : std::string(1, drive[0]) + ":";
    const std::string madeDirectory =
        directory.empty() ? "" : IsSeparator(directory.back()) ? directory : directory + "\\";
    const std::string madeExtension = extension.empty() ? "" : extension[0] == '.' ? extension : "." + extension;
    const std::string made = MakePath(drive, directory, name, extension);
    FUZZ_CHECK_EQ(madeDrive + madeDirectory + name + madeExtension, made);

    const bool clean = !HasSeparator(name) && !HasSeparator(madeExtension) && name.find('.') == std::string::npos &&
                       madeExtension.find('.', 1) == std::string::npos &&
                       (!drive.empty() || made.size() < 2 || made[1] != ':');
    if (clean) {
        const PathParts parts = SplitPath(made);
        FUZZ_CHECK_EQ(madeDrive, parts.drive);
        FUZZ_CHECK_EQ(madeDirectory, parts.directory);
        FUZZ_CHECK_EQ(name, parts.name);
        FUZZ_CHECK_EQ(madeExtension, parts.extension);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    fuzz::ClearNotes();
    fuzz::ResetPlatformWithDialogs();

    const std::uint8_t mode = in.Byte();
    const int cache = mode & 3;
    const bool logToo = (mode & 4) != 0;
    const std::string modulePath = fuzz::WithoutNuls(in.Blob(400));
    const std::string rest = in.Rest();

    // Splitting and making.
    CheckSplit(modulePath);
    CheckSplit(rest);
    {
        fuzz::Reader parts(reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size());
        const std::string drive = parts.Until(0);
        const std::string directory = parts.Until(0);
        const std::string name = parts.Until(0);
        const std::string extension = parts.Until(0);
        CheckMake(drive, directory, name, extension);
    }
    fuzz::ClearNotes();

    // The module path's users, with the folders they expect put in place.
    const bool fits = !modulePath.empty() && modulePath.size() <= 259;
    const std::string drive = modulePath.size() >= 2 && modulePath[1] == ':' ? modulePath.substr(0, 2) : "";
    std::string folder = drive;  // drive and directory of the module path
    for (std::size_t i = modulePath.size(); i > drive.size(); --i) {
        if (IsSeparator(modulePath[i - 1])) {
            folder = modulePath.substr(0, i);
            break;
        }
    }
    const std::string cacheFolder = folder + "MediaCache";
    const std::string keep = folder + "keep.dat";
    fuzz::Note("module path", fuzz::Describe(modulePath));
    fuzz::Note("cache", std::to_string(cache));
    fuzz::Note("cache folder", fuzz::Describe(cacheFolder));

    memplat::SetModulePath(modulePath);
    if (!folder.empty())
        memplat::PutDirectory(folder);
    memplat::PutFile(keep, "keep");
    if (cache == 1) {
        memplat::PutFile(cacheFolder + "\\scene.k3d", "x");
        memplat::PutFile(cacheFolder + "\\textures\\wood.jpg", "x");
    } else if (cache == 2) {
        memplat::PutFile(cacheFolder, "not a folder");
    } else if (cache == 3) {
        memplat::PutDirectory(cacheFolder);
    }
    FUZZ_CHECK_EQ(cache != 0, plat::GetFileAttributesA(cacheFolder.c_str()) != plat::kInvalidFileAttributes);

    plat::Window dialog = memplat::CreateDialogWindow(IDD_SETTINGS, nullptr);
    FUZZ_CHECK(dialog != nullptr);
    plat::Window button = plat::GetDlgItem(dialog, IDC_DELETE_TEMP_FILES);
    plat::EnableWindow(button, 0);

    ClearMediaCache(dialog);

    FUZZ_CHECK(plat::IsWindowEnabled(button) != 0);
    const bool operation = fits && cache != 0;
    const std::vector<memplat::FileOperationRecord> operations = memplat::FileOperations();
    FUZZ_CHECK_EQ(operation ? 1u : 0u, operations.size());
    FUZZ_CHECK_EQ(operation ? 1u : 0u, memplat::Sleeps().size());
    if (operation) {
        const memplat::FileOperationRecord& record = operations[0];
        FUZZ_CHECK(record.owner == dialog);
        FUZZ_CHECK_EQ(3u, record.function);
        FUZZ_CHECK_EQ(cacheFolder + "\\*.*" + std::string(2, '\0'), record.from);
        FUZZ_CHECK_EQ(MakePath("", cacheFolder, "*", ".*") + std::string(2, '\0'), record.from);
        FUZZ_CHECK(!record.hasTo);
        FUZZ_CHECK_EQ(0x0510, record.flags);
        FUZZ_CHECK(!record.hasNameMappings);
        FUZZ_CHECK_EQ(std::string("Clearing Media Cache"), record.title);
        FUZZ_CHECK_EQ(100u, memplat::Sleeps()[0]);
        if (cache == 1 || cache == 3) {
            FUZZ_CHECK(memplat::IsDirectory(cacheFolder));
            FUZZ_CHECK(memplat::ListTree(cacheFolder).empty());
        }
    }
    // Nothing beside the cache is touched, nor the cache when it is left alone.
    FUZZ_CHECK_EQ(std::string("keep"), memplat::FileBytes(keep));
    if (cache == 1 && !operation)
        FUZZ_CHECK_EQ(2u + 1u, memplat::ListTree(cacheFolder).size());
    if (cache == 2)
        FUZZ_CHECK_EQ(std::string("not a folder"), memplat::FileBytes(cacheFolder));

    if (logToo) {
        const std::string logPath = folder + "KestrovaWebPlayer.log";
        fuzz::Note("log path", fuzz::Describe(logPath));
        LogMessage("entry\n", "x\\y.cpp", 7);
        if (fits && logPath.size() <= 259)
            FUZZ_CHECK_EQ(std::string("entry\r\n\t(\\y.cpp : Line 7)\r\n"), memplat::FileBytes(logPath));
        else
            FUZZ_CHECK(!memplat::PathExists(logPath));
        FUZZ_CHECK_EQ(0, memplat::OpenStreamCount());
    }
    memplat::DestroyDialogWindow(dialog);
    return 0;
}
