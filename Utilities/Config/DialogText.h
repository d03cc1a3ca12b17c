// DialogText.h - the text of a combo box entry.
#ifndef KESTROVA_CONFIG_DIALOG_TEXT_H
#define KESTROVA_CONFIG_DIALOG_TEXT_H

#include <windows.h>

#include <string>
#include <vector>

// The text of entry index as a buffer of bufferSize bytes holds it (at most
// bufferSize - 1 characters); empty for no entry. The entry is read at its
// full length first, so no entry overruns a buffer.
inline std::string ComboEntryText(HWND combo, LRESULT index, std::size_t bufferSize)
{
    const LRESULT length = index < 0 ? CB_ERR : SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0)
        return std::string();
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    if (SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data())) == CB_ERR)
        return std::string();
    return std::string(text.data()).substr(0, bufferSize - 1);
}

#endif  // KESTROVA_CONFIG_DIALOG_TEXT_H
