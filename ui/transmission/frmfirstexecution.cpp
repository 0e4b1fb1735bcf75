#include "ui/transmission/frmfirstexecution.h"

#include "common/archivecheck.h"
#include "common/centraform.h"
#include "common/databases.h"
#include "common/globals.h"
#include "common/settings.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/options.h"
#include "platform/application.h"
#include "platform/errors.h"
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

using platform::toTwips;
using platform::twips;
using uimain::PosizionaTwips;

namespace {

const QString Br = QStringLiteral("\n");

// The height of the wizard's client area: its width is fixed.
constexpr int Larghezza = 6360;

}  // namespace

frmFirstExecution::frmFirstExecution(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFirstExecution"));
    setWindowTitle(QStringLiteral("CORBIX DOGANALI - Preparazione alla prima esecuzione"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    lblInstruction = new QLabel(this);
    lblInstruction->setObjectName(QStringLiteral("lblInstruction"));
    lblInstruction->setFrameShape(QFrame::Box);
    lblInstruction->setWordWrap(true);
    lblInstruction->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PosizionaTwips(lblInstruction, 120, 120, Larghezza - 240, 1640);
    lblPathName = new QLabel(this);
    lblPathName->setObjectName(QStringLiteral("lblPathName"));
    PosizionaTwips(lblPathName, 120, 0, 4500, 255);
    txtPathName = new QLineEdit(this);
    txtPathName->setObjectName(QStringLiteral("txtPathName"));
    txtPathName->installEventFilter(this);
    PosizionaTwips(txtPathName, 120, 0, 4680, 315);
    auto pulsante = [this](const char *nome, const QString &testo) {
        auto *b = new QPushButton(testo, this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setAutoDefault(false);
        return b;
    };
    cmdSelect = pulsante("cmdSelect", QStringLiteral("&Sfoglia..."));
    PosizionaTwips(cmdSelect, 4920, 0, 1215, 315);
    cmdPreview = pulsante("cmdPreview", QStringLiteral("<< &Indietro"));
    PosizionaTwips(cmdPreview, 1560, 0, 1455, 420);
    cmdConfirm = pulsante("cmdConfirm", QStringLiteral("&Avanti >>"));
    cmdConfirm->setDefault(true);
    PosizionaTwips(cmdConfirm, 3120, 0, 1455, 420);
    // "A" already moves forward: giving up takes the "n", as on every other
    // window, so that Alt+A can never abandon the set-up.
    cmdCancel = pulsante("cmdCancel", QStringLiteral("A&nnulla"));
    PosizionaTwips(cmdCancel, 4680, 0, 1455, 420);

    connect(cmdConfirm, &QPushButton::clicked, this, &frmFirstExecution::cmdConfirm_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmFirstExecution::cmdPreview_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFirstExecution::cmdCancel_Click);
    connect(cmdSelect, &QPushButton::clicked, this, &frmFirstExecution::cmdSelect_Click);

    resize(twips(Larghezza), twips(3000));
    ImpostaPasso();
    common::CentraForm(this);
}

void frmFirstExecution::ImpostaPasso()
{
    QStringList righe;
    switch (PassoCorrente) {
    case 1:
        righe = {QStringLiteral("Grazie per aver scelto l'applicazione 'Corbix Doganali' come gestore dello scambio di "
                                "dati delle Vostre dichiarazioni."),
                 QStringLiteral("L'applicazione ha rilevato la sua prima esecuzione, di conseguenza è necessario "
                                "fornire i dati che man mano verranno richiesti."),
                 QStringLiteral("Scegliere 'Avanti per procedere al successivo passo oppure 'Indietro' per ripetere i "
                                "passi precedenti."),
                 QStringLiteral("In qualsiasi momento è possibile premere 'Annulla' per abbandonare questa "
                                "impostazione: in tal caso l'applicazione non portrà essere avviata.")};
        break;
    case 2:
        righe = {QStringLiteral("Collegamento dell'applicazione ad un archivio esistente."),
                 QStringLiteral("Indicare nell'apposita casella il nome, completo di percorso, dell'archivio al quale "
                                "si intende collegare l'applicazione; usare 'Sfoglia' per esplorare le risorse."),
                 QStringLiteral("Una volta certi delle impostazioni scegliere 'Avanti'.")};
        lblPathName->setText(QStringLiteral("Nome e percorso dell'archivio."));
        txtPathName->setText(PercorsoArchivio);
        break;
    case 3:
        righe = {QStringLiteral("Non è stata rilevata alcuna definizione relativamente al punto di raccolta dei corbix, "
                                "di conseguenza è necessario impostarne uno nuovo."),
                 QStringLiteral("Indicare il nome, completo di percorso, del punto di raccolta dei corbix, quindi "
                                "scegliere 'Avanti'.")};
        lblPathName->setText(QStringLiteral("Nome e percorso del punto di raccolta corbix."));
        txtPathName->setText(PuntoRaccolta);
        break;
    default:
        righe = {QStringLiteral("Sono stati acquisiti gli elementi necessari per inizializzare l'applicazione."),
                 QStringLiteral("Per effetuare correzioni alle impostazioni fornite scegliere 'Indietro' oppure "
                                "scegliere 'Fine' per avviare l'applicazione.")};
        break;
    }
    lblInstruction->setText(righe.join(Br));

    const int top = toTwips(lblInstruction->y());
    const bool conPercorso = PassoCorrente == 2 || PassoCorrente == 3;
    // The instruction as high as the step gives it, or as its text needs.
    PosizionaTwips(lblInstruction, 120, top, Larghezza - 240, conPercorso ? 1050 : 1640);
    lblInstruction->resize(lblInstruction->width(),
                           std::max(lblInstruction->height(), lblInstruction->heightForWidth(lblInstruction->width())));
    const int sottoIstruzione = toTwips(lblInstruction->y() + lblInstruction->height());
    if (!conPercorso) {
        const int pulsanti = sottoIstruzione + 50;
        for (QPushButton *b : {cmdPreview, cmdConfirm, cmdCancel})
            PosizionaTwips(b, toTwips(b->x()), pulsanti);
        // Below the visible area.
        const int sotto = toTwips(height()) + 100;
        for (QWidget *w : {static_cast<QWidget *>(lblPathName), static_cast<QWidget *>(txtPathName),
                           static_cast<QWidget *>(cmdSelect)})
            PosizionaTwips(w, toTwips(w->x()), sotto);
        // The height is the outer one, title bar and borders included.
        if (PassoCorrente == 1) {
            setFixedWidth(twips(Larghezza));
            platform::ImpostaAltezzaEsterna(this, twips(pulsanti + 420 + 400), twips(pulsanti + 420 + 120));
        }
    } else {
        const int etichetta = sottoIstruzione + 30;
        PosizionaTwips(lblPathName, 120, etichetta);
        const int casella = etichetta + 255 + 10;
        PosizionaTwips(txtPathName, 120, casella);
        PosizionaTwips(cmdSelect, toTwips(cmdSelect->x()), casella);
    }
    // Out of sight is also out of the keyboard's reach: Tab and the keys
    // typed must not land on a box the step does not show.
    for (QWidget *w : {static_cast<QWidget *>(lblPathName), static_cast<QWidget *>(txtPathName),
                       static_cast<QWidget *>(cmdSelect)})
        w->setVisible(conPercorso);
    AggiornaPulsanti();
    if (conPercorso)
        txtPathName->setFocus();
    else
        cmdConfirm->setFocus();
}

void frmFirstExecution::AggiornaPulsanti()
{
    cmdPreview->setEnabled(PassoPrecedente > 0);
    cmdConfirm->setText(PassoSuccessivo > UltimoPasso ? QStringLiteral("&Fine") : QStringLiteral("&Avanti >>"));
}

bool frmFirstExecution::eventFilter(QObject *watched, QEvent *event)
{
    // Nothing here turns the box red: focus gives the highlight, leaving the
    // window colour.
    if (watched == txtPathName) {
        if (event->type() == QEvent::FocusIn)
            uimain::ImpostaColore(txtPathName, uimain::ColoreFuoco);
        else if (event->type() == QEvent::FocusOut)
            uimain::ImpostaColore(txtPathName);
    }
    return QDialog::eventFilter(watched, event);
}

void frmFirstExecution::cmdConfirm_Click()
{
    switch (PassoCorrente) {
    case 1:
        PassoCorrente = 2;
        PassoSuccessivo = 2;
        ImpostaPasso();
        break;
    case 2: {
        const std::optional<QString> archivio = PercorsoDigitato(txtPathName->text().trimmed());
        if (!archivio || !common::VerificaArchivio(*archivio) || !ArchivioApribile(*archivio))
            return;
        PercorsoArchivio = *archivio;
        txtPathName->setText(PercorsoArchivio);
        PassoPrecedente = 2;
        if (!flowengine::LeggiCentrale(PercorsoArchivio).isEmpty()) {
            PassoCorrente = 4;
            PassoSuccessivo = 5;
        } else {
            PassoCorrente = 3;
            PassoSuccessivo = 4;
        }
        ImpostaPasso();
        break;
    }
    case 3: {
        const std::optional<QString> punto = PercorsoDigitato(txtPathName->text().trimmed());
        if (!punto || !NuovoPuntoRaccoltaValido(*punto))
            return;
        PassoPrecedente = 3;
        PassoCorrente = 4;
        PassoSuccessivo = 5;
        PuntoRaccolta = *punto;
        ImpostaPasso();
        break;
    }
    case 4:
        fine();
        break;
    }
}

void frmFirstExecution::fine()
{
    // The collection point is set up before the settings file is written: a
    // set-up that fails leaves no settings file behind, so the next start runs
    // this wizard again instead of ending on a missing collection point.
    common::PercorsoArchivio = PercorsoArchivio;
    common::EsitoPrimaEsecuzione = 0;
    // Every composition and every answer reads the record layouts of the
    // program database: a folder without one gets the program's own before
    // anything else is set up, and a set-up that cannot put it there is no
    // set-up done. One the office keeps there is its own and stays.
    try {
        common::PreparaDatabaseProgramma();
    } catch (const platform::RuntimeError &e) {
        platform::msgBox(QStringLiteral("Impossibile preparare il database del programma nella cartella '")
                             + common::CartellaProgramma + QStringLiteral("'.\r\n") + e.description(),
                         TitoloCorbix, platform::MsgIcon::Critical);
        accept();
        return;
    }
    QString punto = PuntoRaccolta;
    if (flowengine::ImpostaPuntoRaccolta(PercorsoArchivio, punto)) {
        if (common::ScriviIni())
            common::EsitoPrimaEsecuzione = 1;
        else
            platform::msgBox(QStringLiteral("Impossibile scrivere il file di impostazioni '") + common::settingsPath()
                                 + QStringLiteral("'."),
                             TitoloCorbix, platform::MsgIcon::Critical);
    }
    accept();
}

void frmFirstExecution::cmdPreview_Click()
{
    if (PassoCorrente == 3) {
        PassoCorrente = PassoPrecedente;
        PassoPrecedente = 0;
        PassoSuccessivo = 3;
    } else if (PassoCorrente == 4) {
        PassoSuccessivo = 4;
        PassoCorrente = PassoPrecedente;
        PassoPrecedente = PassoCorrente == 2 ? 0 : 2;
    } else {
        return;
    }
    ImpostaPasso();
}

void frmFirstExecution::cmdCancel_Click() { reject(); }

void frmFirstExecution::reject()
{
    // Esc and the close box give up as "A&nnulla" does.
    common::EsitoPrimaEsecuzione = 0;
    QDialog::reject();
}

void frmFirstExecution::cmdSelect_Click()
{
    if (PassoCorrente != 2 && PassoCorrente != 3)
        return;
    SfogliaPercorso(this, txtPathName, PassoCorrente == 2 ? PercorsoSetup::Archivio : PercorsoSetup::PuntoRaccolta);
}

void frmFirstExecution::done(int result)
{
    QDialog::done(result);
    uimain::RipristinaCartellaProgramma();
}

void RegistraPrimaEsecuzione(uimain::RegisteredWindowFactory &finestre)
{
    finestre.registra(uimain::Finestra::frmFirstExecution, [](QWidget *owner, const QString &) {
        frmFirstExecution procedura(owner);
        procedura.exec();
    });
}

}  // namespace uitransmission
