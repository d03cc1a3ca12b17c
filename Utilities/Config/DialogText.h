// DialogText.h - reading texts out of dialog controls into strings.
#ifndef KESTROVA_CONFIG_DIALOG_TEXT_H
#define KESTROVA_CONFIG_DIALOG_TEXT_H

#include <cstdint>
#include <string>

#include "platform/Platform.h"

// The text of a combo entry, empty for no entry. Read at its real length,
// so no entry can overrun a buffer.
std::string ComboEntryText(plat::Window combo, std::intptr_t index);

// GetWindowTextA with a buffer of bufferSize bytes: at most bufferSize - 1
// characters.
std::string WindowText(plat::Window window, int bufferSize);

#endif  // KESTROVA_CONFIG_DIALOG_TEXT_H
