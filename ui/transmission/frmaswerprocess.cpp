#include "ui/transmission/frmaswerprocess.h"

#include "platform/application.h"
#include "platform/busywait.h"
#include "platform/texts.h"
#include "platform/twips.h"
#include "ui/main/screen.h"
#include "ui/main/windowfactory.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <utility>

namespace uitransmission {

using platform::toTwips;
using platform::twips;
using uimain::basso;
using uimain::PosizionaTwips;

namespace {

constexpr int Larghezza = 4680;
// The window's outer heights, frame included: processing, and the notice
// Crescita less.
constexpr int Altezza = 2100;
constexpr int Crescita = 800;
// The space between controls and around the window's edge.
constexpr int Margine = 60;

int altezzaTwips(const QWidget *w) { return toTwips(w->height()); }
int larghezzaTwips(const QWidget *w) { return toTwips(w->width()); }

void sposta(QWidget *w, int top, int left = -1) { w->move(left < 0 ? w->x() : twips(left), twips(top)); }

}  // namespace

frmAswerProcess::frmAswerProcess(QWidget *owner, const flowengine::DatiCorbex &corbex)
    : QDialog(owner), elencato_(corbex)
{
    setObjectName(QStringLiteral("frmAswerProcess"));
    setWindowTitle(TitoloElaborazione);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Altezza_ = Altezza;
    setFixedSize(twips(Larghezza), twips(Altezza_));

    auto label = [](QLabel *&member, QWidget *parent, const char *name, const QString &text) {
        member = new QLabel(text, parent);
        member->setObjectName(QString::fromLatin1(name));
    };
    label(lblNotify, this, "lblNotify",
          QStringLiteral("Verrà eseguita l'elaborazione della risposta relativa al corbex selezionato. L'operazione "
                         "non potrà essere interrotta. Scegliere 'Avvia' per avviare l'elaborazione."));
    lblNotify->setWordWrap(true);
    PosizionaTwips(lblNotify, 60, 30, Larghezza - 120, 750);

    auto button = [this](QPushButton *&member, const char *name, const QString &text) {
        member = new QPushButton(text, this);
        member->setObjectName(QString::fromLatin1(name));
        member->setAutoDefault(false);
        PosizionaTwips(member, 0, 0, 1215, 375);
    };
    button(cmdStart, "cmdStart", QStringLiteral("&Avvia"));
    button(cmdCancel, "cmdCancel", QStringLiteral("A&nnulla"));
    connect(cmdStart, &QPushButton::clicked, this, &frmAswerProcess::cmdStart_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAswerProcess::cmdCancel_Click);

    auto frame = [this](QGroupBox *&member, const char *name, const QString &title) {
        member = new QGroupBox(title, this);
        member->setObjectName(QString::fromLatin1(name));
        PosizionaTwips(member, 60, 0, Larghezza - 120, 660);
    };
    frame(fraDocProcess, "fraDocProcess", QStringLiteral("Riferimento documento"));
    label(lblDocNumber, fraDocProcess, "lblDocNumber", QStringLiteral("Dichiarazione N°"));
    label(txtDocNumber, fraDocProcess, "txtDocNumber", QString());
    label(lblDocDate, fraDocProcess, "lblDocDate", QStringLiteral("Del"));
    label(txtDocDate, fraDocProcess, "txtDocDate", QString());
    label(lblCustomReference, fraDocProcess, "lblCustomReference", QStringLiteral("Rif. doganale"));
    label(txtCustomReference, fraDocProcess, "txtCustomReference", QString());
    // Two lines of 240 twips, one under the other, in a frame grown to hold them.
    fraDocProcess->resize(fraDocProcess->width(), twips(780));
    PosizionaTwips(lblDocNumber, 120, 240, 1300, 240);
    PosizionaTwips(txtDocNumber, 1440, 240, 900, 240);
    PosizionaTwips(lblDocDate, 2400, 240, 400, 240);
    PosizionaTwips(txtDocDate, 2820, 240, 1500, 240);
    PosizionaTwips(lblCustomReference, 120, 480, 1300, 240);
    PosizionaTwips(txtCustomReference, 1440, 480, 2000, 240);

    frame(fraStats, "fraStats", QStringLiteral("Statistiche"));
    label(lblDocSuccess, fraStats, "lblDocSuccess", QStringLiteral("Esiti positivi"));
    label(txtDocSuccess, fraStats, "txtDocSuccess", QString());
    label(lblDocFailure, fraStats, "lblDocFailure", QStringLiteral("Esiti negativi"));
    label(txtDocFailure, fraStats, "txtDocFailure", QString());
    label(lblStrange, fraStats, "lblStrange", QStringLiteral("Incongruenze"));
    label(txtStrange, fraStats, "txtStrange", QString());
    // Each count takes four digits whole beside its caption.
    int sinistra = 120;
    for (const auto &[didascalia, conteggio] : {std::pair{lblDocSuccess, txtDocSuccess},
                                                std::pair{lblDocFailure, txtDocFailure},
                                                std::pair{lblStrange, txtStrange}}) {
        PosizionaTwips(didascalia, sinistra, 300, 1050, 255);
        PosizionaTwips(conteggio, sinistra + 1050, 300, 390, 255);
        sinistra += 1500;
    }

    prbProcess = new QProgressBar(this);
    prbProcess->setObjectName(QStringLiteral("prbProcess"));
    prbProcess->setTextVisible(false);
    PosizionaTwips(prbProcess, 60, 0, Larghezza - 120, 240);

    Data = elencato_.Data;
    Progressivo = elencato_.Progressivo;
    Form_Load();
}

void frmAswerProcess::Form_Load()
{
    // The notice layout: the processing controls below the lower edge.
    for (QWidget *w : {static_cast<QWidget *>(fraDocProcess), static_cast<QWidget *>(fraStats),
                       static_cast<QWidget *>(prbProcess)})
        sposta(w, Altezza_ + 100);
    // The notice as high as its text, the buttons on the lower edge below it.
    sposta(lblNotify, 30);
    lblNotify->resize(lblNotify->width(), lblNotify->heightForWidth(lblNotify->width()));
    Altezza_ -= Crescita;
    platform::ImpostaAltezzaEsterna(this, twips(Altezza_),
                                    twips(basso(lblNotify) + Margine + altezzaTwips(cmdStart) + Margine));
    const int top = toTwips(height()) - altezzaTwips(cmdStart) - Margine;
    sposta(cmdStart, top, 30);
    sposta(cmdCancel, top, larghezzaTwips(this) - larghezzaTwips(cmdCancel) - 120);
}

void frmAswerProcess::cmdStart_Click()
{
    // The user may have waited at the notice: the answer is processed for
    // the flow chosen, never for another filed meanwhile under its date and
    // number.
    if (!uimain::FlussoAncoraElencato(elencato_, ElencoSuperato)) {
        if (ElencoSuperato)
            reject();
        return;
    }
    Altezza_ += Crescita;
    for (QWidget *w : {static_cast<QWidget *>(lblNotify), static_cast<QWidget *>(cmdStart),
                       static_cast<QWidget *>(cmdCancel)})
        sposta(w, Altezza_ + 100);
    sposta(fraDocProcess, 30);
    sposta(fraStats, basso(fraDocProcess) + Margine);
    // The bar on the lower edge, below the statistics.
    platform::ImpostaAltezzaEsterna(this, twips(Altezza_),
                                    twips(basso(fraStats) + Margine + altezzaTwips(prbProcess) + 30));
    sposta(prbProcess, toTwips(height()) - altezzaTwips(prbProcess) - 30);
    txtDocNumber->clear();
    txtDocDate->clear();
    txtCustomReference->clear();
    seguiConteggi({});

    // Every document and count is set as it comes, and the window painted
    // with what it then holds as often as a screen shows a change: painting
    // it for each of thousands of outcomes would take longer than the
    // processing itself.
    SeguitoElaborazione seguito;
    seguito.documento = [this](const flowengine::DocumentoCorbex &d) { seguiDocumento(d); };
    seguito.conteggi = [this](const Conteggi &c) { seguiConteggi(c); };
    seguito.righe = [this](int massimo) { prbProcess->setRange(massimo > 1 ? 1 : 0, std::max(massimo, 1)); };
    seguito.riga = [this](int posizione) {
        prbProcess->setValue(posizione);
        platform::BusyWait::paintWhenDue();
    };
    EsitoElaborazione esito = EsitoElaborazione::NonElaborata;
    {
        // Nothing else can be done in the window meanwhile; it keeps
        // painting. The wait ends before the window closes, which it would
        // refuse.
        const platform::BusyWait occupato;
        platform::BusyWait::paint();
        esito = ElaboraRisposta(Data, Progressivo, seguito);
    }
    switch (esito) {
    case EsitoElaborazione::Elaborata:
        accept();
        break;
    case EsitoElaborazione::Fallita:
        reject();
        break;
    case EsitoElaborazione::Rifiutata:
    case EsitoElaborazione::NonElaborata:
        break;
    }
}

void frmAswerProcess::cmdCancel_Click() { reject(); }

void frmAswerProcess::seguiDocumento(const flowengine::DocumentoCorbex &documento)
{
    txtDocNumber->setText(QString::number(documento.Indice));
    txtDocDate->setText(platform::DayText(documento.Data));
    txtCustomReference->setText(documento.Rif);
    platform::BusyWait::paintWhenDue();
}

void frmAswerProcess::seguiConteggi(const Conteggi &conteggi)
{
    // The true counts, even those above what the register's columns keep.
    txtDocSuccess->setText(QString::number(conteggi.positivi));
    txtDocFailure->setText(QString::number(conteggi.negativi));
    txtStrange->setText(QString::number(conteggi.incongruenze));
    platform::BusyWait::paintWhenDue();
}

void RegistraElaborazione(uimain::RegisteredWindowFactory &finestre)
{
    finestre.registraSuFlusso(uimain::Finestra::frmAswerProcess, [](QWidget *owner, uimain::FlussoSelezionato &flusso) {
        frmAswerProcess elaborazione(owner, flusso.corbex);
        elaborazione.exec();
        flusso.elencoSuperato = elaborazione.ElencoSuperato;
    });
}

}  // namespace uitransmission
