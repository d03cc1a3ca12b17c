// MaintenanceTest.h - the fixture of the maintenance scenarios: the real
// Config.dll runs from a copy inside a scratch installation of the player,
// so the media cache and the diagnostic log it works with lie beside that
// copy. Every registry value a scenario stores is taken out afterwards.
//
// Scratch layout, below the Windows temporary folder:
//   KestrovaMaintenanceE2e\Player\Config.dll       the module under test
//   KestrovaMaintenanceE2e\Player\MediaCache\      its media cache
//   KestrovaMaintenanceE2e\<anything else>         per-scenario folders
#ifndef KESTROVA_TESTS_MAINTENANCE_TEST_H
#define KESTROVA_TESTS_MAINTENANCE_TEST_H

#include <string>

#include "ScratchFiles.h"
#include "ScratchRegistry.h"
#include "SettingsDialogTest.h"

namespace e2e {

std::string ScratchRoot();
std::string PlayerFolder();
std::string MediaCacheFolder();
std::string DiagnosticLogFile();

// Puts a fresh copy of the built module into PlayerFolder(); its path, or
// "" (with a message on stderr) when that fails.
std::string InstallModuleCopy(const std::string& builtModule);
void RemoveScratch();

// The resource-only libraries built beside the test program.
extern const char kComponent1234[];        // file version 1.2.3.4
extern const char kComponent2017[];        // 2.0.1.7
extern const char kComponent4567[];        // 4.5.6.7
extern const char kComponent65535001[];    // 65535.0.0.1
extern const char kComponentNoFixedPart[]; // version resource without the fixed part
extern const char kComponentNoVersion[];   // no version resource at all

class MaintenanceTest : public SettingsDialogTest {
protected:
    void TearDown() override;

    ScratchRegistry registry_;
};

}  // namespace e2e

#endif  // KESTROVA_TESTS_MAINTENANCE_TEST_H
