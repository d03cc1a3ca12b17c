// SimEngine.h - a scriptable stand-in for the running Kestrova Dad Azizov
// player, as Config.dll sees it through PlayerEngine.h.
//
// The simulated player, the end-to-end tests and anyone debugging the
// module build an engine from drivers and render contexts, hand it to
// DoConfig, and afterwards read what the module did to it: one journal of
// every call the module made on the host, the engine context, the render
// manager and the render contexts, queries included, in the order they
// happened, plus a record of every engine access made outside an
// AcquireContext/ReleaseContext pair.
//
// Plain C++: no system headers, so it builds for Windows and natively.
#ifndef KESTROVA_PLAYERSIM_SIM_ENGINE_H
#define KESTROVA_PLAYERSIM_SIM_ENGINE_H

#include <deque>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "Kestrova/PlayerEngine.h"

namespace sim {

// One render driver the engine offers. A driver without a name hands the
// module a null name pointer.
struct SimDriver {
    std::string name;
    bool hasName = true;
    int hardware = 0;
    unsigned int capabilities = RENDER_DRIVER_CAP_USABLE;
    std::vector<DisplayMode> displayModes;
};

SimDriver HardwareDriver(const std::string& name, const std::vector<DisplayMode>& modes);
SimDriver SoftwareDriver(const std::string& name, const std::vector<DisplayMode>& modes);

class SimEngine;

// A render context of the engine. Every call lands in the engine's journal
// as "ctxN.<call>"; a refused driver leaves the context on its old one.
class SimRenderContext : public RenderContext {
public:
    SimRenderContext(SimEngine& engine, int index, int driver);

    int GetDriverIndex() override;
    void BeginDriverChange() override;
    void SetDriver(int driverIndex) override;
    void Reconfigure(int a, int b, int c, int d, int e) override;
    void EndDriverChange() override;

private:
    SimEngine& engine_;
    int index_;
    int driver_;
};

// The player host, its engine context and its render manager in one
// object, because the module reaches all three through the host anyway.
class SimEngine : public PlayerHost, public EngineContext, public RenderManager {
public:
    SimEngine();
    SimEngine(const SimEngine&) = delete;
    SimEngine& operator=(const SimEngine&) = delete;

    // ---- Building the engine -------------------------------------------
    int AddDriver(const SimDriver& driver);  // returns the driver index
    int AddContext(int driver);              // returns the context index

    // ---- What the module sees --------------------------------------------
    PlayerHost* Host() { return this; }

    EngineContext* AcquireContext() override;
    void ReleaseContext() override;
    RenderManager* QueryRenderManager() override;
    int GetDriverCount() override;
    RenderDriverDesc* GetDriverDesc(int driverIndex) override;
    int GetRenderContextCount() override;
    RenderContext* GetRenderContext(int contextIndex) override;

    // ---- What the module did ---------------------------------------------
    // Entries: "acquire", "release", "manager", "driver count",
    // "driver desc I", "context count", "context I", "ctxN.getindex",
    // "ctxN.begin", "ctxN.set D", "ctxN.reconfigure A,B,C,D,E", "ctxN.end",
    // and "# text" for the marks a script adds between its steps.
    std::vector<std::string> Journal() const;
    void Mark(const std::string& text);
    // Engine accesses made while no AcquireContext was open, releases
    // without an acquire and driver indices outside the engine's drivers,
    // e.g. "outside acquire: ctx0.begin".
    std::vector<std::string> Violations() const;
    // True when every acquire was released, none twice, and nothing was
    // touched outside a pair.
    bool Balanced() const;

protected:
    // Whether a context ignores SetDriver(driver) and keeps its own, as an
    // engine does that cannot start that driver. This one never refuses.
    virtual bool Refuses(int /*context*/, int /*driver*/) const { return false; }

private:
    friend class SimRenderContext;
    void Record(const std::string& entry);
    // An engine access, journalled; it must lie inside an acquire/release
    // pair.
    void Touch(const std::string& entry);

    struct DriverSlot {
        SimDriver driver;
        RenderDriverDesc desc;
    };

    mutable std::mutex mutex_;  // scripts mark the journal from another thread
    std::deque<DriverSlot> drivers_;          // deque: descs point into it
    std::deque<SimRenderContext> contexts_;
    std::vector<std::string> journal_;
    std::vector<std::string> violations_;
    int depth_;
};

}  // namespace sim

#endif  // KESTROVA_PLAYERSIM_SIM_ENGINE_H
