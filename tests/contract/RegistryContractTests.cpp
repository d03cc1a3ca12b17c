// RegistryContractTests.cpp - the registry behaviour the display settings
// of Config.dll rely on: how keys open and get created, how values of any
// type are stored and read back byte for byte, and what a read-only handle
// may do.
#include "ContractTest.h"

#include <string>
#include <vector>

namespace contract {

namespace {

using Bytes = std::string;  // raw value data, embedded NULs included

const plat::RegKey kNotAKey = reinterpret_cast<plat::RegKey>(static_cast<std::intptr_t>(0x5A5A50));

std::string Hex(const Bytes& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char c : bytes) {
        if (!text.empty())
            text += ' ';
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return "[" + text + "]";
}

plat::Status SetValue(plat::RegKey key, const char* name, plat::Dword type, const Bytes& bytes)
{
    return plat::RegSetValueExA(key, name, type, reinterpret_cast<const unsigned char*>(bytes.data()),
                                static_cast<plat::Dword>(bytes.size()));
}

struct QueryResult {
    plat::Status status;
    plat::Dword type;
    plat::Dword size;
    Bytes data;  // the first min(size, capacity) bytes of the buffer
};

// RegQueryValueExA into a buffer of capacity bytes prefilled with 0xCC.
QueryResult QueryValue(plat::RegKey key, const char* name, plat::Dword capacity)
{
    std::vector<unsigned char> buffer(capacity + 1, 0xCC);
    QueryResult result = {-1, 0xDEADBEEF, capacity, Bytes()};
    result.status = plat::RegQueryValueExA(key, name, &result.type, buffer.data(), &result.size);
    const plat::Dword shown = result.size < capacity ? result.size : capacity;
    result.data.assign(reinterpret_cast<const char*>(buffer.data()), shown);
    EXPECT_EQ(0xCC, buffer[capacity]) << "RegQueryValueExA wrote past a buffer of " << capacity << " bytes";
    return result;
}

// Opens an existing key below the scratch key; "" for the scratch key.
plat::Status Open(const std::string& subPath, plat::Dword access, ScopedKey& key)
{
    return plat::RegOpenKeyExA(ScratchRoot(), ScratchKey(subPath).c_str(), 0, access, key.Out());
}

plat::Status CreateWithRegCreateKeyA(const std::string& subPath, ScopedKey& key)
{
    return plat::RegCreateKeyA(ScratchRoot(), ScratchKey(subPath).c_str(), key.Out());
}

plat::Status CreateWithRegCreateKeyExA(const std::string& subPath, ScopedKey& key)
{
    return plat::RegCreateKeyExA(ScratchRoot(), ScratchKey(subPath).c_str(), plat::kKeyAllAccess, key.Out());
}

struct CreateFunction {
    const char* name;
    const char* keyName;  // a key of its own for each, so they do not meet
    plat::Status (*create)(const std::string& subPath, ScopedKey& key);
};
const CreateFunction kCreateFunctions[] = {
    {"RegCreateKeyA", "ByCreateKey", CreateWithRegCreateKeyA},
    {"RegCreateKeyExA(KEY_ALL_ACCESS)", "ByCreateKeyEx", CreateWithRegCreateKeyExA},
};

// The scratch key itself, opened for everything.
class RegistryContract : public PlatformContract {
protected:
    void SetUp() override
    {
        PlatformContract::SetUp();
        ASSERT_EQ(plat::kErrorSuccess, CreateWithRegCreateKeyA("", scratch_)) << "creating the scratch key";
    }
    void TearDown() override
    {
        scratch_.Close();
        PlatformContract::TearDown();
    }
    ScopedKey scratch_;
};

}  // namespace

TEST_F(RegistryContract, OpeningAMissingKeyFailsAndLeavesNoHandle)
{
    const char* const paths[] = {"Missing", "Missing\\Deeper"};
    const plat::Dword accesses[] = {plat::kKeyRead, plat::kKeyWrite, plat::kKeyAllAccess};
    for (const char* path : paths) {
        for (plat::Dword access : accesses) {
            SCOPED_TRACE(std::string("path ") + path + ", access " + std::to_string(access));
            const int openBefore = OpenKeyCount();
            plat::RegKey key = kNotAKey;
            const plat::Status status =
                plat::RegOpenKeyExA(ScratchRoot(), ScratchKey(path).c_str(), 0, access, &key);
            EXPECT_EQ(plat::kErrorFileNotFound, status);
            EXPECT_EQ(nullptr, key) << "the handle of a failed open must be set to null";
            if (status == plat::kErrorSuccess)
                plat::RegCloseKey(key);
            if (CanCountOpenKeys()) {
                EXPECT_EQ(openBefore, OpenKeyCount()) << "a failed open must not count as an open key";
            }
        }
    }
}

TEST_F(RegistryContract, CreatingMakesMissingKeysWithTheirParentsAndOpensExistingOnesKeepingValues)
{
    for (const CreateFunction& function : kCreateFunctions) {
        SCOPED_TRACE(function.name);
        const std::string leaf = std::string(function.keyName) + "\\Parent\\Child";
        {
            ScopedKey created;
            ASSERT_EQ(plat::kErrorSuccess, function.create(leaf, created)) << "creating " << leaf;
            ASSERT_NE(nullptr, created.Get());
            EXPECT_EQ(plat::kErrorSuccess, SetValue(created.Get(), "Kept", plat::kRegDword, Bytes("\x07\0\0\0", 4)));
            EXPECT_EQ(plat::kErrorSuccess, created.Close());
        }
        // Every missing parent was made along the way.
        for (const std::string& path : {leaf.substr(0, leaf.rfind('\\')), leaf}) {
            ScopedKey opened;
            EXPECT_EQ(plat::kErrorSuccess, Open(path, plat::kKeyRead, opened)) << "opening " << path;
        }
        // Creating it again opens it, with its value and for writing.
        ScopedKey again;
        ASSERT_EQ(plat::kErrorSuccess, function.create(leaf, again)) << "creating the existing " << leaf;
        const QueryResult kept = QueryValue(again.Get(), "Kept", 4);
        EXPECT_EQ(plat::kErrorSuccess, kept.status);
        EXPECT_EQ(Hex(Bytes("\x07\0\0\0", 4)), Hex(kept.data));
        EXPECT_EQ(plat::kErrorSuccess, SetValue(again.Get(), "Added", plat::kRegDword, Bytes("\x01\0\0\0", 4)));
    }
}

TEST_F(RegistryContract, QueryingAMissingValueFailsAndLeavesTheBufferAlone)
{
    ASSERT_EQ(plat::kErrorSuccess, SetValue(scratch_.Get(), "Present", plat::kRegDword, Bytes("\1\0\0\0", 4)));
    for (const char* name : {"Absent", "Presen", "Present2"}) {
        SCOPED_TRACE(name);
        const QueryResult result = QueryValue(scratch_.Get(), name, 4);
        EXPECT_EQ(plat::kErrorFileNotFound, result.status);
        EXPECT_EQ(Hex(Bytes(4, '\xCC')), Hex(result.data.substr(0, 4)));
    }
}

TEST_F(RegistryContract, QueryingIntoATooSmallBufferFailsWithMoreDataAndTheNeededSize)
{
    struct Row {
        const char* name;
        plat::Dword type;
        Bytes stored;
        plat::Dword capacity;
    };
    const Row rows[] = {
        {"SzIntoDword", plat::kRegSz, Bytes("1024x768", 9), 4},
        {"BinaryIntoDword", plat::kRegBinary, Bytes("\1\2\3\4\5", 5), 4},
        {"DwordIntoTwo", plat::kRegDword, Bytes("\x20\x03\0\0", 4), 2},
        {"OneByteIntoNothing", plat::kRegBinary, Bytes("\x7F", 1), 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(plat::kErrorSuccess, SetValue(scratch_.Get(), row.name, row.type, row.stored));
        const QueryResult result = QueryValue(scratch_.Get(), row.name, row.capacity);
        EXPECT_EQ(plat::kErrorMoreData, result.status);
        EXPECT_EQ(row.stored.size(), result.size) << "the size needed";
    }
}

TEST_F(RegistryContract, QueryingWithoutABufferReportsTypeAndSize)
{
    ASSERT_EQ(plat::kErrorSuccess, SetValue(scratch_.Get(), "Name", plat::kRegSz, Bytes("Direct3D", 9)));
    plat::Dword type = 0xDEADBEEF;
    plat::Dword size = 0;
    EXPECT_EQ(plat::kErrorSuccess, plat::RegQueryValueExA(scratch_.Get(), "Name", &type, nullptr, &size));
    EXPECT_EQ(plat::kRegSz, type);
    EXPECT_EQ(9u, size);
}

// Each value is written, then read back through buffers of its exact size,
// of 4 bytes (as the display settings read every value) where that is
// enough, and of 512 bytes: type, byte count and bytes come back unchanged,
// whatever the type.
TEST_F(RegistryContract, ValuesOfAnyTypeRoundTripByteForByte)
{
    struct Row {
        const char* name;
        plat::Dword type;
        Bytes bytes;
    };
    Bytes large;
    for (int i = 0; i < 300; ++i)
        large += static_cast<char>(i * 7);
    const Row rows[] = {
        {"SzWithItsNul", plat::kRegSz, Bytes("640x480", 8)},
        {"ShortSzReadAsDword", plat::kRegSz, Bytes("1", 2)},
        {"EmptySz", plat::kRegSz, Bytes("", 1)},
        {"ExpandSzNotExpanded", plat::kRegExpandSz, Bytes("%TEMP%\\x", 9)},
        {"DwordLittleEndian", plat::kRegDword, Bytes("\x78\x56\x34\x12", 4)},
        {"DwordOfTwoBytes", plat::kRegDword, Bytes("\x01\x02", 2)},
        {"EmptyBinary", plat::kRegBinary, Bytes()},
        {"OneByteBinary", plat::kRegBinary, Bytes("\xFF", 1)},
        {"BinaryWithNuls", plat::kRegBinary, Bytes("\0\x01\0\xFF\0", 5)},
        {"LargeBinary", plat::kRegBinary, large},
        {"NoneType", plat::kRegNone, Bytes("abc", 3)},
        {"UnknownType", 0x1234, Bytes("\x10\x20", 2)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(plat::kErrorSuccess, SetValue(scratch_.Get(), row.name, row.type, row.bytes));
        std::vector<plat::Dword> capacities = {static_cast<plat::Dword>(row.bytes.size()), 512};
        if (row.bytes.size() <= 4)
            capacities.push_back(4);
        for (plat::Dword capacity : capacities) {
            SCOPED_TRACE("buffer of " + std::to_string(capacity) + " bytes");
            const QueryResult result = QueryValue(scratch_.Get(), row.name, capacity);
            EXPECT_EQ(plat::kErrorSuccess, result.status);
            EXPECT_EQ(row.type, result.type);
            EXPECT_EQ(row.bytes.size(), result.size);
            EXPECT_EQ(Hex(row.bytes), Hex(result.data));
        }
    }
    // REG_DWORD is little endian: the bytes above are this number in memory.
    std::uint32_t value = 0;
    plat::Dword type = 0;
    plat::Dword size = sizeof value;
    ASSERT_EQ(plat::kErrorSuccess, plat::RegQueryValueExA(scratch_.Get(), "DwordLittleEndian", &type,
                                                          reinterpret_cast<unsigned char*>(&value), &size));
    EXPECT_EQ(0x12345678u, value);
}

TEST_F(RegistryContract, SettingAnExistingValueReplacesItsTypeAndSize)
{
    struct Step {
        const char* name;  // the same value, spelled differently each time
        plat::Dword type;
        Bytes bytes;
    };
    const Step steps[] = {
        {"Replaced", plat::kRegDword, Bytes("\x01\0\0\0", 4)},
        {"REPLACED", plat::kRegSz, Bytes("longer text", 12)},
        {"replaced", plat::kRegBinary, Bytes("\x09", 1)},
        {"rEpLaCeD", plat::kRegDword, Bytes("\x02\0\0\0", 4)},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        ASSERT_EQ(plat::kErrorSuccess, SetValue(scratch_.Get(), step.name, step.type, step.bytes));
        for (const char* spelling : {"Replaced", "REPLACED", "replaced"}) {
            const QueryResult result = QueryValue(scratch_.Get(), spelling, 64);
            EXPECT_EQ(plat::kErrorSuccess, result.status) << "reading as " << spelling;
            EXPECT_EQ(step.type, result.type) << "reading as " << spelling;
            EXPECT_EQ(Hex(step.bytes), Hex(result.data)) << "reading as " << spelling;
        }
    }
}

TEST_F(RegistryContract, KeyNamesAreCaseInsensitive)
{
    {
        ScopedKey created;
        ASSERT_EQ(plat::kErrorSuccess, CreateWithRegCreateKeyA("Display\\Config", created));
        ASSERT_EQ(plat::kErrorSuccess, SetValue(created.Get(), "fsWidth", plat::kRegDword, Bytes("\x00\x04\0\0", 4)));
    }
    for (const char* spelling : {"display\\config", "DISPLAY\\CONFIG", "dIsPlAy\\cOnFiG"}) {
        SCOPED_TRACE(spelling);
        ScopedKey opened;
        ASSERT_EQ(plat::kErrorSuccess, Open(spelling, plat::kKeyRead, opened));
        const QueryResult result = QueryValue(opened.Get(), "FSWIDTH", 4);
        EXPECT_EQ(plat::kErrorSuccess, result.status);
        EXPECT_EQ(Hex(Bytes("\x00\x04\0\0", 4)), Hex(result.data));
    }
    // Creating under another spelling opens the same key: the value is there.
    ScopedKey again;
    ASSERT_EQ(plat::kErrorSuccess, CreateWithRegCreateKeyExA("DISPLAY\\config", again));
    EXPECT_EQ(plat::kErrorSuccess, QueryValue(again.Get(), "fswidth", 4).status);
}

TEST_F(RegistryContract, NullAndEmptyValueNamesBothNameTheDefaultValue)
{
    ASSERT_EQ(plat::kErrorSuccess, SetValue(scratch_.Get(), "Named", plat::kRegSz, Bytes("other", 6)));

    ASSERT_EQ(plat::kErrorSuccess, SetValue(scratch_.Get(), nullptr, plat::kRegSz, Bytes("by null", 8)));
    QueryResult result = QueryValue(scratch_.Get(), "", 64);
    EXPECT_EQ(plat::kErrorSuccess, result.status);
    EXPECT_EQ(Hex(Bytes("by null", 8)), Hex(result.data)) << "written with a null name, read with \"\"";

    ASSERT_EQ(plat::kErrorSuccess, SetValue(scratch_.Get(), "", plat::kRegDword, Bytes("\x05\0\0\0", 4)));
    result = QueryValue(scratch_.Get(), nullptr, 64);
    EXPECT_EQ(plat::kErrorSuccess, result.status);
    EXPECT_EQ(plat::kRegDword, result.type);
    EXPECT_EQ(Hex(Bytes("\x05\0\0\0", 4)), Hex(result.data)) << "written with \"\", read with a null name";

    result = QueryValue(scratch_.Get(), "Named", 64);
    EXPECT_EQ(Hex(Bytes("other", 6)), Hex(result.data)) << "a named value is not the default value";
}

TEST_F(RegistryContract, AHandleCanOnlyDoWhatItsAccessAllows)
{
    ASSERT_EQ(plat::kErrorSuccess, SetValue(scratch_.Get(), "Existing", plat::kRegDword, Bytes("\x01\0\0\0", 4)));
    struct Row {
        const char* name;
        plat::Dword access;
        plat::Status query;
        plat::Status set;
    };
    const Row rows[] = {
        {"KEY_READ", plat::kKeyRead, plat::kErrorSuccess, plat::kErrorAccessDenied},
        {"KEY_WRITE", plat::kKeyWrite, plat::kErrorAccessDenied, plat::kErrorSuccess},
        {"KEY_ALL_ACCESS", plat::kKeyAllAccess, plat::kErrorSuccess, plat::kErrorSuccess},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScopedKey key;
        ASSERT_EQ(plat::kErrorSuccess, Open("", row.access, key));
        EXPECT_EQ(row.query, QueryValue(key.Get(), "Existing", 4).status) << "query";
        const std::string written = std::string("WrittenWith") + row.name;
        EXPECT_EQ(row.set, SetValue(key.Get(), written.c_str(), plat::kRegDword, Bytes("\x02\0\0\0", 4))) << "set";
        // A refused write leaves nothing behind.
        const plat::Status stored = QueryValue(scratch_.Get(), written.c_str(), 4).status;
        EXPECT_EQ(row.set == plat::kErrorSuccess ? plat::kErrorSuccess : plat::kErrorFileNotFound, stored);
    }
    // The access asked of RegCreateKeyExA applies to the handle it gives,
    // also for a key it has just made.
    ScopedKey created;
    ASSERT_EQ(plat::kErrorSuccess,
              plat::RegCreateKeyExA(ScratchRoot(), ScratchKey("MadeForReading").c_str(), plat::kKeyRead, created.Out()));
    EXPECT_EQ(plat::kErrorAccessDenied, SetValue(created.Get(), "Value", plat::kRegDword, Bytes("\x02\0\0\0", 4)));
}

TEST_F(RegistryContract, AClosedKeyCanNoLongerBeUsedNorClosedAgain)
{
    ScopedKey key;
    ASSERT_EQ(plat::kErrorSuccess, Open("", plat::kKeyAllAccess, key));
    const plat::RegKey closed = key.Get();
    EXPECT_EQ(plat::kErrorSuccess, key.Close());

    plat::RegKey result = kNotAKey;
    EXPECT_EQ(plat::kErrorInvalidHandle, plat::RegOpenKeyExA(closed, "", 0, plat::kKeyRead, &result)) << "open";
    EXPECT_EQ(nullptr, result) << "open";
    result = kNotAKey;
    EXPECT_EQ(plat::kErrorInvalidHandle, plat::RegCreateKeyExA(closed, "Child", plat::kKeyAllAccess, &result))
        << "create";
    EXPECT_EQ(nullptr, result) << "create";
    EXPECT_EQ(plat::kErrorInvalidHandle, QueryValue(closed, "Value", 4).status) << "query";
    EXPECT_EQ(plat::kErrorInvalidHandle, SetValue(closed, "Value", plat::kRegDword, Bytes("\1\0\0\0", 4))) << "set";
    EXPECT_EQ(plat::kErrorInvalidHandle, plat::RegCloseKey(closed)) << "closing a closed key";
    EXPECT_EQ(plat::kErrorInvalidHandle, plat::RegCloseKey(nullptr)) << "closing a null key";
    ScopedKey child;
    EXPECT_EQ(plat::kErrorFileNotFound, Open("Child", plat::kKeyRead, child)) << "nothing was created";
}

// ---- Keys the user may not change (memory only) ------------------------------
//
// Under Wine every key is writable, so these run on the in-memory registry
// alone. They hold what Windows does for a user without write access to the
// display settings key (HKLM for a limited account):
//   - RegOpenKeyExA with KEY_ALL_ACCESS or KEY_WRITE fails, KEY_READ works;
//   - RegCreateKeyA asks for MAXIMUM_ALLOWED, so on an existing key it
//     succeeds with whatever access is granted (read only) and the writes
//     through that handle fail; below such a key it cannot create anything;
//   - RegCreateKeyExA gives exactly the access asked for, or fails;
//   - a denied key cannot be opened or created at all.
// This is why saving the settings as a limited user fails quietly.

TEST_F(RegistryContract, AReadOnlyKeyOpensForReadingOnlyAndCannotBeChanged)
{
    if (!CanDenyAccess())
        GTEST_SKIP() << "access cannot be denied on " << PlatformName();
    {
        ScopedKey created;
        ASSERT_EQ(plat::kErrorSuccess, CreateWithRegCreateKeyA("ReadOnly", created));
        ASSERT_EQ(plat::kErrorSuccess, SetValue(created.Get(), "Value", plat::kRegDword, Bytes("\x01\0\0\0", 4)));
    }
    SetKeyAccess(ScratchKey("ReadOnly"), Access::ReadOnly);

    for (plat::Dword access : {plat::kKeyAllAccess, plat::kKeyWrite}) {
        SCOPED_TRACE("access " + std::to_string(access));
        plat::RegKey key = kNotAKey;
        EXPECT_EQ(plat::kErrorAccessDenied,
                  plat::RegOpenKeyExA(ScratchRoot(), ScratchKey("ReadOnly").c_str(), 0, access, &key));
        EXPECT_EQ(nullptr, key);
    }
    plat::RegKey key = kNotAKey;
    EXPECT_EQ(plat::kErrorAccessDenied, plat::RegCreateKeyExA(ScratchRoot(), ScratchKey("ReadOnly").c_str(),
                                                              plat::kKeyAllAccess, &key));
    EXPECT_EQ(nullptr, key);
    ScopedKey readOnlyCreate;
    EXPECT_EQ(plat::kErrorSuccess, plat::RegCreateKeyExA(ScratchRoot(), ScratchKey("ReadOnly").c_str(),
                                                         plat::kKeyRead, readOnlyCreate.Out()))
        << "RegCreateKeyExA(KEY_READ) of the existing key";

    ScopedKey reader;
    ASSERT_EQ(plat::kErrorSuccess, Open("ReadOnly", plat::kKeyRead, reader));
    EXPECT_EQ(plat::kErrorSuccess, QueryValue(reader.Get(), "Value", 4).status);
    EXPECT_EQ(plat::kErrorAccessDenied, SetValue(reader.Get(), "Value", plat::kRegDword, Bytes("\x02\0\0\0", 4)));

    // RegCreateKeyA opens the existing key with the access there is.
    ScopedKey maximum;
    ASSERT_EQ(plat::kErrorSuccess, CreateWithRegCreateKeyA("ReadOnly", maximum));
    EXPECT_EQ(plat::kErrorSuccess, QueryValue(maximum.Get(), "Value", 4).status);
    EXPECT_EQ(plat::kErrorAccessDenied, SetValue(maximum.Get(), "Value", plat::kRegDword, Bytes("\x02\0\0\0", 4)));
    EXPECT_EQ(Hex(Bytes("\x01\0\0\0", 4)), Hex(QueryValue(reader.Get(), "Value", 4).data)) << "the value is unchanged";

    // Nothing can be created below it, and the rule covers its subkeys.
    for (const CreateFunction& function : kCreateFunctions) {
        SCOPED_TRACE(function.name);
        ScopedKey child;
        EXPECT_EQ(plat::kErrorAccessDenied, function.create("ReadOnly\\Child", child));
        EXPECT_EQ(nullptr, child.Get());
        ScopedKey missing;
        EXPECT_EQ(plat::kErrorFileNotFound, Open("ReadOnly\\Child", plat::kKeyRead, missing));
    }
}

TEST_F(RegistryContract, ADeniedKeyCannotBeOpenedOrCreated)
{
    if (!CanDenyAccess())
        GTEST_SKIP() << "access cannot be denied on " << PlatformName();
    {
        ScopedKey created;
        ASSERT_EQ(plat::kErrorSuccess, CreateWithRegCreateKeyA("Denied\\Below", created));
    }
    SetKeyAccess(ScratchKey("Denied"), Access::Denied);

    for (const char* path : {"Denied", "Denied\\Below"}) {
        for (plat::Dword access : {plat::kKeyRead, plat::kKeyWrite, plat::kKeyAllAccess}) {
            SCOPED_TRACE(std::string(path) + ", access " + std::to_string(access));
            plat::RegKey key = kNotAKey;
            EXPECT_EQ(plat::kErrorAccessDenied,
                      plat::RegOpenKeyExA(ScratchRoot(), ScratchKey(path).c_str(), 0, access, &key));
            EXPECT_EQ(nullptr, key);
        }
        for (const CreateFunction& function : kCreateFunctions) {
            SCOPED_TRACE(std::string(path) + ", " + function.name);
            ScopedKey key;
            EXPECT_EQ(plat::kErrorAccessDenied, function.create(path, key));
            EXPECT_EQ(nullptr, key.Get());
        }
    }
    // Its parent is still fully usable.
    ScopedKey parent;
    EXPECT_EQ(plat::kErrorSuccess, Open("", plat::kKeyAllAccess, parent));
}

}  // namespace contract
