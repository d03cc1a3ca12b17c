// DialogText.h - the text of a combo box entry.
#ifndef KESTROVA_CONFIG_DIALOG_TEXT_H
#define KESTROVA_CONFIG_DIALOG_TEXT_H

#include <windows.h>

#include <cstddef>

// The text of entry index as the buffer holds it: at most N - 1 characters,
// empty for no entry. The list writes an entry whole, whatever the buffer,
// so its length is asked first and an entry that fits is read straight into
// the buffer. A longer one (a driver name of 1024 characters or more) can
// only be the selection, which the combo box gives as its own text, cut to
// the buffer by the system: no memory of the module's is needed either way.
// A longer entry that is not the selection reads as empty; no list of the
// module holds one.
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
    if (SendMessageA(combo, CB_GETCURSEL, 0, 0) == index)
        GetWindowTextA(combo, text, static_cast<int>(N));
}

#endif  // KESTROVA_CONFIG_DIALOG_TEXT_H
