// MsvcPlayer.cpp - a player's engine objects as a player built with the
// Microsoft compiler hands them over: compiled by clang in the MSVC ABI from
// the public header alone, with no C runtime, so the module meets that
// compiler's vtables, `thiscall` methods that pop their own arguments, struct
// layout and 4-byte stack alignment. What the objects do is the simulated
// player's (MsvcHost): every virtual call is passed on through one plain C
// function with its object and arguments, so the players of the demo and the
// tests, their faults and journals apply unchanged. The driver descriptions are copied
// field by field into this compiler's own RenderDriverDesc.
#include "Kestrova/PlayerEngine.h"
#include "PlayerCalls.h"

using Size = decltype(sizeof 0);
inline void* operator new(Size, void* where) noexcept { return where; }

// No static object may need a destructor run by a runtime that is not there.
extern "C" int atexit(void (*)(void)) { return 0; }

namespace {

const int kContexts = 64;  // contexts with an index outside are reported as none

PlayerCall forward = nullptr;
void* player = nullptr;

long long Forward(PlayerCallId call, int object = 0, int a = 0, int b = 0, int c = 0, int d = 0, int e = 0)
{
    return forward(player, call, object, a, b, c, d, e);
}

class Context : public RenderContext {
public:
    int index = 0;
    int GetDriverIndex() override { return static_cast<int>(Forward(kGetDriverIndex, index)); }
    void BeginDriverChange() override { Forward(kBegin, index); }
    void SetDriver(int driver) override { Forward(kSetDriver, index, driver); }
    void Reconfigure(int a, int b, int c, int d, int e) override { Forward(kReconfigure, index, a, b, c, d, e); }
    void EndDriverChange() override { Forward(kEnd, index); }
};

class Engine : public PlayerHost, public EngineContext, public RenderManager {
public:
    Engine()
    {
        for (int i = 0; i < kContexts; ++i)
            contexts_[i].index = i;
    }
    EngineContext* AcquireContext() override { return Forward(kAcquire) ? this : nullptr; }
    void ReleaseContext() override { Forward(kRelease); }
    RenderManager* QueryRenderManager() override { return Forward(kManager) ? this : nullptr; }
    int GetDriverCount() override { return static_cast<int>(Forward(kDriverCount)); }
    RenderDriverDesc* GetDriverDesc(int driver) override
    {
        if (!Forward(kDriverDesc, 0, driver))
            return nullptr;
        // A few descriptions stay valid at once, as long as a caller may hold one.
        RenderDriverDesc& desc = descs_[next_++ % 8];
        desc.name = reinterpret_cast<const char*>(Forward(kDriverName));
        desc.hardware = static_cast<int>(Forward(kDriverHardware));
        desc.capabilities = static_cast<unsigned int>(Forward(kDriverCapabilities));
        desc.displayModes = reinterpret_cast<const DisplayMode*>(Forward(kDriverModes));
        desc.displayModeCount = static_cast<int>(Forward(kDriverModeCount));
        return &desc;
    }
    int GetRenderContextCount() override { return static_cast<int>(Forward(kContextCount)); }
    RenderContext* GetRenderContext(int index) override
    {
        const bool exists = Forward(kContext, 0, index) != 0;
        return exists && index >= 0 && index < kContexts ? &contexts_[index] : nullptr;
    }

private:
    Context contexts_[kContexts];
    RenderDriverDesc descs_[8];
    unsigned next_ = 0;
};

alignas(Engine) unsigned char storage[sizeof(Engine)];

}  // namespace

// The host of a player whose engine calls come to call(player, ...); one at a time.
extern "C" __declspec(dllexport) PlayerHost* __cdecl MsvcPlayerHost(PlayerCall call, void* simulated)
{
    forward = call;
    player = simulated;
    return new (storage) Engine();
}

// No runtime: the library only needs to be loaded.
extern "C" int __stdcall DllEntry(void*, unsigned long, void*) { return 1; }
