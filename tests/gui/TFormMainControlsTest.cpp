// The menu-state table names the main window's controls by string: every name it gives must be a
// menu item or tool button the window built, or its state would never be shown.
#include "FormMainFixture.h"

#include "SMainWindowRules.h"

#include <string>

using FormMainControls = FormMainFixture;

TEST_F(FormMainControls, EveryControlTheStateTableNamesExists)
{
    // The table names the same controls whatever the document; the defaults name them all.
    const SControlStates states = ControlStates(c_, main_refresh::AllMenus);
    ASSERT_GT(states.All().size(), 100u);
    std::string unknown, uncheckable;
    for (const auto& [name, state] : states.All()) {
        const QAction* action = form_->Action(name);
        if (!action)
            unknown += " " + name;
        // The window sets a check mark only on a checkable control.
        else if (state.checked && !action->isCheckable())
            uncheckable += " " + name;
    }
    EXPECT_TRUE(unknown.empty()) << "controls the window does not have:" << unknown;
    EXPECT_TRUE(uncheckable.empty()) << "checked by the table but not checkable:" << uncheckable;
}
