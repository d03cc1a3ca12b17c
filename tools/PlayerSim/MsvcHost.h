// MsvcHost.h - the simulated player's engine behind objects built by the
// Microsoft compiler's ABI, as the real player hands its engine over:
// MsvcPlayer.dll (msvc/MsvcPlayer.cpp, compiled by clang for the MSVC ABI
// with no runtime) makes the host, engine context, render manager and render
// contexts, and passes every call on to the SimEngine here, whose journal
// and faults therefore apply unchanged.
#ifndef KESTROVA_PLAYERSIM_MSVC_HOST_H
#define KESTROVA_PLAYERSIM_MSVC_HOST_H

#include <windows.h>

#include <map>

#include "SimEngine.h"

namespace sim {

class MsvcHost {
public:
    // MsvcPlayer.dll from the directory of this program.
    MsvcHost();
    ~MsvcHost();
    MsvcHost(const MsvcHost&) = delete;
    MsvcHost& operator=(const MsvcHost&) = delete;

    bool Loaded() const { return library_ != nullptr; }
    // The host built in the MSVC ABI in front of engine (one at a time).
    PlayerHost* For(SimEngine& engine);

private:
    static long long __cdecl Forward(void* self, int call, int object, int a, int b, int c, int d, int e);

    HMODULE library_;
    SimEngine* engine_ = nullptr;
    EngineContext* context_ = nullptr;
    RenderManager* manager_ = nullptr;
    const RenderDriverDesc* desc_ = nullptr;
    std::map<int, RenderContext*> contexts_;
};

}  // namespace sim

#endif  // KESTROVA_PLAYERSIM_MSVC_HOST_H
