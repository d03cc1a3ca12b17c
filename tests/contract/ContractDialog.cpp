// ContractDialog.cpp - the controls of the contract test dialog. Style
// values are those of <windows.h> and <commctrl.h>, spelled out so this file
// builds anywhere.
#include "ContractFixture.h"

namespace contract {

namespace {

const std::uint32_t WS_BORDER = 0x00800000;
const std::uint32_t WS_VSCROLL = 0x00200000;
const std::uint32_t WS_GROUP = 0x00020000;
const std::uint32_t WS_TABSTOP = 0x00010000;
const std::uint32_t BS_AUTOCHECKBOX = 0x3;
const std::uint32_t BS_AUTORADIOBUTTON = 0x9;
const std::uint32_t CBS_DROPDOWNLIST = 0x3;
const std::uint32_t SS_LEFT = 0x0;
const std::uint32_t ES_AUTOHSCROLL = 0x80;
const std::uint32_t LVS_REPORT = 0x1;
const std::uint32_t LVS_SORTASCENDING = 0x10;

}  // namespace

const std::vector<ControlDef>& TestDialogControls()
{
    // The static after the radio buttons carries WS_GROUP and so closes
    // their group, as in the settings dialog.
    static const std::vector<ControlDef> controls = {
        {kComboId, "ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, "", 5, 5, 140, 80},
        {kListId, "SysListView32", LVS_REPORT | LVS_SORTASCENDING | WS_BORDER | WS_TABSTOP, "List1", 5, 22, 200, 80},
        {kEditId, "Edit", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, "", 5, 106, 140, 14},
        {kCheckId, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, "&Check", 5, 124, 80, 10},
        {kRadioAId, "Button", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, "Radio &A", 5, 138, 80, 10},
        {kRadioBId, "Button", BS_AUTORADIOBUTTON | WS_TABSTOP, "Radio &B", 5, 150, 80, 10},
        {kRadioCId, "Button", BS_AUTORADIOBUTTON | WS_TABSTOP, "Radio &C", 5, 162, 80, 10},
        {kStaticId, "Static", SS_LEFT | WS_GROUP, "Static text", 5, 176, 140, 10},
    };
    return controls;
}

}  // namespace contract
