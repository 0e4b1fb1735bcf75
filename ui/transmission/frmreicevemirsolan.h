#pragma once

#include "flowengine/register.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace uimain {
class RegisteredWindowFactory;
}

namespace uitransmission {

// "Prelievo risposte EDI": takes the answer file the EDI service returned for
// the flow of the main list's selected row, checks it against the flow and
// files it in the collection point (PrelevaRisposta). It stays open after a
// refusal, so the path can be corrected.
class frmReiceveMirsolan : public QDialog {
    Q_OBJECT

public:
    // corbex: the flow as the main window's list showed it.
    frmReiceveMirsolan(QWidget *owner, const flowengine::DatiCorbex &corbex);

    void Form_Load();
    void cmdSelect_Click();
    void cmdConfirm_Click();
    void cmdCancel_Click();

    QLabel *lblInstruction = nullptr;
    QLabel *lblAswerPathName = nullptr;
    QLineEdit *txtAswerPathName = nullptr;
    QPushButton *cmdSelect = nullptr;
    QPushButton *cmdConfirm = nullptr;
    QPushButton *cmdCancel = nullptr;

    // The flow of the selected row, as the list showed it.
    flowengine::DatiCorbex Corbex;
};

// Registers the window as the one the main window's fetch commands open.
void RegistraPrelievo(uimain::RegisteredWindowFactory &finestre);

}  // namespace uitransmission
