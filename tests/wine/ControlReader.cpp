// ControlReader.cpp - see ControlReader.h.
#include "ControlReader.h"

#include <commctrl.h>

#include <ostream>

namespace e2e {

namespace {

const int kTextCapacity = 512;

std::string ItemText(HWND list, int row, int column)
{
    char text[kTextCapacity] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = kTextCapacity;
    const LRESULT length = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace

std::string ControlText(HWND control)
{
    char text[kTextCapacity] = "";
    const int length = GetWindowTextA(control, text, kTextCapacity);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

bool operator==(const ListColumn& a, const ListColumn& b) { return a.text == b.text && a.width == b.width; }

void PrintTo(const ListColumn& column, std::ostream* out)
{
    *out << "\"" << column.text << "\" " << column.width << " px";
}

std::vector<ListColumn> ListViewColumns(HWND list)
{
    std::vector<ListColumn> columns;
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const LRESULT count = header != nullptr ? SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    for (LRESULT i = 0; i < count; ++i) {
        char text[kTextCapacity] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = text;
        column.cchTextMax = kTextCapacity;
        SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        columns.push_back(ListColumn{text, column.cx});
    }
    return columns;
}

std::vector<ListRow> ListViewRows(HWND list, int columnCount)
{
    std::vector<ListRow> rows;
    const LRESULT count = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        ListRow row;
        for (int column = 0; column < columnCount; ++column)
            row.push_back(ItemText(list, static_cast<int>(i), column));
        rows.push_back(row);
    }
    return rows;
}

}  // namespace e2e
