// MsvcHost.cpp - see MsvcHost.h.
#include "MsvcHost.h"

#include <cstdint>
#include <string>

#include "msvc/PlayerCalls.h"

namespace sim {

MsvcHost::MsvcHost()
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string path = self;
    library_ = LoadLibraryA((path.substr(0, path.find_last_of("\\/") + 1) + "MsvcPlayer.dll").c_str());
}

MsvcHost::~MsvcHost()
{
    if (library_ != nullptr)
        FreeLibrary(library_);
}

PlayerHost* MsvcHost::For(SimEngine& engine)
{
    using MakeHost = PlayerHost*(__cdecl*)(PlayerCall, void*);
    const auto make = reinterpret_cast<MakeHost>(reinterpret_cast<void*>(GetProcAddress(library_, "MsvcPlayerHost")));
    engine_ = &engine;
    contexts_.clear();
    return make != nullptr ? make(Forward, this) : nullptr;
}

// Each call reaches the engine's own object of its kind, through its
// virtual operations, so that a player deriving from SimEngine is met too.
long long __cdecl MsvcHost::Forward(void* self, int call, int object, int a, int b, int c, int d, int e)
{
    MsvcHost& to = *static_cast<MsvcHost*>(self);
    PlayerHost& host = *to.engine_;
    switch (call) {
    case kAcquire: return (to.context_ = host.AcquireContext()) != nullptr;
    case kRelease: return host.ReleaseContext(), 0;
    case kManager: return (to.manager_ = to.context_->QueryRenderManager()) != nullptr;
    case kDriverCount: return to.manager_->GetDriverCount();
    case kDriverDesc: return (to.desc_ = to.manager_->GetDriverDesc(a)) != nullptr;
    case kDriverName: return reinterpret_cast<std::intptr_t>(to.desc_->name);
    case kDriverHardware: return to.desc_->hardware;
    case kDriverCapabilities: return to.desc_->capabilities;
    case kDriverModes: return reinterpret_cast<std::intptr_t>(to.desc_->displayModes);
    case kDriverModeCount: return to.desc_->displayModeCount;
    case kContextCount: return to.manager_->GetRenderContextCount();
    case kContext: return (to.contexts_[a] = to.manager_->GetRenderContext(a)) != nullptr;
    case kGetDriverIndex: return to.contexts_[object]->GetDriverIndex();
    case kBegin: return to.contexts_[object]->BeginDriverChange(), 0;
    case kSetDriver: return to.contexts_[object]->SetDriver(a), 0;
    case kReconfigure: return to.contexts_[object]->Reconfigure(a, b, c, d, e), 0;
    default: return to.contexts_[object]->EndDriverChange(), 0;
    }
}

}  // namespace sim
