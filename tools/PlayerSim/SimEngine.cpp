// SimEngine.cpp - see SimEngine.h.
#include "SimEngine.h"

namespace sim {

SimDriver HardwareDriver(const std::string& name, const std::vector<DisplayMode>& modes)
{
    SimDriver driver;
    driver.name = name;
    driver.hardware = 1;
    driver.displayModes = modes;
    return driver;
}

SimDriver SoftwareDriver(const std::string& name, const std::vector<DisplayMode>& modes)
{
    SimDriver driver;
    driver.name = name;
    driver.hardware = 0;
    driver.displayModes = modes;
    return driver;
}

namespace {

// A render context's entry in the journal: "ctx0.begin".
std::string SwitchEntry(int context, const char* call)
{
    return "ctx" + std::to_string(context) + "." + call;
}

}  // namespace

// ---- SimRenderContext -------------------------------------------------------

SimRenderContext::SimRenderContext(SimEngine& engine, int index, int driver)
    : engine_(engine), index_(index), driver_(driver)
{
}

int SimRenderContext::GetDriverIndex()
{
    engine_.Touch(SwitchEntry(index_, "getindex"));
    return driver_;
}

void SimRenderContext::BeginDriverChange()
{
    engine_.Touch(SwitchEntry(index_, "begin"));
}

void SimRenderContext::SetDriver(int driverIndex)
{
    engine_.Touch(SwitchEntry(index_, "set") + " " + std::to_string(driverIndex));
    // A real engine keeps its driver when it cannot start the new one.
    if (!engine_.Refuses(index_, driverIndex))
        driver_ = driverIndex;
}

void SimRenderContext::Reconfigure(int a, int b, int c, int d, int e)
{
    engine_.Touch(SwitchEntry(index_, "reconfigure") + " " + std::to_string(a) + "," + std::to_string(b) + "," +
                   std::to_string(c) + "," + std::to_string(d) + "," + std::to_string(e));
}

void SimRenderContext::EndDriverChange()
{
    engine_.Touch(SwitchEntry(index_, "end"));
}

// ---- SimEngine --------------------------------------------------------------

SimEngine::SimEngine() : depth_(0) {}

int SimEngine::AddDriver(const SimDriver& driver)
{
    drivers_.push_back(DriverSlot{driver, RenderDriverDesc{}});
    DriverSlot& slot = drivers_.back();
    slot.desc.name = slot.driver.hasName ? slot.driver.name.c_str() : nullptr;
    slot.desc.hardware = slot.driver.hardware;
    slot.desc.capabilities = slot.driver.capabilities;
    slot.desc.displayModes = slot.driver.displayModes.empty() ? nullptr : slot.driver.displayModes.data();
    slot.desc.displayModeCount = static_cast<int>(slot.driver.displayModes.size());
    return static_cast<int>(drivers_.size()) - 1;
}

int SimEngine::AddContext(int driver)
{
    contexts_.emplace_back(*this, static_cast<int>(contexts_.size()), driver);
    return static_cast<int>(contexts_.size()) - 1;
}

EngineContext* SimEngine::AcquireContext()
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++depth_;
    journal_.push_back("acquire");
    return this;
}

void SimEngine::ReleaseContext()
{
    std::lock_guard<std::mutex> lock(mutex_);
    journal_.push_back("release");
    if (depth_ == 0) {
        violations_.push_back("release without acquire");
        return;
    }
    --depth_;
}

RenderManager* SimEngine::QueryRenderManager()
{
    Touch("manager");
    return this;
}

int SimEngine::GetDriverCount()
{
    Touch("driver count");
    return static_cast<int>(drivers_.size());
}

RenderDriverDesc* SimEngine::GetDriverDesc(int driverIndex)
{
    Touch("driver desc " + std::to_string(driverIndex));
    if (driverIndex < 0 || driverIndex >= static_cast<int>(drivers_.size())) {
        // A real engine would index past its table.
        std::lock_guard<std::mutex> lock(mutex_);
        violations_.push_back("driver desc " + std::to_string(driverIndex) + " outside the engine's drivers");
        return nullptr;
    }
    return &drivers_[static_cast<std::size_t>(driverIndex)].desc;
}

int SimEngine::GetRenderContextCount()
{
    Touch("context count");
    return static_cast<int>(contexts_.size());
}

RenderContext* SimEngine::GetRenderContext(int contextIndex)
{
    Touch("context " + std::to_string(contextIndex));
    if (contextIndex < 0 || contextIndex >= static_cast<int>(contexts_.size()))
        return nullptr;
    return &contexts_[static_cast<std::size_t>(contextIndex)];
}

std::vector<std::string> SimEngine::Journal() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return journal_;
}

void SimEngine::Mark(const std::string& text) { Record("# " + text); }

std::vector<std::string> SimEngine::Violations() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return violations_;
}

bool SimEngine::Balanced() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return depth_ == 0 && violations_.empty();
}

void SimEngine::Record(const std::string& entry)
{
    std::lock_guard<std::mutex> lock(mutex_);
    journal_.push_back(entry);
}

void SimEngine::Touch(const std::string& entry)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (depth_ == 0)
        violations_.push_back("outside acquire: " + entry);
    journal_.push_back(entry);
}


}  // namespace sim
