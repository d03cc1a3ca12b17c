// TestEngines.h - the simulated players the end-to-end scenarios run with.
#ifndef KESTROVA_TESTS_TEST_ENGINES_H
#define KESTROVA_TESTS_TEST_ENGINES_H

#include "SimEngine.h"

namespace e2e {

// The standard player. Drivers, by engine index:
//   0 "Hardware Renderer A"  hardware; 640x480, 800x600 (each at 16 and
//                            32 bits), 1024x768
//   1 "Overlay Renderer"     hardware, capabilities without the usable bit
//   2 "Hardware Renderer B"  hardware; 1280x1024 (32, and 16 at the end),
//                            800x600, 1600x1200 - no 640x480
//   3 "Software Renderer"    software, usable plus another capability bit;
//                            320x240, 640x480 (16 and 32), 1024x768
//   4 "Reference Renderer"   software; 800x600 only
// Contexts: 0 on driver 0, 1 an empty slot, 2 on driver 0.
enum StandardDriver { kHardwareA = 0, kOverlay = 1, kHardwareB = 2, kSoftware = 3, kReference = 4 };
void BuildStandardEngine(sim::SimEngine& engine);

// The standard drivers without any render context.
void BuildEngineWithoutContexts(sim::SimEngine& engine);
// A player without a render manager (nothing to list).
void BuildEngineWithoutRenderManager(sim::SimEngine& engine);
// Only software drivers: 0 "Software Renderer", 1 "Reference Renderer" as
// above; context 0 on driver 0.
void BuildSoftwareOnlyEngine(sim::SimEngine& engine);
// Driver 0 has no name (hardware, 640x480), driver 1 is "Named Renderer"
// (hardware, 800x600); context 0 on driver 1.
void BuildEngineWithUnnamedDriver(sim::SimEngine& engine);
// Driver 0 "Turbo" (hardware, 800x600), driver 1 "TURBO Software Path"
// (software, 640x480); context 0 on driver 0.
void BuildEngineWithPrefixNames(sim::SimEngine& engine);

}  // namespace e2e

#endif  // KESTROVA_TESTS_TEST_ENGINES_H
