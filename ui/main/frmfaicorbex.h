#pragma once

#include "flowengine/flowwriter.h"
#include "platform/errors.h"
#include "ui/main/composition.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTextEdit;

namespace uimain {

// The flow-build screen: once it is on the display and painted it runs the
// flow writer on the selection of the composition, painting the declaration,
// the bar and the error count as it goes, then says how it went; "OK" writes the
// flow onto the removable medium (PRATICHE.nnn, LF line ends, under its
// temporary name: the filing names it and says so) or puts the envelope
// record in front of a folder flow. It is handed the wizard's flow
// (its destination, selection text and day, the one the envelope carries) and
// answers in Corbex: CorbexScritto, FileTemporaneo, FileSupporto, the journal,
// and the composition list.
class frmFaiCorbex : public QDialog, private flowengine::AvanzamentoCorbex {
    Q_OBJECT

public:
    explicit frmFaiCorbex(const CorbexCostruito &corbex, QWidget *parent = nullptr);

    void Form_Load();
    // Builds the flow, once: later activations do nothing.
    void Form_Activate();
    void cmdConfirm_Click();
    void cmdCancel_Click();
    void cmdView_Click();

    QProgressBar *prbProcess = nullptr;
    QLabel *lblDichiarazione = nullptr;
    QLabel *lblDescrDich = nullptr;
    QLabel *lblErrors = nullptr;
    QLabel *lblNumeroErrori = nullptr;
    QLabel *lblInstruction = nullptr;
    QPushButton *cmdConfirm = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdView = nullptr;
    QTextEdit *rtfErroriRilevati = nullptr;

    // The flow being built and written; its journal notes the flow written
    // on the medium under its temporary name, for the filing, which gives
    // the flow its name.
    CorbexCostruito Corbex;
    QString FileCorbex;
    bool DettagliNascosti = true;
    bool ElencoErroriAttivo = false;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void preparazione(bool controlloPreventivo, int numeroDichiarazioni) override;
    void dichiarazioneInCorso(qint32 indice, const QDate &data) override;
    void avanzamento(int elaborate) override;
    void numeroErrori(int totale) override;

    bool scriviSuSupporto();
    bool scriviInCartella();
    // Tells a run-time error of the build or of its "OK" and closes the
    // screen with the flow not written; after a write the disk or the
    // system refused, the build's files are removed from TEMP, so that the
    // same composition can be made again once space is freed.
    void fallita(const platform::RuntimeError &e);

    QString fileLavoro_;  // the declaration work file, while the build's
    void chiudiNonScritto();

    bool avviato_ = false;
    bool costruito_ = false;
};

}  // namespace uimain
