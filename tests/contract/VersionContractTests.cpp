// VersionContractTests.cpp - how the components report of Config.dll reads
// a library's file version: the size of its version information, the
// information itself in a movable block, and the fixed part holding the
// version numbers.
#include "ContractTest.h"

#include <cstring>
#include <string>

namespace contract {

namespace {

const plat::Dword kFixedInfoSignature = 0xFEEF04BD;

enum Source { Versioned, NoFixedPart, LibraryWithoutVersion, TextFile, Missing, VersionedHeldOpen };

struct Row {
    const char* what;
    Source source;
    int major, minor, build, revision;
    // Expected:
    bool hasInformation;      // GetFileVersionInfoSizeA gives a size
    bool hasFixedPart;        // VerQueryValueA(block, "\\") gives sizeof(FixedFileInfo) bytes
    plat::Dword versionMS, versionLS;
};

bool MakeSource(const Row& row, const std::string& path)
{
    switch (row.source) {
    case Versioned:
    case VersionedHeldOpen:
        if (!MakeVersionedFile(path, row.major, row.minor, row.build, row.revision))
            return false;
        if (row.source == VersionedHeldOpen)
            HoldOpen(path);
        return true;
    case NoFixedPart:
        return MakeFileWithoutFixedVersionPart(path);
    case LibraryWithoutVersion:
        return MakeLibraryWithoutVersion(path);
    case TextFile:
        MakeFile(path, "Kestrova Dad Azizov\r\n");
        return true;
    case Missing:
        return true;
    }
    return false;
}

}  // namespace

// As the module reads it: the size, a movable block of that size, the
// information, then the root block. Measured under Wine 8: a resource
// without the fixed part still answers the root block, with 0 bytes; a
// library held open elsewhere has no readable information.
TEST_F(FileContract, VersionInformationGivesTheFixedPartWithTheFileVersion)
{
    const Row rows[] = {
        {"65535.0.0.1", Versioned, 65535, 0, 0, 1, true, true, 0xFFFF0000, 0x00000001},
        {"1.2.3.4", Versioned, 1, 2, 3, 4, true, true, 0x00010002, 0x00030004},
        {"no fixed part", NoFixedPart, 0, 0, 0, 0, true, false, 0, 0},
        {"library without version resource", LibraryWithoutVersion, 0, 0, 0, 0, false, false, 0, 0},
        {"text file", TextFile, 0, 0, 0, 0, false, false, 0, 0},
        {"missing file", Missing, 0, 0, 0, 0, false, false, 0, 0},
        {"versioned library held open", VersionedHeldOpen, 1, 2, 3, 4, false, false, 0, 0},
    };
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string path = Path("Component" + std::to_string(++index) + ".dll");
        ASSERT_TRUE(MakeSource(row, path)) << "this platform cannot make the file for \"" << row.what << "\"";

        plat::Dword handle = 0x5A5A;
        const plat::Dword size = plat::GetFileVersionInfoSizeA(path.c_str(), &handle);
        EXPECT_EQ(0u, handle) << "the handle GetFileVersionInfoSizeA sets";
        EXPECT_EQ(row.hasInformation, size != 0) << "size " << size;
        if (size == 0)
            continue;

        plat::GlobalHandle memory = plat::GlobalAlloc(plat::kGmemMoveable, size);
        ASSERT_NE(nullptr, memory);
        unsigned char* block = static_cast<unsigned char*>(plat::GlobalLock(memory));
        ASSERT_NE(nullptr, block);
        EXPECT_NE(0, plat::GetFileVersionInfoA(path.c_str(), handle, size, block));

        void* info = nullptr;
        unsigned int length = 0xA5A5;
        EXPECT_NE(0, plat::VerQueryValueA(block, "\\", &info, &length)) << "the root block is always there";
        if (row.hasFixedPart) {
            ASSERT_EQ(sizeof(plat::FixedFileInfo), length);
            ASSERT_TRUE(info >= block && static_cast<unsigned char*>(info) + length <= block + size)
                << "the fixed part must lie inside the block of " << size << " bytes";
            plat::FixedFileInfo fixed;
            std::memcpy(&fixed, info, sizeof fixed);
            EXPECT_EQ(kFixedInfoSignature, fixed.dwSignature);
            EXPECT_EQ(row.versionMS, fixed.dwFileVersionMS);
            EXPECT_EQ(row.versionLS, fixed.dwFileVersionLS);
        } else {
            EXPECT_EQ(0u, length) << "the length of a missing fixed part";
        }
        EXPECT_EQ(0, plat::GlobalUnlock(memory)) << "unlocking the only lock";
        EXPECT_EQ(nullptr, plat::GlobalFree(memory)) << "freeing gives null on success";
    }
}

TEST_F(FileContract, MovableMemoryKeepsItsBytesAcrossLocksAndCountsThem)
{
    plat::GlobalHandle memory = plat::GlobalAlloc(plat::kGmemMoveable, 64);
    ASSERT_NE(nullptr, memory);
    char* first = static_cast<char*>(plat::GlobalLock(memory));
    ASSERT_NE(nullptr, first);
    std::memcpy(first, "Kestrova", 9);
    EXPECT_EQ(first, plat::GlobalLock(memory)) << "a locked block does not move";

    struct Step {
        const char* what;
        int result;
    };
    const Step unlocks[] = {
        {"second lock released, one left", 1},
        {"last lock released", 0},
        {"no lock left", 0},
    };
    for (const Step& step : unlocks)
        EXPECT_EQ(step.result, plat::GlobalUnlock(memory)) << step.what;

    const char* again = static_cast<const char*>(plat::GlobalLock(memory));
    ASSERT_NE(nullptr, again);
    EXPECT_STREQ("Kestrova", again) << "the bytes after the block was unlocked";
    EXPECT_EQ(0, plat::GlobalUnlock(memory));
    EXPECT_EQ(nullptr, plat::GlobalFree(memory)) << "freeing gives null on success";
}

}  // namespace contract
