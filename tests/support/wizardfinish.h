#pragma once

#include "support/asuser.h"
#include "ui/main/composition.h"
#include "ui/main/frmcomposenew.h"
#include "ui/main/frmfaicorbex.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>
#include <gtest/gtest.h>

namespace testsupport {

// The composition wizard shown, on its step 3, as a user brings it there:
// the declarant chosen, every type ticked, its declarations listed (all
// ticked) and "&Avanti" pressed twice.
inline std::unique_ptr<uimain::frmComposeNew> wizardOnStep3(const QString &declarant)
{
    auto w = std::make_unique<uimain::frmComposeNew>();
    w->show();
    w->activateWindow();
    w->cmbDichiarante->setCurrentIndex(w->cmbDichiarante->findText(declarant));
    for (QCheckBox *box : {w->chkImport, w->chkExport, w->chkInDeposito, w->chkExportSempif})
        box->setChecked(true);
    clickAsUser(w->cmdNextEnd);
    EXPECT_EQ(w->PassoCorrente, 2);
    clickAsUser(w->cmdNextEnd);
    EXPECT_EQ(w->PassoCorrente, 3);
    return w;
}

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
