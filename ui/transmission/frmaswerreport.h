#pragma once

#include "ui/main/windowfactory.h"
#include "ui/transmission/answerreport.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace uitransmission {

// "Tabulato esplicativo": prints the explanatory report of the processed
// answer of the flow of the main window's list row RigaSelezionata, its
// positive-outcome listing, its negative-outcome listing or both, on the
// printer named at its foot. It writes nothing.
class frmAswerReport : public QDialog {
    Q_OBJECT

public:
    // corbex: the flow as the main window's list showed it.
    frmAswerReport(QWidget *owner, const flowengine::DatiCorbex &corbex);

    // Loads the flow of the selected row and its answer, and offers the
    // listings its counters say there is something to print for.
    void Form_Load();
    bool SelezioneValida() const;
    void StampaEsitiPositivi();
    void StampaEsitiNegativi();

    // Event handlers.
    void chkSuccess_Click();
    void chkFailure_Click();
    void cmdPrint_Click();
    void cmdCancel_Click();

    // What the listings read, as loaded.
    const DatiTabulato &Tabulato() const { return tabulato_; }

    QGroupBox *fraSelectReport = nullptr;
    QCheckBox *chkSuccess = nullptr;
    QCheckBox *chkFailure = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdCancel = nullptr;
    QLabel *lblDestinationPrint = nullptr;
    QLabel *txtDestinationPrinter = nullptr;

private:
    flowengine::DatiCorbex elencato_;
    DatiTabulato tabulato_;
};

// Makes the report window available to the main window's context command.
void RegistraTabulato(uimain::RegisteredWindowFactory &finestre);

}  // namespace uitransmission
