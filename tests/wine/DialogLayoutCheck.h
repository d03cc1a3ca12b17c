// DialogLayoutCheck.h - a dialog the real Config.dll shows, read back
// control by control, and compared with the layout data the in-memory
// platform uses, so the two cannot drift apart.
#ifndef KESTROVA_TESTS_DIALOG_LAYOUT_CHECK_H
#define KESTROVA_TESTS_DIALOG_LAYOUT_CHECK_H

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "DialogLayouts.h"

namespace e2e {

struct ShownControl {
    int id;
    std::string className;
    DWORD style;
    DWORD exStyle;
    std::string text;
    bool checked;
    RECT rect;      // in the dialog's client coordinates
    RECT expected;  // the layout's rectangle as the dialog manager maps it
};

struct ShownDialog {
    std::string caption;
    DWORD style = 0;
    POINT clientOrigin = {};       // screen coordinates
    POINT ownerClientOrigin = {};  // screen coordinates
    SIZE clientSize = {};
    SIZE expectedClientSize = {};
    std::string fontName;
    LONG fontHeight = 0;
    LONG expectedFontHeight = 0;
    std::vector<ShownControl> controls;
};

// Reads a shown dialog and its controls in tab order; owner is the window
// it was opened over. Call on any thread of the process.
ShownDialog ReadDialog(HWND dialog, HWND owner, const layouts::DialogLayout& layout);

// Checks every control's id, class, style, text and place, and the
// dialog's caption, style, font, size and placement at the owner's client
// origin. textsSetAtOpening: ids whose template text the module replaces as
// the dialog opens.
void ExpectMatchesLayout(const layouts::DialogLayout& layout, const ShownDialog& shown,
                         const std::set<int>& textsSetAtOpening);

}  // namespace e2e

#endif  // KESTROVA_TESTS_DIALOG_LAYOUT_CHECK_H
