// RecordingEngine.h - a player engine for the native tests: drivers and
// render contexts set up per test, every call the module makes recorded in
// order, and acquire/release depth tracked.
#ifndef KESTROVA_TESTS_RECORDING_ENGINE_H
#define KESTROVA_TESTS_RECORDING_ENGINE_H

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Kestrova/PlayerEngine.h"

struct FakeDriver {
    std::string name;
    int hardware;
    unsigned int capabilities;
    std::vector<DisplayMode> modes;
    bool nameIsNull = false;
};

class RecordingEngine;

class RecordingContext : public RenderContext {
public:
    RecordingContext(RecordingEngine& engine, int index, int driver) : engine_(engine), index_(index), driver_(driver) {}
    int GetDriverIndex() override;
    void BeginDriverChange() override;
    void SetDriver(int driverIndex) override;
    void Reconfigure(int a, int b, int c, int d, int e) override;
    void EndDriverChange() override;

    int driver() const { return driver_; }
    std::set<int> refused;  // SetDriver keeps the current driver for these

private:
    void Record(const std::string& call);
    RecordingEngine& engine_;
    int index_;
    int driver_;
};

class RecordingEngine : public PlayerHost, public EngineContext, public RenderManager {
public:
    // PlayerHost
    EngineContext* AcquireContext() override;
    void ReleaseContext() override;
    // EngineContext
    RenderManager* QueryRenderManager() override;
    // RenderManager
    int GetDriverCount() override;
    RenderDriverDesc* GetDriverDesc(int driverIndex) override;
    int GetRenderContextCount() override;
    RenderContext* GetRenderContext(int contextIndex) override;

    // Back to a fresh engine: no drivers, no contexts, empty journal.
    void Reset();
    // Set-up. Contexts: one driver index each; -1 makes a null slot.
    void SetDrivers(const std::vector<FakeDriver>& drivers);
    void SetContexts(const std::vector<int>& drivers);
    RecordingContext* Context(int index) { return contexts_[static_cast<std::size_t>(index)].get(); }
    bool hasRenderManager = true;
    std::set<int> nullDescs;  // GetDriverDesc gives null for these

    // Observation.
    std::vector<std::string> journal;  // "acquire", "release", "ctx0.set 2", ...
    int depth = 0;                      // acquire minus release
    int maxDepth = 0;
    int contextCountCalls = 0;
    void Record(const std::string& call) { journal.push_back(call); }
    std::vector<std::string> ContextCalls() const;  // the journal without acquire/release

private:
    std::vector<FakeDriver> drivers_;
    std::vector<RenderDriverDesc> descs_;
    std::vector<std::unique_ptr<RecordingContext>> contexts_;
};

// A realistic line-up: two hardware drivers, one software driver, one that
// cannot be offered; context 0 and 1 on driver 0.
std::vector<FakeDriver> StandardDrivers();

#endif  // KESTROVA_TESTS_RECORDING_ENGINE_H
