// DemoEngine.cpp - see DemoEngine.h.
#include "DemoEngine.h"

namespace sim {

namespace {

DisplayMode Mode(int width, int height, int bitsPerPixel) { return DisplayMode{width, height, bitsPerPixel, 60}; }

}  // namespace

void BuildDemoEngine(SimEngine& engine)
{
    engine.AddDriver(HardwareDriver("Direct3D 9 HAL (Accelerated)",
                                    {Mode(640, 480, 16), Mode(640, 480, 32), Mode(800, 600, 16), Mode(800, 600, 32),
                                     Mode(1024, 768, 16), Mode(1024, 768, 32), Mode(1280, 1024, 32)}));
    engine.AddDriver(HardwareDriver("OpenGL Hardware Renderer",
                                    {Mode(640, 480, 32), Mode(800, 600, 32), Mode(1024, 768, 32), Mode(1280, 960, 32),
                                     Mode(1600, 1200, 32)}));
    SimDriver overlay = HardwareDriver("Video Overlay (no 3D)", {Mode(720, 576, 16)});
    overlay.capabilities = 0;
    engine.AddDriver(overlay);
    engine.AddDriver(SoftwareDriver("Software Rasterizer (MMX)", {Mode(320, 240, 16), Mode(640, 480, 16),
                                                                  Mode(800, 600, 16), Mode(640, 480, 32),
                                                                  Mode(800, 600, 32)}));
    engine.AddDriver(SoftwareDriver("Reference Rasterizer", {Mode(640, 480, 32), Mode(800, 600, 32)}));
    engine.AddContext(0);
    engine.AddContext(0);
}

}  // namespace sim
