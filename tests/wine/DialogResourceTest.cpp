// DialogResourceTest.cpp - the settings dialog the real Config.dll creates
// is exactly the one the player's users know: every control's id, class,
// style, text and place, in tab order, against the dialog's layout data.
#include "SettingsDialogTest.h"

#include "DialogLayoutCheck.h"
#include "E2eEnvironment.h"

namespace e2e {
namespace {

TEST_F(SettingsDialogTest, ResourceIsExactlyTheSettingsLayout)
{
    const layouts::DialogLayout& layout = layouts::SettingsDialogLayout();
    sim::SimEngine engine;
    BuildStandardEngine(engine);
    ShownDialog shown;
    Run(engine, [&](DialogUser& user) {
        shown = ReadDialog(user.Dialog(), PlayerWindow(), layout);
        user.PressEsc();
    });
    // The two version statics are filled from the installed components.
    ExpectMatchesLayout(layout, shown, {kIeVersion, kNetscapeVersion});
}

}  // namespace
}  // namespace e2e
