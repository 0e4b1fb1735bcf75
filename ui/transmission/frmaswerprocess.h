#pragma once

#include "flowengine/register.h"
#include "ui/transmission/answerprocess.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace uimain {
class RegisteredWindowFactory;
}

namespace uitransmission {

// "Elaborazione risposta": processes the stored answer of the flow of the
// main list's selected row (ElaboraRisposta), showing each declaration and
// the counts as it goes. It opens on its notice; "Avvia" switches it to the
// processing layout for good. It closes when the answer has been processed
// (or the processing failed, leaving all as it was); after an answer of a
// type it does not process it stays, without buttons, until its close box.
class frmAswerProcess : public QDialog {
    Q_OBJECT

public:
    // corbex: the flow as the main window's list showed it.
    frmAswerProcess(QWidget *owner, const flowengine::DatiCorbex &corbex);

    void Form_Load();
    void cmdStart_Click();
    void cmdCancel_Click();

    QLabel *lblNotify = nullptr;
    QPushButton *cmdStart = nullptr;
    QPushButton *cmdCancel = nullptr;
    QGroupBox *fraDocProcess = nullptr;
    QLabel *lblDocNumber = nullptr;
    QLabel *txtDocNumber = nullptr;
    QLabel *lblDocDate = nullptr;
    QLabel *txtDocDate = nullptr;
    QLabel *lblCustomReference = nullptr;
    QLabel *txtCustomReference = nullptr;
    QGroupBox *fraStats = nullptr;
    QLabel *lblDocSuccess = nullptr;
    QLabel *txtDocSuccess = nullptr;
    QLabel *lblDocFailure = nullptr;
    QLabel *txtDocFailure = nullptr;
    QLabel *lblStrange = nullptr;
    QLabel *txtStrange = nullptr;
    QProgressBar *prbProcess = nullptr;

    // The key of the selected flow.
    QDate Data;
    qint32 Progressivo = 0;
    // Set when "Avvia" found the flow no longer in the register as listed.
    bool ElencoSuperato = false;

private:
    flowengine::DatiCorbex elencato_;
    int Altezza_;  // the window's height in twips
    void seguiDocumento(const flowengine::DocumentoCorbex &documento);
    void seguiConteggi(const Conteggi &conteggi);
};

// Registers the window as the one the main window's processing command opens.
void RegistraElaborazione(uimain::RegisteredWindowFactory &finestre);

}  // namespace uitransmission
