#pragma once

#include "support/asuser.h"
#include "ui/main/composition.h"
#include "ui/main/frmcomposenew.h"
#include "ui/main/frmfaicorbex.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>
#include <utility>
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

// Runs act on the build screen once it shows its build's outcome and waits
// for the user, as the user meets it there; when act leaves the screen open,
// it is closed as its close box closes it, so that the road goes on.
class AtBuildOutcome : public QObject {
public:
    AtBuildOutcome(uimain::frmFaiCorbex &screen, std::function<void()> act) : screen_(screen), act_(std::move(act))
    {
        screen.installEventFilter(this);
    }
    bool acted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::WindowTitleChange && !posted_
            && screen_.windowTitle() == QStringLiteral("Preparazione corbex completata")) {
            posted_ = true;
            // At the first turn of the screen's wait.
            QTimer::singleShot(0, &screen_, [this] {
                acted = true;
                act_();
                if (screen_.isVisible())
                    screen_.reject();
            });
        }
        return false;
    }

private:
    uimain::frmFaiCorbex &screen_;
    std::function<void()> act_;
    bool posted_ = false;
};

// A flow as the wizard asked for it and as its build screen gave it back,
// in one value for the tests to build and read.
struct CorbexDiProva : uimain::RichiestaCorbex, uimain::ProdottoCorbex {
    bool AnnullaCreazione = false;
};

// Presses the wizard's "&Fine" as a user does, with the build screen driven
// by act once its build has run (or has failed and closed the screen);
// returns what the build screen gave back to the wizard once its road is
// over, without the run's journal: held here, it would keep its file.
inline CorbexDiProva finishWizard(uimain::frmComposeNew &wizard,
                                  const std::function<void(uimain::frmFaiCorbex &)> &act)
{
    CorbexDiProva built;
    bool acted = false;
    QTimer::singleShot(0, &wizard, [&] {
        auto *build = wizard.findChild<uimain::frmFaiCorbex *>();
        ASSERT_NE(build, nullptr);
        AtBuildOutcome outcome(*build, [&] { act(*build); });
        build->Form_Activate();
        if (!outcome.acted)
            act(*build);
        acted = true;
        static_cast<uimain::RichiestaCorbex &>(built) = build->Richiesta;
        static_cast<uimain::ProdottoCorbex &>(built) = build->Corbex;
        built.AnnullaCreazione = build->AnnullaCreazione;
        built.giornale.reset();
    });
    clickAsUser(wizard.cmdNextEnd);
    EXPECT_TRUE(acted) << "the build screen did not open";
    return built;
}

}  // namespace testsupport
