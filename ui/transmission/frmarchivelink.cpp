#include "ui/transmission/frmarchivelink.h"

#include "common/archivecheck.h"
#include "common/globals.h"
#include "common/settings.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/options.h"
#include "platform/messagebox.h"
#include "platform/twips.h"
#include "ui/main/programfolder.h"
#include "ui/main/screen.h"
#include "ui/transmission/pathdialog.h"
#include "ui/transmission/setup.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace uitransmission {

using platform::twips;
using uimain::PosizionaTwips;

namespace {

// The controls both windows share, laid out alike.
struct Controlli {
    QLabel *lblInstruction;
    QLabel *lblPathName;
    QLineEdit *txtPathName;
    QPushButton *cmdConfirm;
    QPushButton *cmdCancel;
    QPushButton *cmdSelect;
};

Controlli creaControlli(QDialog *finestra, const QString &istruzione, const QString &etichetta)
{
    finestra->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                             | Qt::WindowCloseButtonHint);
    finestra->setModal(true);
    finestra->setFixedSize(twips(6360), twips(2790));
    auto pulsante = [finestra](const char *nome, const QString &testo) {
        auto *b = new QPushButton(testo, finestra);
        b->setObjectName(QString::fromLatin1(nome));
        b->setAutoDefault(false);
        return b;
    };
    Controlli c{};
    c.lblInstruction = new QLabel(istruzione, finestra);
    c.lblInstruction->setObjectName(QStringLiteral("lblInstruction"));
    c.lblInstruction->setFrameShape(QFrame::Box);
    c.lblInstruction->setWordWrap(true);
    c.lblInstruction->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PosizionaTwips(c.lblInstruction, 120, 120, 6120, 1050);
    c.lblPathName = new QLabel(etichetta, finestra);
    c.lblPathName->setObjectName(QStringLiteral("lblPathName"));
    PosizionaTwips(c.lblPathName, 120, 1260, 4500, 255);
    c.txtPathName = new QLineEdit(finestra);
    c.txtPathName->setObjectName(QStringLiteral("txtPathName"));
    PosizionaTwips(c.txtPathName, 120, 1530, 4680, 315);
    c.cmdConfirm = pulsante("cmdConfirm", QStringLiteral("&OK"));
    c.cmdConfirm->setDefault(true);
    PosizionaTwips(c.cmdConfirm, 3120, 2160, 1455, 420);
    c.cmdCancel = pulsante("cmdCancel", QStringLiteral("A&nnulla"));
    PosizionaTwips(c.cmdCancel, 4680, 2160, 1455, 420);
    c.cmdSelect = pulsante("cmdSelect", QStringLiteral("&Sfoglia..."));
    PosizionaTwips(c.cmdSelect, 4920, 1530, 1215, 315);
    QWidget::setTabOrder(c.txtPathName, c.cmdConfirm);
    QWidget::setTabOrder(c.cmdConfirm, c.cmdCancel);
    QWidget::setTabOrder(c.cmdCancel, c.cmdSelect);
    return c;
}

// Focus highlight on entering the path box, window colour on leaving it.
void coloraCasella(QEvent *event, QLineEdit *casella)
{
    if (event->type() == QEvent::FocusIn)
        uimain::ImpostaColore(casella, uimain::ColoreFuoco);
    else if (event->type() == QEvent::FocusOut)
        uimain::ImpostaColore(casella);
}

const QString SecondaRiga = QStringLiteral("Una volta certi delle impostazioni indicate scegliere 'OK' per confermarle.");

}  // namespace

frmArchiveLink::frmArchiveLink(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmArchiveLink"));
    setWindowTitle(QStringLiteral("Collegamento ad archivi esistenti"));
    const Controlli c = creaControlli(
        this,
        QStringLiteral("Indicare il nome dell'archivio, completo di percorso, a cui si intende collegare "
                       "l'applicazione.\n")
            + SecondaRiga,
        QStringLiteral("Nome e percorso dell'archivio"));
    lblInstruction = c.lblInstruction;
    lblPathName = c.lblPathName;
    txtPathName = c.txtPathName;
    cmdConfirm = c.cmdConfirm;
    cmdCancel = c.cmdCancel;
    cmdSelect = c.cmdSelect;
    txtPathName->installEventFilter(this);

    connect(cmdConfirm, &QPushButton::clicked, this, &frmArchiveLink::cmdConfirm_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmArchiveLink::cmdCancel_Click);
    connect(cmdSelect, &QPushButton::clicked, this, &frmArchiveLink::cmdSelect_Click);
    connect(txtPathName, &QLineEdit::textChanged, this, &frmArchiveLink::txtPathName_Change);

    txtPathName->setText(common::PercorsoArchivio);
    txtPathName_Change();
    if (parent)
        move(parent->geometry().center() - rect().center());
}

