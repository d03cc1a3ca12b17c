// ControlReader.h - reading what the settings dialog shows in its statics
// and its list view, from the user's thread (the dialog runs on another
// thread of the same process, so the buffers the list view fills are
// valid there).
#ifndef KESTROVA_TESTS_CONTROL_READER_H
#define KESTROVA_TESTS_CONTROL_READER_H

#include <windows.h>

#include <iosfwd>
#include <string>
#include <vector>

namespace e2e {

std::string ControlText(HWND control);

struct ListColumn {
    std::string text;
    int width;
};
bool operator==(const ListColumn& a, const ListColumn& b);
void PrintTo(const ListColumn& column, std::ostream* out);

// Every column of a report list view, as its header holds them.
std::vector<ListColumn> ListViewColumns(HWND list);

typedef std::vector<std::string> ListRow;  // one text per column
// Every row in display order, columnCount texts each.
std::vector<ListRow> ListViewRows(HWND list, int columnCount);

}  // namespace e2e

#endif  // KESTROVA_TESTS_CONTROL_READER_H
