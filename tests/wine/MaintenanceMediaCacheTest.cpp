// MaintenanceMediaCacheTest.cpp - "&Delete Temporary Files" empties the
// "MediaCache" folder beside the module through the shell, keeps the folder
// and everything else of the installation, greys the button out while it
// works and gives it back afterwards, with the dialog going on as before.
#include "MaintenanceTest.h"

#include <memory>

#include "ClickWatch.h"

namespace e2e {
namespace {

const wchar_t kProgressTitle[] = L"Clearing Media Cache";

enum ItemKind { kFile, kFolder, kReadOnlyFile, kOpenFile };

struct CacheItem {
    const char* relative;  // below the cache folder
    ItemKind kind;
};

enum CacheShape { kCacheFolder, kNoCache, kCacheIsAPlainFile };

struct CacheCase {
    const char* name;
    CacheShape shape;
    std::vector<CacheItem> items;
    std::vector<std::string> left;  // inside the cache folder afterwards
    // The shell operation and the pause after it take long enough for the
    // greyed-out button to be seen; without a folder there is neither.
    bool disabledVisible;
    bool noProgressWindow;
};

const char kPlainFileBytes[] = "not a folder";

// What Wine's shell does with the items (measured there): the listing is
// deleted in order, a read-only file inside a subfolder goes with it, but a
// read-only or open file at the top stops the operation at that item.
const CacheCase kCacheCases[] = {
    {"files with and without extension, dot files, nested folders with a read-only file: all gone",
     kCacheFolder,
     {{"scene.k3d", kFile},
      {"noextension", kFile},
      {".dotfile", kFile},
      {"A long name with spaces.texture", kFile},
      {"textures", kFolder},
      {"textures\\stone.jpg", kReadOnlyFile},
      {"textures\\deep", kFolder},
      {"textures\\deep\\wood.jpg", kFile},
      {"sounds", kFolder}},
     {},
     true,
     false},
    {"a read-only file at the top stops the deletion there", kCacheFolder,
     {{"a.k3d", kFile}, {"m.k3d", kReadOnlyFile}, {"s", kFolder}, {"s\\b.k3d", kFile}, {"z.k3d", kFile}},
     {"m.k3d", "s", "s\\b.k3d", "z.k3d"},
     true,
     false},
    {"a medium held open at the top stops the deletion there", kCacheFolder,
     {{"a.k3d", kFile}, {"m.k3d", kOpenFile}, {"z.k3d", kFile}},
     {"m.k3d", "z.k3d"},
     true,
     false},
    {"an empty cache folder stays", kCacheFolder, {}, {}, true, false},
    {"no cache folder: nothing to delete and no progress window", kNoCache, {}, {}, false, true},
    {"a plain file named MediaCache survives", kCacheIsAPlainFile, {}, {}, false, false},
};

// A file beside the cache that belongs to the installation.
const char kBesideCache[] = "keep.dat";

std::vector<std::string> OutsideTheCache(const std::vector<std::string>& tree)
{
    std::vector<std::string> outside;
    for (const std::string& path : tree)
        if (path.compare(0, 11, "MediaCache\\") != 0)
            outside.push_back(path);
    return outside;
}

TEST_F(MaintenanceTest, DeleteTemporaryFilesEmptiesTheCacheBesideTheModule)
{
    MakeFile(JoinPath(PlayerFolder(), kBesideCache), "installation data");
    for (const CacheCase& row : kCacheCases) {
        SCOPED_TRACE(row.name);
        RemoveTree(MediaCacheFolder());
        std::vector<std::unique_ptr<HeldOpenFile>> held;
        if (row.shape == kCacheFolder)
            MakeFolders(MediaCacheFolder());
        if (row.shape == kCacheIsAPlainFile)
            MakeFile(MediaCacheFolder(), kPlainFileBytes);
        for (const CacheItem& item : row.items) {
            const std::string path = JoinPath(MediaCacheFolder(), item.relative);
            if (item.kind == kFolder) {
                MakeFolders(path);
                continue;
            }
            MakeFile(path, "cached medium");
            if (item.kind == kReadOnlyFile)
                MakeReadOnly(path);
            if (item.kind == kOpenFile)
                held.emplace_back(new HeldOpenFile(path));
        }

        sim::SimEngine engine;
        BuildStandardEngine(engine);
        ClickObservation seen;
        bool openAfterClick = false;
        Run(engine, [&](DialogUser& user) {
            seen = ClickWhileWatching(user, kDeleteTempFiles, kProgressTitle);
            openAfterClick = IsWindowVisible(user.Dialog()) != FALSE;
            user.PressEsc();
        });
        held.clear();

        EXPECT_TRUE(openAfterClick) << "the dialog stays open after the click";
        EXPECT_TRUE(seen.enabledAfter) << "button 1002 is enabled again once the click is handled";
        if (row.disabledVisible) {
            EXPECT_TRUE(seen.sawDisabled) << "button 1002 was never seen disabled during the deletion ("
                                          << seen.samples << " samples)";
        }
        if (row.noProgressWindow) {
            EXPECT_FALSE(seen.sawTitledWindow) << "a window titled \"Clearing Media Cache\" appeared";
        }
        switch (row.shape) {
        case kCacheFolder:
            EXPECT_TRUE(IsFolder(MediaCacheFolder())) << "the cache folder itself stays";
            EXPECT_EQ(row.left, FolderTree(MediaCacheFolder())) << "left in the cache";
            break;
        case kNoCache:
            EXPECT_FALSE(PathExists(MediaCacheFolder())) << "no cache folder is created";
            break;
        case kCacheIsAPlainFile: {
            std::string bytes;
            EXPECT_TRUE(ReadFileBytes(MediaCacheFolder(), &bytes) && bytes == kPlainFileBytes)
                << "the plain file named MediaCache: expected \"" << kPlainFileBytes << "\", actual \"" << bytes
                << "\"";
            break;
        }
        }
        std::vector<std::string> installation = {"Config.dll", kBesideCache};
        if (row.shape != kNoCache)
            installation.insert(installation.begin() + 1, "MediaCache");
        EXPECT_EQ(installation, OutsideTheCache(FolderTree(PlayerFolder())))
            << "the rest of the installation is untouched, and no log was written";
    }
    RemoveTree(MediaCacheFolder());
    RemoveTree(JoinPath(PlayerFolder(), kBesideCache));
}

}  // namespace
}  // namespace e2e
