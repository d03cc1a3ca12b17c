// DialogLayoutCheck.cpp - see DialogLayoutCheck.h.
#include "DialogLayoutCheck.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace e2e {

namespace {


std::string WindowText(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Where the dialog manager puts a control of the layout: position and size
// are converted from dialog units one by one (so right = left + width in
// pixels, which can differ by one from converting the right edge).
RECT MapLayoutRect(HWND dialog, int x, int y, int width, int height)
{
    RECT units = {x, y, width, height};
    MapDialogRect(dialog, &units);
    return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
}

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

std::string Describe(const RECT& rect)
{
    char text[64];
    std::snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", rect.left, rect.top, rect.right, rect.bottom);
    return text;
}

bool IsClass(const ShownControl& control, const char* name) { return _stricmp(control.className.c_str(), name) == 0; }

// The style a control of the layout really has once the dialog shows. The
// system moves some of the template's bits, always the same way:
//   - a drop-down combo box passes WS_VSCROLL on to its list;
//   - an auto radio button keeps WS_TABSTOP only while checked, so Tab
//     lands on the checked button of the group;
//   - a list view and an edit box give up WS_BORDER for the
//     WS_EX_CLIENTEDGE extended style (checked separately).
DWORD ExpectedStyle(const layouts::ControlLayout& layout, const ShownControl& shown)
{
    const DWORD kAutoRadioButton = BS_AUTORADIOBUTTON;
    DWORD style = layout.style;
    if (IsClass(shown, "ComboBox"))
        style &= ~static_cast<DWORD>(WS_VSCROLL);
    if (IsClass(shown, "Button") && (layout.style & BS_TYPEMASK) == kAutoRadioButton)
        style = shown.checked ? (style | WS_TABSTOP) : (style & ~static_cast<DWORD>(WS_TABSTOP));
    if (IsClass(shown, "SysListView32") || IsClass(shown, "Edit"))
        style &= ~static_cast<DWORD>(WS_BORDER);
    return style;
}

}  // namespace

ShownDialog ReadDialog(HWND dialog, HWND owner, const layouts::DialogLayout& layout)
{
    ShownDialog shown;
    shown.caption = WindowText(dialog);
    shown.style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    ClientToScreen(dialog, &shown.clientOrigin);
    ClientToScreen(owner, &shown.ownerClientOrigin);
    RECT client;
    GetClientRect(dialog, &client);
    shown.clientSize = SIZE{client.right, client.bottom};
    const RECT expectedClient = MapLayoutRect(dialog, 0, 0, layout.width, layout.height);
    shown.expectedClientSize = SIZE{expectedClient.right, expectedClient.bottom};

    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    shown.fontName = font.lfFaceName;
    shown.fontHeight = font.lfHeight;
    HDC screen = GetDC(nullptr);
    shown.expectedFontHeight = -MulDiv(layout.fontPoints, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);

    // GW_CHILD and GW_HWNDNEXT walk the Z order, which for a dialog is the
    // template's order, the tab order.
    std::size_t index = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT), ++index) {
        ShownControl control = {};
        control.id = GetDlgCtrlID(child);
        char className[64] = "";
        GetClassNameA(child, className, sizeof className);
        control.className = className;
        control.style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        control.exStyle = static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE));
        control.text = WindowText(child);
        control.checked = SendMessageA(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
        GetWindowRect(child, &control.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&control.rect), 2);
        if (index < layout.controls.size()) {
            const layouts::ControlLayout& expected = layout.controls[index];
            control.expected = MapLayoutRect(dialog, expected.x, expected.y, expected.width, expected.height);
        }
        shown.controls.push_back(control);
    }
    return shown;
}

void ExpectMatchesLayout(const layouts::DialogLayout& layout, const ShownDialog& shown,
                         const std::set<int>& textsSetAtOpening)
{
    EXPECT_EQ(layout.caption, shown.caption);
    // Shown, the system adds WS_VISIBLE, WS_CLIPSIBLINGS and DS_3DLOOK to
    // every dialog; everything else is the template's own.
    const DWORD kAddedToDialogs = WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK;
    EXPECT_EQ(Hex(layout.style), Hex(shown.style & ~kAddedToDialogs)) << "dialog style";
    EXPECT_EQ(0u, shown.style & WS_SYSMENU) << "no system menu, so no close box: the dialog ends through its buttons";
    EXPECT_EQ(shown.ownerClientOrigin.x, shown.clientOrigin.x) << "the dialog opens at the player window's client origin";
    EXPECT_EQ(shown.ownerClientOrigin.y, shown.clientOrigin.y) << "the dialog opens at the player window's client origin";
    EXPECT_EQ(shown.expectedClientSize.cx, shown.clientSize.cx) << "client width";
    EXPECT_EQ(shown.expectedClientSize.cy, shown.clientSize.cy) << "client height";
    EXPECT_EQ(layout.fontName, shown.fontName);
    EXPECT_EQ(shown.expectedFontHeight, shown.fontHeight) << layout.fontPoints << " points";

    ASSERT_EQ(layout.controls.size(), shown.controls.size()) << "number of controls";
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        const layouts::ControlLayout& expected = layout.controls[i];
        const ShownControl& actual = shown.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (id " + std::to_string(expected.id) + ", \"" + expected.text +
                     "\")");
        EXPECT_EQ(expected.id, actual.id);
        EXPECT_TRUE(_stricmp(expected.className.c_str(), actual.className.c_str()) == 0)
            << "class: expected " << expected.className << ", actual " << actual.className;
        // The module enables and disables controls as the dialog opens; no
        // control of a template starts disabled.
        EXPECT_EQ(0u, expected.style & WS_DISABLED);
        EXPECT_EQ(Hex(ExpectedStyle(expected, actual)),
                  Hex(actual.style & ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_DISABLED)))
            << "style";
        if ((expected.style & WS_BORDER) != 0 && (IsClass(actual, "SysListView32") || IsClass(actual, "Edit"))) {
            EXPECT_NE(0u, actual.exStyle & WS_EX_CLIENTEDGE) << "the border, as an extended style";
        }
        // A drop-down list's text is its selected entry, and some texts are
        // filled as the dialog opens: the template's text shows in neither.
        const bool textReplaced = IsClass(actual, "ComboBox") || textsSetAtOpening.count(expected.id) != 0;
        if (!textReplaced) {
            EXPECT_EQ(expected.text, actual.text);
        }
        EXPECT_EQ(actual.expected.left, actual.rect.left) << Describe(actual.expected) << " vs " << Describe(actual.rect);
        EXPECT_EQ(actual.expected.top, actual.rect.top) << Describe(actual.expected) << " vs " << Describe(actual.rect);
        EXPECT_EQ(actual.expected.right, actual.rect.right) << Describe(actual.expected) << " vs " << Describe(actual.rect);
        // A combo box's template height is that of its dropped-down list;
        // the window itself is only as high as its selection field.
        if (!IsClass(actual, "ComboBox")) {
            EXPECT_EQ(actual.expected.bottom, actual.rect.bottom)
                << Describe(actual.expected) << " vs " << Describe(actual.rect);
        }
    }
}

}  // namespace e2e
