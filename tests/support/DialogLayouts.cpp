// DialogLayouts.cpp - see DialogLayouts.h. Style values are those of
// <windows.h> and <commctrl.h>, spelled out so this file builds anywhere.
#include "DialogLayouts.h"

namespace layouts {

namespace {

const std::uint32_t WS_POPUP = 0x80000000;
const std::uint32_t WS_CAPTION = 0x00C00000;
const std::uint32_t WS_BORDER = 0x00800000;
const std::uint32_t WS_VSCROLL = 0x00200000;
const std::uint32_t WS_GROUP = 0x00020000;
const std::uint32_t WS_TABSTOP = 0x00010000;
const std::uint32_t DS_SETFONT = 0x40;
const std::uint32_t DS_MODALFRAME = 0x80;
const std::uint32_t BS_PUSHBUTTON = 0x0;
const std::uint32_t BS_DEFPUSHBUTTON = 0x1;
const std::uint32_t BS_AUTOCHECKBOX = 0x3;
const std::uint32_t BS_GROUPBOX = 0x7;
const std::uint32_t BS_AUTORADIOBUTTON = 0x9;
const std::uint32_t CBS_DROPDOWNLIST = 0x3;
const std::uint32_t SS_LEFT = 0x0;
const std::uint32_t ES_PASSWORD = 0x20;
const std::uint32_t ES_AUTOHSCROLL = 0x80;
const std::uint32_t ES_NUMBER = 0x2000;
const std::uint32_t LVS_REPORT = 0x1;
const std::uint32_t LVS_SORTASCENDING = 0x10;

}  // namespace

const DialogLayout& SettingsDialogLayout()
{
    static const DialogLayout layout = {
        101, "Kestrova Dad Azizov Settings", DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION,
        0, 0, 260, 300, "MS Sans Serif", 8,
        {
            {-1, "Button", BS_GROUPBOX, "3d Render Engine", 6, 1, 247, 49},
            {1001, "ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, "", 11, 13, 142, 83},
            {1022, "Button", BS_AUTORADIOBUTTON | WS_TABSTOP, "Let the &page decide", 164, 14, 81, 10},
            {1021, "Button", BS_AUTORADIOBUTTON | WS_TABSTOP, "Force &Hardware", 164, 26, 81, 10},
            {1020, "Button", BS_AUTORADIOBUTTON | WS_TABSTOP, "Force &Software", 164, 38, 81, 10},
            {-1, "Button", BS_GROUPBOX, "Full Screen Resolution", 6, 53, 247, 27},
            {1003, "ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, "", 11, 63, 144, 83},
            {1004, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, "&Use 32 Bit Color Mode", 164, 64, 83, 10},
            {-1, "Button", BS_GROUPBOX, "Misc Config", 6, 83, 247, 48},
            {1000, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, "Automaticaly Check for &Updates", 12, 94, 197, 10},
            {1009, "Button", BS_PUSHBUTTON | WS_TABSTOP, "&Network Settings", 19, 110, 101, 14},
            {1002, "Button", BS_PUSHBUTTON | WS_TABSTOP, "&Delete Temporary Files", 140, 110, 101, 14},
            {-1, "Button", BS_GROUPBOX, "Advanced Information", 6, 134, 247, 145},
            {-1, "Static", SS_LEFT | WS_GROUP, "Kestrova Dad Azizov Version:", 21, 147, 99, 10},
            {-1, "Static", SS_LEFT | WS_GROUP, "For Internet Explorer", 63, 156, 76, 10},
            {-1, "Static", SS_LEFT | WS_GROUP, "For Netscape", 63, 165, 54, 10},
            {1008, "Static", SS_LEFT | WS_GROUP, "1.0.0.0", 140, 156, 106, 10},
            {1010, "Static", SS_LEFT | WS_GROUP, "1.0.0.0", 140, 166, 106, 10},
            {-1, "Static", SS_LEFT | WS_GROUP, "Installed Components:", 23, 176, 146, 10},
            {1007, "SysListView32", LVS_REPORT | LVS_SORTASCENDING | WS_BORDER | WS_TABSTOP, "List1", 23, 187, 223, 84},
            {1, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, "&Close", 203, 282, 50, 14},
        }};
    return layout;
}

const DialogLayout& NetworkDialogLayout()
{
    static const DialogLayout layout = {
        102, "Kestrova Dad Azizov Network Settings", DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION,
        0, 0, 224, 182, "MS Sans Serif", 8,
        {
            {-1, "Button", BS_GROUPBOX, "Proxy /Firewall Server", 6, 7, 211, 143},
            {-1, "Static", SS_LEFT | WS_GROUP, "Host:", 15, 20, 18, 8},
            {-1, "Static", SS_LEFT | WS_GROUP, "Port:", 15, 40, 16, 8},
            {1010, "Edit", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, "", 54, 18, 124, 14},
            {1011, "Edit", ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, "", 54, 37, 40, 14},
            {1012, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, "Authentication", 15, 84, 61, 10},
            {1015, "ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, "", 54, 56, 71, 92},
            {-1, "Static", SS_LEFT | WS_GROUP, "Type:", 15, 58, 19, 8},
            {-1, "Static", SS_LEFT | WS_GROUP, "Username:", 15, 108, 35, 8},
            {-1, "Static", SS_LEFT | WS_GROUP, "Password:", 15, 128, 34, 8},
            {1016, "Edit", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, "", 54, 105, 110, 14},
            {1017, "Edit", ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, "", 54, 124, 110, 14},
            {1018, "Button", BS_PUSHBUTTON | WS_TABSTOP, "&Ok", 57, 159, 50, 14},
            {1019, "Button", BS_PUSHBUTTON | WS_TABSTOP, "&Cancel", 116, 159, 50, 14},
        }};
    return layout;
}

}  // namespace layouts
