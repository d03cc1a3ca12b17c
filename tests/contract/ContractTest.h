// ContractTest.h - the GoogleTest fixtures and small helpers shared by the
// platform contract scenarios.
#ifndef KESTROVA_TESTS_CONTRACT_TEST_H
#define KESTROVA_TESTS_CONTRACT_TEST_H

#include "ContractFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace contract {

// Every scenario starts with no scratch key and, where the platform can
// tell, must end with every key it opened closed again.
class PlatformContract : public ::testing::Test {
protected:
    void SetUp() override { BeginScenario(); }
    void TearDown() override
    {
        if (CanCountOpenKeys()) {
            EXPECT_EQ(0, OpenKeyCount()) << "open keys left at the end of the scenario on " << PlatformName();
        }
        EndScenario();
    }
};

// Scenarios on the controls of a fresh test dialog.
class DialogContract : public PlatformContract {
protected:
    void SetUp() override
    {
        PlatformContract::SetUp();
        dialog_ = CreateTestDialog();
        ASSERT_NE(nullptr, dialog_) << "the test dialog could not be created on " << PlatformName();
    }
    void TearDown() override
    {
        if (dialog_ != nullptr)
            DestroyTestDialog(dialog_);
        PlatformContract::TearDown();
    }
    plat::Window Control(int id)
    {
        plat::Window control = plat::GetDlgItem(dialog_, id);
        EXPECT_NE(nullptr, control) << "no control " << id << " in the test dialog";
        return control;
    }

    plat::Window dialog_ = nullptr;
};

// A key handle that is closed when the scenario leaves, so one failed
// assertion does not also show up as a leaked key.
class ScopedKey {
public:
    ScopedKey() = default;
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    ~ScopedKey()
    {
        if (key_ != nullptr)
            plat::RegCloseKey(key_);
    }
    plat::RegKey* Out() { return &key_; }
    plat::RegKey Get() const { return key_; }
    // Closes now and gives RegCloseKey's result.
    plat::Status Close()
    {
        const plat::Status status = plat::RegCloseKey(key_);
        key_ = nullptr;
        return status;
    }

private:
    plat::RegKey key_ = nullptr;
};

// Scenarios on the scratch folder. Where the platform can tell, every find
// handle, stream and movable block must be given back by the end.
class FileContract : public PlatformContract {
protected:
    void TearDown() override
    {
        if (CanCountFileResources()) {
            EXPECT_EQ(0, OpenFileResourceCount())
                << "find handles, streams or movable blocks left at the end of the scenario on " << PlatformName();
        }
        PlatformContract::TearDown();
    }
    // A path below the scratch folder; "" for the folder itself.
    static std::string Path(const std::string& relative)
    {
        return relative.empty() ? ScratchFolder() : ScratchFolder() + "\\" + relative;
    }
};

// ScratchPath() with a subkey path appended ("" gives the scratch key).
inline std::string ScratchKey(const std::string& subPath)
{
    return subPath.empty() ? std::string(ScratchPath()) : std::string(ScratchPath()) + "\\" + subPath;
}

}  // namespace contract

#endif  // KESTROVA_TESTS_CONTRACT_TEST_H
