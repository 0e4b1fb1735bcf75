#pragma once

#include "flowengine/flowwriter.h"
#include "flowengine/journal.h"
#include "platform/errors.h"

#include <QDate>
#include <QDialog>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTextEdit;

namespace uimain {

// The flow-build screen: once it is on the display and painted it runs the
// flow writer on the selection of the composition, painting the declaration,
// the bar and the error count as it goes, then says how it went; "OK" writes the
// flow onto the removable medium (PRATICHE.nnn, LF line ends) or puts the
// envelope record in front of a folder flow. It answers through CorbexScritto,
// FileTemporaneo and FileSupporto. data is the day of the composition, the one
// the envelope carries.
class frmFaiCorbex : public QDialog, private flowengine::AvanzamentoCorbex {
    Q_OBJECT

public:
    explicit frmFaiCorbex(const QDate &data, QWidget *parent = nullptr);

    void Form_Load();
    // Builds the flow, once: later activations do nothing.
    void Form_Activate();
    void cmdConfirm_Click();
    void cmdCancel_Click();
    void cmdView_Click();

    // The least time between two paintings of the progress, so that a long
    // build is not slowed by its own display.
    static constexpr qint64 IntervalloAvanzamentoMs = 50;

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

    QString FileCorbex;
    QString FileErrori;
    // The journal of the flow written on the medium under its temporary
    // name, handed to the filing, which gives the flow its name.
    std::shared_ptr<flowengine::GiornaleLavoro> Giornale;
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

    // Puts the progress on the screen, at most every IntervalloAvanzamentoMs
    // unless sempre.
    void dipingi(bool sempre);

    bool scriviSuSupporto();
    bool scriviInCartella();
    // Tells a run-time error of the build or of its "OK" and closes the
    // screen with the flow not written; after a write the disk or the
    // system refused, the build's files are removed from TEMP, so that the
    // same composition can be made again once space is freed.
    void fallita(const platform::RuntimeError &e);

    QString fileLavoro_;  // the declaration work file, while the build's
    void chiudiNonScritto();

    QDate data_;
    bool avviato_ = false;
    bool costruito_ = false;
    qint64 ultimaPittura_ = 0;
};

}  // namespace uimain
