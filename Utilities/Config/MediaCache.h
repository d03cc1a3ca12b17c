// MediaCache.h - "&Delete Temporary Files": emptying the player's media
// cache, the "MediaCache" folder beside the module.
#ifndef KESTROVA_CONFIG_MEDIA_CACHE_H
#define KESTROVA_CONFIG_MEDIA_CACHE_H

#include <windows.h>

// Deletes everything inside the cache folder through the shell's own
// operation (with its simple progress window), keeping the folder. Button
// 1002 is disabled meanwhile. Nothing is shown on failure.
void ClearMediaCache(HWND dialog);

#endif  // KESTROVA_CONFIG_MEDIA_CACHE_H
