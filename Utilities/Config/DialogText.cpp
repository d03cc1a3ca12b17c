// DialogText.cpp - see DialogText.h.
#include "DialogText.h"

#include <vector>

std::string ComboEntryText(plat::Window combo, std::intptr_t index)
{
    if (index < 0)
        return std::string();
    const std::intptr_t length = plat::ComboGetLBTextLen(combo, index);
    if (length <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    if (plat::ComboGetLBText(combo, index, buffer.data()) == plat::kCbErr)
        return std::string();
    return std::string(buffer.data());
}

std::string WindowText(plat::Window window, int bufferSize)
{
    std::vector<char> buffer(static_cast<std::size_t>(bufferSize > 0 ? bufferSize : 1), '\0');
    plat::GetWindowTextA(window, buffer.data(), bufferSize);
    return std::string(buffer.data());
}
