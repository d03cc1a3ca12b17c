// RecordingEngine.cpp - see RecordingEngine.h.
#include "RecordingEngine.h"

int RecordingContext::GetDriverIndex() { return driver_; }
void RecordingContext::BeginDriverChange() { Record("begin"); }
void RecordingContext::SetDriver(int driverIndex)
{
    Record("set " + std::to_string(driverIndex));
    if (refused.count(driverIndex) == 0)
        driver_ = driverIndex;
}
void RecordingContext::Reconfigure(int a, int b, int c, int d, int e)
{
    Record("reconfigure " + std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "," +
           std::to_string(d) + "," + std::to_string(e));
}
void RecordingContext::EndDriverChange() { Record("end"); }
void RecordingContext::Record(const std::string& call)
{
    engine_.Record("ctx" + std::to_string(index_) + "." + call);
}

EngineContext* RecordingEngine::AcquireContext()
{
    Record("acquire");
    ++depth;
    if (depth > maxDepth)
        maxDepth = depth;
    return this;
}

void RecordingEngine::ReleaseContext()
{
    Record("release");
    --depth;
}

RenderManager* RecordingEngine::QueryRenderManager() { return hasRenderManager ? this : nullptr; }

int RecordingEngine::GetDriverCount() { return static_cast<int>(descs_.size()); }

RenderDriverDesc* RecordingEngine::GetDriverDesc(int driverIndex)
{
    if (driverIndex < 0 || driverIndex >= GetDriverCount() || nullDescs.count(driverIndex) != 0)
        return nullptr;
    return &descs_[static_cast<std::size_t>(driverIndex)];
}

int RecordingEngine::GetRenderContextCount()
{
    ++contextCountCalls;
    return static_cast<int>(contexts_.size());
}

RenderContext* RecordingEngine::GetRenderContext(int contextIndex)
{
    if (contextIndex < 0 || contextIndex >= static_cast<int>(contexts_.size()))
        return nullptr;
    return contexts_[static_cast<std::size_t>(contextIndex)].get();
}

void RecordingEngine::Reset()
{
    SetDrivers({});
    SetContexts({});
    hasRenderManager = true;
    nullDescs.clear();
    journal.clear();
    depth = 0;
    maxDepth = 0;
    contextCountCalls = 0;
}

void RecordingEngine::SetDrivers(const std::vector<FakeDriver>& drivers)
{
    drivers_ = drivers;
    descs_.clear();
    for (const FakeDriver& driver : drivers_) {
        RenderDriverDesc desc;
        desc.name = driver.nameIsNull ? nullptr : driver.name.c_str();
        desc.hardware = driver.hardware;
        desc.capabilities = driver.capabilities;
        desc.displayModes = driver.modes.empty() ? nullptr : driver.modes.data();
        desc.displayModeCount = static_cast<int>(driver.modes.size());
        descs_.push_back(desc);
    }
}

void RecordingEngine::SetContexts(const std::vector<int>& drivers)
{
    contexts_.clear();
    for (std::size_t i = 0; i < drivers.size(); ++i) {
        if (drivers[i] < 0)
            contexts_.emplace_back();
        else
            contexts_.emplace_back(new RecordingContext(*this, static_cast<int>(i), drivers[i]));
    }
}

std::vector<std::string> RecordingEngine::ContextCalls() const
{
    std::vector<std::string> calls;
    for (const std::string& call : journal)
        if (call != "acquire" && call != "release")
            calls.push_back(call);
    return calls;
}

std::vector<FakeDriver> StandardDrivers()
{
    const std::vector<DisplayMode> hardwareModes = {
        {640, 480, 16, 60}, {640, 480, 32, 60}, {800, 600, 16, 60}, {800, 600, 32, 60},
        {1024, 768, 16, 60}, {1024, 768, 32, 60}, {1280, 1024, 32, 60}};
    const std::vector<DisplayMode> softwareModes = {{800, 600, 16, 0}, {640, 480, 16, 0}, {320, 240, 16, 0}};
    return {
        {"Hardware Accelerated T&L", 1, 1, hardwareModes},
        {"Hardware Rasterizer", 1, 1, {{1024, 768, 32, 60}, {1600, 1200, 32, 60}}},
        {"Software Rasterizer", 0, 1, softwareModes},
        {"Hidden Debug Driver", 0, 0, softwareModes},
    };
}
