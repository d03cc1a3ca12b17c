// EngineCalls.h - expected journals of the simulated engine, and the one
// comparison that reports the first place where the module's calls differ.
#ifndef KESTROVA_TESTS_ENGINE_CALLS_H
#define KESTROVA_TESTS_ENGINE_CALLS_H

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SimEngine.h"

namespace e2e {

typedef std::vector<std::string> Calls;

Calls operator+(Calls first, const Calls& second);

// One context switched to driver: begin, set, reconfigure(0,0,0,0,0), end.
Calls ContextSwitch(int context, int driver);

// A driver picked in the list: inside one acquire/release pair, every live
// context (in order) is switched, context 0 is asked right after its switch
// which driver it really uses, and the resolution list is rebuilt inside a
// nested pair. With no live context or no selection only the pairs remain.
Calls DriverChange(const std::vector<int>& liveContexts, int driver);

// Opening the dialog while render context 0 exists: the driver list is
// filled (context 0 asked for its driver), the resolution list is filled,
// and context 0's driver is selected once more.
Calls OpenedWithContextZero();
// The same for a player whose context 0 is missing or has no render manager.
Calls OpenedWithoutContextZero();

// The one of the two above that fits engine.
Calls OpenedWith(const sim::SimEngine& engine);

// Passes when both are equal; otherwise says where they first differ, with
// the expected and actual entry, and lists the whole actual journal.
::testing::AssertionResult SameCalls(const Calls& expected, const Calls& actual);

}  // namespace e2e

#endif  // KESTROVA_TESTS_ENGINE_CALLS_H
