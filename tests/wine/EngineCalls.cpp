// EngineCalls.cpp - see EngineCalls.h.
#include "EngineCalls.h"

#include <sstream>

namespace e2e {

Calls operator+(Calls first, const Calls& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

Calls ContextSwitch(int context, int driver)
{
    return {sim::SwitchEntry(context, "begin"), sim::SetDriverEntry(context, driver),
            sim::SwitchEntry(context, "reconfigure") + " 0,0,0,0,0", sim::SwitchEntry(context, "end")};
}

Calls DriverChange(const std::vector<int>& liveContexts, int driver)
{
    Calls calls = {"acquire"};
    for (int context : liveContexts) {
        calls = calls + ContextSwitch(context, driver);
        if (context == 0)
            calls.push_back("ctx0.getindex");
    }
    return calls + Calls{"acquire", "release", "release"};
}

Calls OpenedWithContextZero()
{
    return {"acquire", "ctx0.getindex", "release", "acquire", "release", "acquire", "ctx0.getindex", "release"};
}

Calls OpenedWithoutContextZero() { return {"acquire", "release", "acquire", "release", "acquire", "release"}; }

Calls OpenedWith(const sim::SimEngine& engine)
{
    const bool contextZero = engine.HasRenderManager() && engine.ContextDriver(0) != -1;
    return contextZero ? OpenedWithContextZero() : OpenedWithoutContextZero();
}

::testing::AssertionResult SameCalls(const Calls& expected, const Calls& actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    std::size_t first = 0;
    while (first < expected.size() && first < actual.size() && expected[first] == actual[first])
        ++first;
    std::ostringstream message;
    message << "engine calls differ at entry " << first << ": expected "
            << (first < expected.size() ? "\"" + expected[first] + "\"" : std::string("the end")) << ", actual "
            << (first < actual.size() ? "\"" + actual[first] + "\"" : std::string("the end")) << " ("
            << expected.size() << " entries expected, " << actual.size() << " made)\nactual calls:";
    for (std::size_t i = 0; i < actual.size(); ++i)
        message << "\n  " << (i == first ? "> " : "  ") << i << ": " << actual[i];
    return ::testing::AssertionFailure() << message.str();
}

}  // namespace e2e
