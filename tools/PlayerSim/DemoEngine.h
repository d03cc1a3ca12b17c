// DemoEngine.h - the engine the simulated player runs with: a few
// hardware and software render drivers and two render contexts, like a
// player on an ordinary desktop machine.
#ifndef KESTROVA_PLAYERSIM_DEMO_ENGINE_H
#define KESTROVA_PLAYERSIM_DEMO_ENGINE_H

#include "SimEngine.h"

namespace sim {

// Fills an empty engine: drivers with repeated resolutions at 16 and 32
// bits per pixel, one driver without the usable capability (never listed),
// and two contexts both on driver 0.
void BuildDemoEngine(SimEngine& engine);

}  // namespace sim

#endif  // KESTROVA_PLAYERSIM_DEMO_ENGINE_H
