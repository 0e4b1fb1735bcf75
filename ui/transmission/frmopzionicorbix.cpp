#include "ui/transmission/frmopzionicorbix.h"

#include "common/centraform.h"
#include "common/globals.h"
#include "common/paths.h"
#include "common/servizioedi.h"
#include "flowengine/options.h"
#include "platform/messagebox.h"
#include "platform/twips.h"
#include "ui/main/filedialog.h"
#include "ui/main/programfolder.h"
#include "ui/main/screen.h"
#include "ui/transmission/frmselectdir.h"
#include "ui/transmission/setup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace uitransmission {

using platform::twips;
using uimain::PosizionaTwips;

frmOpzioniCorbix::frmOpzioniCorbix(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOpzioniCorbix"));
    setWindowTitle(QStringLiteral("Opzioni"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(twips(6255), twips(6480));

    auto etichetta = [this](QWidget *padre, const char *nome, const QString &testo) {
        auto *l = new QLabel(testo, padre);
        l->setObjectName(QString::fromLatin1(nome));
        return l;
    };
    auto opzione = [](QWidget *padre, const char *nome, const QString &testo) {
        auto *o = new QRadioButton(testo, padre);
        o->setObjectName(QString::fromLatin1(nome));
        return o;
    };
    auto pulsante = [this](QWidget *padre, const char *nome, const QString &testo) {
        auto *b = new QPushButton(testo, padre);
        b->setObjectName(QString::fromLatin1(nome));
        b->setAutoDefault(false);
        return b;
    };

    lblFloppyDevice = etichetta(this, "lblFloppyDevice", QStringLiteral("Dispositivo per scrittura/importazione corbix"));
    PosizionaTwips(lblFloppyDevice, 120, 150, 3800, 255);
    cmbFloppyDevice = new QComboBox(this);
    cmbFloppyDevice->setObjectName(QStringLiteral("cmbFloppyDevice"));
    cmbFloppyDevice->setEditable(false);
    cmbFloppyDevice->addItems({QStringLiteral("A:"), QStringLiteral("B:")});
    PosizionaTwips(cmbFloppyDevice, 4080, 100, 975, 315);

    fraEDIBy = new QGroupBox(QStringLiteral("Spedisci i corbix con il sistema E.D.I. tramite"), this);
    fraEDIBy->setObjectName(QStringLiteral("fraEDIBy"));
    PosizionaTwips(fraEDIBy, 120, 540, 6015, 1215);
    optByWEB = opzione(fraEDIBy, "optByWEB", QStringLiteral("Internet/Intranet"));
    PosizionaTwips(optByWEB, 240, 300, 5500, 255);
    optByMIRSOLAN = opzione(fraEDIBy, "optByMIRSOLAN",
                            QStringLiteral("Opzione non attiva exe ") + common::NomeMacchinaServizio());
    PosizionaTwips(optByMIRSOLAN, 240, 570, 5500, 255);
    optUser = opzione(fraEDIBy, "optUser", QStringLiteral("Richiedi sempre la modalità di spedizione"));
    PosizionaTwips(optUser, 240, 840, 5500, 255);

    chkPreventCtrl = new QCheckBox(QStringLiteral("Applica controllo preventivo ai corbix"), this);
    chkPreventCtrl->setObjectName(QStringLiteral("chkPreventCtrl"));
    PosizionaTwips(chkPreventCtrl, 120, 1860, 6000, 255);

    fraWhereWrite = new QGroupBox(QStringLiteral("Il corbex generato dovrà essere "), this);
    fraWhereWrite->setObjectName(QStringLiteral("fraWhereWrite"));
    PosizionaTwips(fraWhereWrite, 120, 2220, 6015, 1935);
    optOnFloppyDevice = opzione(fraWhereWrite, "optOnFloppyDevice", QStringLiteral("Trascritto su supporto magnetico"));
    PosizionaTwips(optOnFloppyDevice, 240, 300, 5500, 255);
    optSaved = opzione(fraWhereWrite, "optSaved", QStringLiteral("Memorizzato"));
    PosizionaTwips(optSaved, 240, 570, 4000, 255);
    optOnUserDir = opzione(fraWhereWrite, "optOnUserDir", QStringLiteral("Trascritto nella cartella indicata"));
    PosizionaTwips(optOnUserDir, 240, 840, 4000, 255);
    cmdChangeUserDir = pulsante(fraWhereWrite, "cmdChangeUserDir", QStringLiteral("&Cambia..."));
    PosizionaTwips(cmdChangeUserDir, 4560, 780, 1215, 375);
    lblUserDir = etichetta(fraWhereWrite, "lblUserDir", QString());
    lblUserDir->setFrameShape(QFrame::Box);
    lblUserDir->setAutoFillBackground(true);
    lblUserDir->setBackgroundRole(QPalette::Base);
    PosizionaTwips(lblUserDir, 240, 1260, 5535, 375);

    lblPickPointPathName = etichetta(this, "lblPickPointPathName", QStringLiteral("Nome e percorso del punto di raccolta"));
    PosizionaTwips(lblPickPointPathName, 120, 4320, 4500, 255);
    cmdSetPickPoint = pulsante(this, "cmdSetPickPoint", QStringLiteral("Ca&mbia..."));
    PosizionaTwips(cmdSetPickPoint, 4920, 4560, 1215, 375);
    txtPickPointPathName = new QLineEdit(this);
    txtPickPointPathName->setObjectName(QStringLiteral("txtPickPointPathName"));
    PosizionaTwips(txtPickPointPathName, 120, 4600, 4680, 315);

    cmdConfirm = pulsante(this, "cmdConfirm", QStringLiteral("&OK"));
    cmdConfirm->setDefault(true);
    cmdConfirm->setAutoDefault(true);
    PosizionaTwips(cmdConfirm, 1560, 5640, 1455, 420);
    cmdApply = pulsante(this, "cmdApply", QStringLiteral("&Applica"));
    PosizionaTwips(cmdApply, 3120, 5640, 1455, 420);
    cmdCancel = pulsante(this, "cmdCancel", QStringLiteral("A&nnulla"));
    PosizionaTwips(cmdCancel, 4680, 5640, 1455, 420);

    QWidget *ordine[] = {cmbFloppyDevice, optByWEB,          optByMIRSOLAN, chkPreventCtrl,   cmdConfirm,
                         cmdApply,        cmdCancel,         optUser,       optOnFloppyDevice, optSaved,
                         optOnUserDir,    cmdChangeUserDir,  txtPickPointPathName, cmdSetPickPoint};
    for (size_t i = 0; i + 1 < std::size(ordine); ++i)
        setTabOrder(ordine[i], ordine[i + 1]);

    connect(cmdConfirm, &QPushButton::clicked, this, &frmOpzioniCorbix::cmdConfirm_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmOpzioniCorbix::cmdApply_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOpzioniCorbix::cmdCancel_Click);
    connect(cmdChangeUserDir, &QPushButton::clicked, this, &frmOpzioniCorbix::cmdChangeUserDir_Click);
    connect(cmdSetPickPoint, &QPushButton::clicked, this, &frmOpzioniCorbix::cmdSetPickPoint_Click);
    connect(cmbFloppyDevice, &QComboBox::activated, this, &frmOpzioniCorbix::cmbFloppyDevice_Click);
    connect(chkPreventCtrl, &QCheckBox::clicked, this, &frmOpzioniCorbix::abilitaApplica);
    for (QRadioButton *o : {optByWEB, optByMIRSOLAN, optUser, optOnFloppyDevice, optSaved, optOnUserDir})
        connect(o, &QRadioButton::clicked, this, &frmOpzioniCorbix::abilitaApplica);
    connect(txtPickPointPathName, &QLineEdit::textChanged, this, &frmOpzioniCorbix::abilitaApplica);

    common::CentraForm(this);
    Form_Load();
}

void frmOpzioniCorbix::abilitaApplica() const { cmdApply->setEnabled(true); }

void frmOpzioniCorbix::impostaCartellaUtente(const QString &cartella)
{
    if (lblUserDir->text() != cartella)
        abilitaApplica();
    lblUserDir->setText(cartella);
}

void frmOpzioniCorbix::Form_Load()
{
    const common::Opzioni &o = common::OpzioniCorbix;
    cmbFloppyDevice->setCurrentIndex(cmbFloppyDevice->findText(o.FloppyDevice, Qt::MatchExactly | Qt::MatchCaseSensitive));
    if (o.SendWith == common::CanaleInvio::RichiediSempre)
        optUser->setChecked(true);
    else if (o.SendWith == common::CanaleInvio::InternetIntranet || o.SendWith == common::CanaleInvio::ServizioLan)
        optByWEB->setChecked(true);
    chkPreventCtrl->setChecked(o.PreventCheck);
    if (o.WhereWrite == common::DestinazionePredefinita::Supporto)
        optOnFloppyDevice->setChecked(true);
    else if (o.WhereWrite == common::DestinazionePredefinita::Memorizzato)
        optSaved->setChecked(true);
    else if (o.WhereWrite == common::DestinazionePredefinita::Cartella)
        optOnUserDir->setChecked(true);
    impostaCartellaUtente(o.UserDir);
    txtPickPointPathName->setText(CentraleMostrata(o.Centrale));
    cmdApply->setEnabled(false);
}

void frmOpzioniCorbix::cmbFloppyDevice_Click()
{
    if (cmbFloppyDevice->currentText() != common::OpzioniCorbix.FloppyDevice)
        abilitaApplica();
}

bool frmOpzioniCorbix::AggiornaOpzioni()
{
    // Checked first, so that a refused path changes no option at all.
    const std::optional<QString> digitato = PercorsoDigitato(txtPickPointPathName->text().trimmed());
    if (!digitato)
        return false;
    const std::optional<QString> centrale = CentraleDaTesto(*digitato);
    if (!centrale) {
        platform::msgBox(QStringLiteral("Il percorso del punto di raccolta '") + txtPickPointPathName->text()
                             + QStringLiteral("' non è valido. Indicare un percorso completo di unità o di rete."),
                         windowTitle(), platform::MsgIcon::Exclamation);
        txtPickPointPathName->setFocus();
        return false;
    }
    common::Opzioni &o = common::OpzioniCorbix;
    o.FloppyDevice = cmbFloppyDevice->currentText();
    if (optUser->isChecked())
        o.SendWith = common::CanaleInvio::RichiediSempre;
    else if (optByMIRSOLAN->isChecked() || optByWEB->isChecked())
        o.SendWith = common::CanaleInvio::InternetIntranet;
    o.PreventCheck = chkPreventCtrl->isChecked();
    if (optOnFloppyDevice->isChecked())
        o.WhereWrite = common::DestinazionePredefinita::Supporto;
    else if (optSaved->isChecked())
        o.WhereWrite = common::DestinazionePredefinita::Memorizzato;
    else if (optOnUserDir->isChecked())
        o.WhereWrite = common::DestinazionePredefinita::Cartella;
    o.UserDir = lblUserDir->text();
    o.Centrale = *centrale;
    return true;
}

void frmOpzioniCorbix::cmdApply_Click()
{
    if (AggiornaOpzioni())
        cmdApply->setEnabled(false);
}

void frmOpzioniCorbix::cmdConfirm_Click()
{
    if (!AggiornaOpzioni())
        return;
    // The save tells its own failures; the window closes whatever it returns.
    flowengine::SalvaOpzioni();
    accept();
}

void frmOpzioniCorbix::cmdCancel_Click() { reject(); }

void frmOpzioniCorbix::cmdChangeUserDir_Click()
{
    const QPoint posizione = pos() + fraWhereWrite->pos() + cmdChangeUserDir->pos()
                             + QPoint(cmdChangeUserDir->width() / 4, cmdChangeUserDir->height() / 2);
    const QString scelta = sceltaCartella().scegli(this, posizione, QStringLiteral("Selezionare la cartella."),
                                                   lblUserDir->text());
    if (!scelta.isEmpty())
        impostaCartellaUtente(scelta);
    uimain::RipristinaCartellaProgramma();
}

void frmOpzioniCorbix::cmdSetPickPoint_Click()
{
    const QString testo = txtPickPointPathName->text();
    uimain::RichiestaFile richiesta;
    richiesta.tipo = uimain::TipoDialogoFile::Salva;
    richiesta.titolo = QStringLiteral("Impostare il punto di raccolta");
    richiesta.nomeFile = common::EstraiNomeFile(testo);
    richiesta.cartellaIniziale = testo.left(testo.size() - richiesta.nomeFile.size());
    if (const std::optional<QString> scelto = uimain::fileDialogService().scegli(this, richiesta))
        txtPickPointPathName->setText(*scelto);
    uimain::RipristinaCartellaProgramma();
}

void RegistraOpzioni(uimain::RegisteredWindowFactory &finestre)
{
    finestre.registra(uimain::Finestra::frmOpzioniCorbix, [](QWidget *owner, const QString &) {
        frmOpzioniCorbix opzioni(owner);
        opzioni.exec();
    });
}

}  // namespace uitransmission
