// DialogLayouts.h - the module's dialog templates as data: ids, classes,
// styles, texts and positions in tab order, exactly as the resource script
// declares them.
//
// Native tests register these with the in-memory platform; the Wine tests
// compare them with the dialogs the real Config.dll creates, so the two
// cannot drift apart.
#ifndef KESTROVA_TESTS_DIALOG_LAYOUTS_H
#define KESTROVA_TESTS_DIALOG_LAYOUTS_H

#include <cstdint>
#include <string>
#include <vector>

namespace layouts {

struct ControlLayout {
    int id;                  // -1: a control the module never addresses
    std::string className;   // "Button", "Static", "Edit", "ComboBox", "SysListView32"
    std::uint32_t style;     // without WS_CHILD | WS_VISIBLE, which every control has
    std::string text;
    int x, y, width, height; // dialog units
};

struct DialogLayout {
    int id;
    std::string caption;
    std::uint32_t style;     // the dialog's own style
    int x, y, width, height; // dialog units
    std::string fontName;
    int fontPoints;
    std::vector<ControlLayout> controls;
};

const DialogLayout& SettingsDialogLayout();  // 101
const DialogLayout& NetworkDialogLayout();   // 102

}  // namespace layouts

#endif  // KESTROVA_TESTS_DIALOG_LAYOUTS_H
