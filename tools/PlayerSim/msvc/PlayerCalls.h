/* PlayerCalls.h - the calls MsvcPlayer.dll passes on to the simulated player
   (MsvcHost), numbered as its PlayerCall function receives them. */
#ifndef KESTROVA_PLAYERSIM_PLAYER_CALLS_H
#define KESTROVA_PLAYERSIM_PLAYER_CALLS_H

enum PlayerCallId {
    kAcquire, kRelease, kManager, kDriverCount, kDriverDesc, kDriverName, kDriverHardware, kDriverCapabilities,
    kDriverModes, kDriverModeCount, kContextCount, kContext, kGetDriverIndex, kBegin, kSetDriver, kReconfigure, kEnd
};

/* The player's side: what the call returns, a number or a pointer. */
typedef long long(__cdecl* PlayerCall)(void* player, int call, int object, int a, int b, int c, int d, int e);

#endif