bool frmArchiveLink::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtPathName)
        coloraCasella(event, txtPathName);
    return QDialog::eventFilter(watched, event);
}

void frmArchiveLink::txtPathName_Change() { cmdConfirm->setEnabled(!txtPathName->text().isEmpty()); }

void frmArchiveLink::cmdSelect_Click() { SfogliaPercorso(this, txtPathName, PercorsoSetup::Archivio); }

void frmArchiveLink::cmdConfirm_Click()
{
    const std::optional<QString> archivio = PercorsoDigitato(txtPathName->text().trimmed());
    if (!archivio || !common::VerificaArchivio(*archivio) || !ArchivioApribile(*archivio))
        return;
    if (flowengine::LeggiCentrale(*archivio).isEmpty()) {
        Tag.clear();
        frmSetPickPoint punto(this);
        punto.exec();
        if (Tag.isEmpty())
            return;
        QString cartella = Tag;
        if (!flowengine::ImpostaPuntoRaccolta(*archivio, cartella))
            return;
    }
    if (*archivio != common::PercorsoArchivio && !collega(*archivio))
        return;
    accept();
}

bool frmArchiveLink::collega(const QString &archivio)
{
    // The options are read from the new archive before anything is
    // rewritten, so that the program never runs on one archive with the
    // options of another.
    const QString precedente = common::PercorsoArchivio;
    const common::Opzioni opzioni = common::OpzioniCorbix;
    common::PercorsoArchivio = archivio;
    if (!flowengine::CaricaOpzioni()) {
        common::PercorsoArchivio = precedente;
        return false;
    }
    if (!common::ScriviIni()) {
        platform::msgBox(QStringLiteral("Impossibile scrivere il file di impostazioni '") + common::settingsPath()
                             + QStringLiteral("'."),
                         TitoloCorbix, platform::MsgIcon::Critical);
        common::PercorsoArchivio = precedente;
        common::OpzioniCorbix = opzioni;
        return false;
    }
    return true;
}

void frmArchiveLink::cmdCancel_Click() { reject(); }

void frmArchiveLink::done(int result)
{
    QDialog::done(result);
    uimain::RipristinaCartellaProgramma();
}

frmSetPickPoint::frmSetPickPoint(frmArchiveLink *link) : QDialog(link), link_(link)
{
    setObjectName(QStringLiteral("frmSetPickPoint"));
    setWindowTitle(QStringLiteral("Impostazione del punto di raccolta"));
    const Controlli c = creaControlli(
        this,
        QStringLiteral("Indicare il nome, completo di percorso, del punto di raccolta dei corbix.\n") + SecondaRiga,
        QStringLiteral("Nome e percorso del punto di raccolta"));
    lblInstruction = c.lblInstruction;
    lblPathName = c.lblPathName;
    txtPathName = c.txtPathName;
    cmdConfirm = c.cmdConfirm;
    cmdCancel = c.cmdCancel;
    cmdSelect = c.cmdSelect;
    txtPathName->installEventFilter(this);

    connect(cmdConfirm, &QPushButton::clicked, this, &frmSetPickPoint::cmdConfirm_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetPickPoint::cmdCancel_Click);
    connect(cmdSelect, &QPushButton::clicked, this, &frmSetPickPoint::cmdSelect_Click);
    connect(txtPathName, &QLineEdit::textChanged, this, &frmSetPickPoint::txtPathName_Change);

    txtPathName->setText(QStringLiteral("C:\\Corbix doganali"));
    txtPathName_Change();
}

bool frmSetPickPoint::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtPathName)
        coloraCasella(event, txtPathName);
    return QDialog::eventFilter(watched, event);
}

void frmSetPickPoint::txtPathName_Change() { cmdConfirm->setEnabled(!txtPathName->text().isEmpty()); }

void frmSetPickPoint::cmdSelect_Click() { SfogliaPercorso(this, txtPathName, PercorsoSetup::PuntoRaccolta); }

void frmSetPickPoint::cmdConfirm_Click()
{
    const std::optional<QString> punto = PercorsoDigitato(txtPathName->text().trimmed());
    if (!punto || !NuovoPuntoRaccoltaValido(*punto))
        return;
    link_->Tag = *punto;
    accept();
}

void frmSetPickPoint::cmdCancel_Click() { reject(); }

void frmSetPickPoint::reject()
{
    link_->Tag.clear();
    QDialog::reject();
}

void RegistraCollegamentoArchivio(uimain::RegisteredWindowFactory &finestre)
{
    finestre.registra(uimain::Finestra::frmArchiveLink, [](QWidget *owner, const QString &) {
        frmArchiveLink collegamento(owner);
        collegamento.exec();
    });
}

}  // namespace uitransmission
