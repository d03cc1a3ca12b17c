// SettingsDialogTest.h - the fixture of the end-to-end scenarios: a clean
// settings key before and after each test, and the checks every session
// with the dialog must pass.
#ifndef KESTROVA_TESTS_SETTINGS_DIALOG_TEST_H
#define KESTROVA_TESTS_SETTINGS_DIALOG_TEST_H

#include <gtest/gtest.h>

#include "DialogUser.h"
#include "EngineCalls.h"
#include "SettingsRegistry.h"
#include "TestEngines.h"

namespace e2e {

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSettingsKey(); }
    void TearDown() override { ResetSettingsKey(); }

    // Runs the dialog and checks that it appeared, that the script (not
    // the watchdog) closed it, that DoConfig returned 1, and that every
    // engine access lay inside a balanced AcquireContext/ReleaseContext.
    static DialogRun Run(sim::SimEngine& engine, const DialogScript& script);

    // The drivers every context is on now, -1 for an empty slot.
    static std::vector<int> ContextDrivers(const sim::SimEngine& engine);
};

}  // namespace e2e

#endif  // KESTROVA_TESTS_SETTINGS_DIALOG_TEST_H
