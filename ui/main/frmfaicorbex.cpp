#include "ui/main/frmfaicorbex.h"

#include "common/globals.h"
#include "common/textfiles.h"
#include "platform/busywait.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/texts.h"
#include "platform/twips.h"
#include "ui/main/composition.h"
#include "ui/main/screen.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

namespace uimain {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;
using platform::twips;

namespace {

constexpr int kLarghezza = 5400;
constexpr int kAltezza = 2400;
constexpr int kAltezzaElenco = 2000;

// The keys that would change a text: characters, the deletions, a new line
// and the commands of the clipboard and of the undo. Moving, selecting,
// copying, Tab, Escape and the access keys are not among them.
bool ModificaTesto(const QKeyEvent &tasto)
{
    for (const QKeySequence::StandardKey comando :
         {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Delete,
          QKeySequence::Backspace, QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord,
          QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine, QKeySequence::InsertParagraphSeparator,
          QKeySequence::InsertLineSeparator})
        if (tasto.matches(comando))
            return true;
    switch (tasto.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
    case Qt::Key_Delete: return true;
    default: break;
    }
    if (tasto.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString testo = tasto.text();
    return !testo.isEmpty() && testo.at(0).isPrint();
}

}  // namespace

frmFaiCorbex::frmFaiCorbex(const RichiestaCorbex &richiesta, QWidget *parent) : QDialog(parent), Richiesta(richiesta)
{
    setObjectName(QStringLiteral("frmFaiCorbex"));
    setWindowTitle(QStringLiteral("Preparazione corbex in corso"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(twips(kLarghezza), twips(kAltezza));

    auto label = [this](QLabel *&member, const char *name, const QString &text) {
        member = new QLabel(text, this);
        member->setObjectName(QString::fromLatin1(name));
    };
    prbProcess = new QProgressBar(this);
    prbProcess->setObjectName(QStringLiteral("prbProcess"));
    prbProcess->setTextVisible(false);
    PosizionaTwips(prbProcess, 60, 1000, kLarghezza - 120, 300);
    label(lblDichiarazione, "lblDichiarazione", QStringLiteral("Dichiarazione"));
    PosizionaTwips(lblDichiarazione, 60, 200, 1300, 270);
    label(lblDescrDich, "lblDescrDich", QString());
    PosizionaTwips(lblDescrDich, 1400, 200, 3000, 270);
    label(lblErrors, "lblErrors", QStringLiteral("Errori:"));
    PosizionaTwips(lblErrors, 60, 550, 1300, 270);
    label(lblNumeroErrori, "lblNumeroErrori", QString());
    PosizionaTwips(lblNumeroErrori, 1400, 550, 1000, 270);
    label(lblInstruction, "lblInstruction", QString());
    lblInstruction->setWordWrap(true);
    lblInstruction->hide();

    auto button = [this](QPushButton *&member, const char *name, const QString &text) {
        member = new QPushButton(text, this);
        member->setObjectName(QString::fromLatin1(name));
        // Enter presses the button that has the focus.
        member->setAutoDefault(true);
        member->resize(twips(1300), twips(390));
    };
    button(cmdConfirm, "cmdConfirm", QStringLiteral("&OK"));
    button(cmdCancel, "cmdCancel", QStringLiteral("A&nnulla"));
    button(cmdView, "cmdView", QStringLiteral("&Dettagli >>"));
    for (QPushButton *b : {cmdConfirm, cmdCancel, cmdView})
        b->hide();
    connect(cmdConfirm, &QPushButton::clicked, this, &frmFaiCorbex::cmdConfirm_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFaiCorbex::cmdCancel_Click);
    connect(cmdView, &QPushButton::clicked, this, &frmFaiCorbex::cmdView_Click);

    rtfErroriRilevati = new QTextEdit(this);
    rtfErroriRilevati->setObjectName(QStringLiteral("rtfErroriRilevati"));
    rtfErroriRilevati->setReadOnly(true);
    rtfErroriRilevati->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    rtfErroriRilevati->setTabChangesFocus(true);
    PosizionaTwips(rtfErroriRilevati, 60, kAltezza + 100, kLarghezza - 120, kAltezzaElenco);
    // Out of sight below the buttons it must not take the focus: hidden
    // until the user asks for the details.
    rtfErroriRilevati->hide();
    rtfErroriRilevati->installEventFilter(this);

    Form_Load();
}

void frmFaiCorbex::Form_Load()
{
    DettagliNascosti = true;
    AnnullaCreazione = false;
}

void frmFaiCorbex::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // The build starts once the screen is on the display and painted, so the
    // user sees it from the first declaration on.
    if (avviato_ || !windowHandle() || !windowHandle()->isExposed())
        return;
    avviato_ = true;
    QTimer::singleShot(0, this, &frmFaiCorbex::Form_Activate);
}

void frmFaiCorbex::preparazione(bool controlloPreventivo, int numeroDichiarazioni)
{
    lblErrors->setEnabled(controlloPreventivo);
    lblNumeroErrori->setText(controlloPreventivo ? QStringLiteral("0") : QString());
    prbProcess->setRange(0, numeroDichiarazioni);
    prbProcess->setValue(0);
    platform::BusyWait::paint();
}

void frmFaiCorbex::dichiarazioneInCorso(qint32 indice, const QDate &giorno)
{
    lblDescrDich->setText(QString::number(indice) + u' ' + platform::DayText(giorno));
}

void frmFaiCorbex::avanzamento(int elaborate)
{
    prbProcess->setValue(elaborate);
    // A long build is not slowed by its own display.
    platform::BusyWait::paintWhenDue();
}

void frmFaiCorbex::numeroErrori(int totale)
{
    lblNumeroErrori->setText(QString::number(totale));
}

bool frmFaiCorbex::annullata() { return AnnullaCreazione; }

void frmFaiCorbex::Form_Activate()
{
    if (costruito_)
        return;
    costruito_ = true;
    ComponiCorbex(Richiesta, Corbex, *this);
}

void frmFaiCorbex::mostraEsito(int errori)
{
    setWindowTitle(QStringLiteral("Preparazione corbex completata"));
    for (QWidget *w : std::initializer_list<QWidget *>{prbProcess, lblDichiarazione, lblDescrDich, lblErrors,
                                                       lblNumeroErrori})
        w->hide();
    const bool supporto = Richiesta.DestinazioneCorbex == flowengine::Destinazione::Supporto;
    const QString dove = supporto ? QStringLiteral("sul supporto magnetico previsto")
                                           : QStringLiteral("nella cartella selezionata");
    PosizionaTwips(lblInstruction, 30, 30, kLarghezza - 60, 600);
    if (errori == 0)
        lblInstruction->setText(QStringLiteral("Preparazione del corbex completata correttamente. Scegliere 'OK' per "
                                               "procedere alla scrittura ")
                                + dove + u'.');
    else
        lblInstruction->setText(QStringLiteral("Sono stati rilevati ") + QString::number(errori)
                                + QStringLiteral(" errori durante la generazione del corbex. E' possibile comunque "
                                                 "scrivere il corbex ")
                                + (supporto ? QStringLiteral("sul supporto magnetico")
                                                     : QStringLiteral("nella cartella selezionata"))
                                + QStringLiteral(" scegliendo 'OK' o vedere gli errori rilevati attraverso 'Dettagli'"));
    lblInstruction->show();
    const int top = height() - cmdConfirm->height() - twips(60);
    cmdConfirm->move(twips(40), top);
    cmdCancel->move(width() - cmdCancel->width() - twips(110), top);
    cmdConfirm->show();
    cmdCancel->show();
    if (errori > 0) {
        cmdView->move(width() / 2 - cmdView->width() / 2, top);
        cmdView->show();
    }
    cmdConfirm->setFocus(Qt::OtherFocusReason);
}

bool frmFaiCorbex::confermaCostruzione(const flowengine::CorbexCreato &creato,
                                       const std::function<EsitoScrittura()> &scrivi)
{
    FileCorbex = creato.fileCorbex;
    mostraEsito(creato.errori);
    if (!isVisible())
        return false;
    // The screen's own loop waits for the user: "OK" writes, each time,
    // until the flow is written or has failed; closing gives it up.
    QEventLoop attesa;
    connect(this, &QDialog::finished, &attesa, &QEventLoop::quit);
    scrivi_ = &scrivi;
    scritto_ = false;
    attesa.exec();
    scrivi_ = nullptr;
    return scritto_;
}

bool frmFaiCorbex::inserireSupporto(const QString &unita)
{
    platform::msgBox(QStringLiteral("Inserire il supporto magnetico previsto nell'unità ") + unita
                         + QStringLiteral(" e scegliere 'OK' quando si è pronti."),
                     common::TitoloCorbix, MsgIcon::Information);
    return true;
}

bool frmFaiCorbex::riprovaSupportoNonPronto(const platform::RuntimeError &errore)
{
    return platform::msgBox(errore.description(), TitoloApplicazione, MsgIcon::Critical, MsgButtons::RetryCancel)
           == MsgResult::Retry;
}

bool frmFaiCorbex::riprovaSupportoSenzaNome()
{
    return platform::msgBox(QStringLiteral("Impossibile scrivere il corbex su questo supporto magnetico poiché non "
                                           "è possibile utilizzare un nome per il corbex che non sia già "
                                           "esistente. Usare un nuovo supporto magnetico o rimuovere alcuni "
                                           "corbix usando le applicazioni dell'ambiente operativo, quindi "
                                           "scegliere 'Riprova'. Scegliere 'Annulla' per annullare "
                                           "l'operazione"),
                            common::TitoloCorbix, MsgIcon::Information, MsgButtons::RetryCancel)
           == MsgResult::Retry;
}

void frmFaiCorbex::costruzioneChiusa(bool scritto)
{
    // A build that failed closes the screen here; the user's answers have
    // closed it otherwise.
    if (isVisible())
        scritto ? accept() : reject();
}

void frmFaiCorbex::cmdView_Click()
{
    const int altezzaElenco = twips(kAltezzaElenco) + twips(50);
    if (DettagliNascosti) {
        rtfErroriRilevati->clear();
        QString testo;
        try {
            for (const QByteArray &riga : common::splitLines(common::readFile(platform::hostPath(Corbex.fileErrori))))
                testo += platform::fromWindows1252(riga) + QStringLiteral("\n");
        } catch (const platform::RuntimeError &e) {
            MostraErroreRunTime(e.number(), e.description());
            return;
        }
        rtfErroriRilevati->setPlainText(testo);
        setFixedHeight(height() + altezzaElenco);
        rtfErroriRilevati->move(twips(60), cmdConfirm->y() + cmdConfirm->height() + twips(30));
        rtfErroriRilevati->show();
        cmdView->setText(QStringLiteral("<< &Nascondi"));
        DettagliNascosti = false;
    } else {
        rtfErroriRilevati->hide();
        setFixedHeight(height() - altezzaElenco);
        cmdView->setText(QStringLiteral("&Dettagli >>"));
        DettagliNascosti = true;
    }
}

bool frmFaiCorbex::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == rtfErroriRilevati) {
        if (event->type() == QEvent::FocusIn)
            ElencoErroriAttivo = true;
        else if (event->type() == QEvent::FocusOut)
            ElencoErroriAttivo = false;
        else if (event->type() == QEvent::KeyPress && ElencoErroriAttivo
                 && ModificaTesto(*static_cast<QKeyEvent *>(event))) {
            QApplication::beep();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmFaiCorbex::cmdCancel_Click()
{
    AnnullaCreazione = true;
    reject();
}

void frmFaiCorbex::cmdConfirm_Click()
{
    if (!scrivi_)
        return;
    switch ((*scrivi_)()) {
    case EsitoScrittura::Scritto:
        scritto_ = true;
        accept();
        break;
    case EsitoScrittura::Fallito: reject(); break;
    // Refused: the screen stays for another "OK" or "Annulla".
    case EsitoScrittura::Rifiutato: break;
    }
}

}  // namespace uimain
