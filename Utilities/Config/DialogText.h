// DialogText.h - the text of a combo box entry.
#ifndef KESTROVA_CONFIG_DIALOG_TEXT_H
#define KESTROVA_CONFIG_DIALOG_TEXT_H

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <vector>

// The text of entry index as the buffer holds it: at most N - 1 characters,
// empty for no entry. The list writes an entry whole, whatever the buffer,
// so its length is asked first: an entry that fits is read straight into the
// buffer, and only a longer one (a driver name of 1024 characters or more) is
// read whole into the heap and cut, which throws std::bad_alloc when memory
// runs out.
template <std::size_t N>
void ComboEntryText(HWND combo, LRESULT index, char (&text)[N])
{
    text[0] = '\0';
    const LRESULT length = index < 0 ? CB_ERR : SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0)
        return;
    if (static_cast<std::size_t>(length) < N) {
        if (SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text)) == CB_ERR)
            text[0] = '\0';
        return;
    }
    std::vector<char> whole(static_cast<std::size_t>(length) + 1, '\0');
    if (SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(whole.data())) == CB_ERR)
        return;
    std::memcpy(text, whole.data(), N - 1);
    text[N - 1] = '\0';
}

#endif  // KESTROVA_CONFIG_DIALOG_TEXT_H
