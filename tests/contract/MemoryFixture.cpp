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

}  // namespace

const char* PlatformName() { return "Memory"; }

// Reset() also forgets the access rules and the open-key count, so no
// scenario sees what the previous one left behind.
void BeginScenario() { memplat::Reset(); }
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

}  // namespace contract
