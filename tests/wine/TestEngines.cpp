// TestEngines.cpp - see TestEngines.h.
#include "TestEngines.h"

namespace e2e {

namespace {

DisplayMode Mode(int width, int height, int bitsPerPixel) { return DisplayMode{width, height, bitsPerPixel, 60}; }

void AddStandardDrivers(sim::SimEngine& engine)
{
    engine.AddDriver(sim::HardwareDriver("Hardware Renderer A", {Mode(640, 480, 16), Mode(640, 480, 32),
                                                                 Mode(800, 600, 16), Mode(800, 600, 32),
                                                                 Mode(1024, 768, 32)}));
    sim::SimDriver overlay = sim::HardwareDriver("Overlay Renderer", {Mode(720, 576, 16)});
    overlay.capabilities = 0x6;
    engine.AddDriver(overlay);
    engine.AddDriver(sim::HardwareDriver("Hardware Renderer B", {Mode(1280, 1024, 32), Mode(800, 600, 32),
                                                                 Mode(1600, 1200, 32), Mode(1280, 1024, 16)}));
    sim::SimDriver software = sim::SoftwareDriver(
        "Software Renderer", {Mode(320, 240, 16), Mode(640, 480, 16), Mode(640, 480, 32), Mode(1024, 768, 16)});
    software.capabilities = RENDER_DRIVER_CAP_USABLE | 0x2;
    engine.AddDriver(software);
    engine.AddDriver(sim::SoftwareDriver("Reference Renderer", {Mode(800, 600, 32)}));
}

}  // namespace

void BuildStandardEngine(sim::SimEngine& engine)
{
    AddStandardDrivers(engine);
    engine.AddContext(kHardwareA);
    engine.AddNullContext();
    engine.AddContext(kHardwareA);
}

void BuildEngineWithoutContexts(sim::SimEngine& engine) { AddStandardDrivers(engine); }

void BuildEngineWithoutRenderManager(sim::SimEngine& engine)
{
    AddStandardDrivers(engine);
    engine.AddContext(kHardwareA);
    engine.SetHasRenderManager(false);
}

void BuildSoftwareOnlyEngine(sim::SimEngine& engine)
{
    engine.AddDriver(sim::SoftwareDriver("Software Renderer", {Mode(320, 240, 16), Mode(640, 480, 16)}));
    engine.AddDriver(sim::SoftwareDriver("Reference Renderer", {Mode(800, 600, 32)}));
    engine.AddContext(0);
}

void BuildEngineWithUnnamedDriver(sim::SimEngine& engine)
{
    sim::SimDriver unnamed = sim::HardwareDriver("", {Mode(640, 480, 32)});
    unnamed.hasName = false;
    engine.AddDriver(unnamed);
    engine.AddDriver(sim::HardwareDriver("Named Renderer", {Mode(800, 600, 32)}));
    engine.AddContext(1);
}

void BuildEngineWithPrefixNames(sim::SimEngine& engine)
{
    engine.AddDriver(sim::HardwareDriver("Turbo", {Mode(800, 600, 32)}));
    engine.AddDriver(sim::SoftwareDriver("TURBO Software Path", {Mode(640, 480, 32)}));
    engine.AddContext(0);
}

}  // namespace e2e
