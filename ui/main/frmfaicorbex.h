#pragma once

#include "flowengine/flowwriter.h"
#include "ui/main/composition.h"
#include "ui/main/compositionrun.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTextEdit;

namespace uimain {

// The flow-build screen: once it is on the display and painted it runs the
// road of the composition (ComponiCorbex), painting the declaration, the bar
// and the error count as the flow is built, then says how it went and waits
// for the user; "OK" writes the flow onto the removable medium
// (PRATICHE.nnn, LF line ends, under its temporary name: the filing names it
// and says so) or puts the envelope record in front of a folder flow, and
// the screen goes once the flow is written; the filing follows. It is handed
// the wizard's request (its destination, selection text and day, the one the
// envelope carries) and answers in Corbex: CorbexScritto, FileTemporaneo,
// FileSupporto, the journal, and the composition list.
class frmFaiCorbex : public QDialog, private AscoltoComposizione {
    Q_OBJECT

public:
    explicit frmFaiCorbex(const RichiestaCorbex &richiesta, QWidget *parent = nullptr);

    void Form_Load();
    // Runs the road, once: later activations do nothing.
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

    // The flow asked for, and the flow built and written; its journal notes
    // the flow written on the medium under its temporary name, for the
    // filing, which gives the flow its name.
    const RichiestaCorbex Richiesta;
    ProdottoCorbex Corbex;
    // Set by "A&nnulla": the build stops at its next declaration.
    bool AnnullaCreazione = false;
    QString FileCorbex;
    bool DettagliNascosti = true;
    bool ElencoErroriAttivo = false;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void preparazione(bool controlloPreventivo, int numeroDichiarazioni) override;
    void dichiarazioneInCorso(qint32 indice, const QDate &giorno) override;
    void avanzamento(int elaborate) override;
    void numeroErrori(int totale) override;
    bool annullata() override;
    // Shows the outcome and waits for the user: each "OK" writes the flow,
    // and the screen closes once it is written or has failed, or on
    // "A&nnulla".
    bool confermaCostruzione(const flowengine::CorbexCreato &creato,
                             const std::function<EsitoScrittura()> &scrivi) override;
    bool inserireSupporto(const QString &unita) override;
    bool riprovaSupportoNonPronto(const platform::RuntimeError &errore) override;
    bool riprovaSupportoSenzaNome() override;
    void costruzioneChiusa(bool scritto) override;

    // Says how the build went, in place of its progress.
    void mostraEsito(int errori);

    bool avviato_ = false;
    bool costruito_ = false;
    // While the user is waited for: the road's write of the flow.
    const std::function<EsitoScrittura()> *scrivi_ = nullptr;
    bool scritto_ = false;
};

}  // namespace uimain
