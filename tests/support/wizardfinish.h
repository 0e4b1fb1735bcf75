#pragma once

#include "support/asuser.h"
#include "ui/main/composition.h"
#include "ui/main/frmcomposenew.h"
#include "ui/main/frmfaicorbex.h"

#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace testsupport {

// Presses the wizard's "&Fine" as a user does, with the build screen driven
// by act once its build has run; returns what the build screen gave back to
// the wizard, without the run's journal: held here, it would keep its file.
inline uimain::CorbexCostruito finishWizard(uimain::frmComposeNew &wizard,
                                            const std::function<void(uimain::frmFaiCorbex &)> &act)
{
    uimain::CorbexCostruito built;
    bool acted = false;
    QTimer::singleShot(0, &wizard, [&] {
        auto *build = wizard.findChild<uimain::frmFaiCorbex *>();
        ASSERT_NE(build, nullptr);
        build->Form_Activate();
        acted = true;
        act(*build);
        built = build->Corbex;
        built.giornale.reset();
    });
    clickAsUser(wizard.cmdNextEnd);
    EXPECT_TRUE(acted) << "the build screen did not open";
    return built;
}

}  // namespace testsupport
