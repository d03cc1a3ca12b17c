// MemoryDialogs.cpp - see MemoryDialogs.h.
#include "MemoryDialogs.h"

#include "DialogLayouts.h"
#include "platform/MemoryPlatform.h"

namespace {

memplat::DialogTemplate ToTemplate(const layouts::DialogLayout& layout)
{
    memplat::DialogTemplate result;
    result.id = layout.id;
    result.caption = layout.caption;
    for (const layouts::ControlLayout& control : layout.controls)
        result.controls.push_back(memplat::ControlTemplate{control.id, control.className, control.style, control.text});
    return result;
}

}  // namespace

void RegisterModuleDialogs()
{
    memplat::RegisterDialogTemplate(ToTemplate(layouts::SettingsDialogLayout()));
    memplat::RegisterDialogTemplate(ToTemplate(layouts::NetworkDialogLayout()));
}
