#include "ui/transmission/frmaswerreport.h"

#include "common/globals.h"
#include "common/runtimeerror.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/register.h"
#include "flowengine/reportprinting.h"
#include "platform/busywait.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/pageprinter.h"
#include "platform/twips.h"
#include "ui/main/screen.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace uitransmission {

namespace {

// The window in twips, less its title bar.
constexpr int kLarghezza = 4575;
constexpr int kAltezza = 2040;

}  // namespace

frmAswerReport::frmAswerReport(QWidget *owner, const flowengine::DatiCorbex &corbex)
    : QDialog(owner), elencato_(corbex)
{
    setObjectName(QStringLiteral("frmAswerReport"));
    setWindowTitle(QStringLiteral("Tabulato esplicativo"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(platform::twips(kLarghezza), platform::twips(kAltezza));

    fraSelectReport = new QGroupBox(QStringLiteral("Tabulati da riprodurre"), this);
    fraSelectReport->setObjectName(QStringLiteral("fraSelectReport"));
    uimain::PosizionaTwips(fraSelectReport, 120, 60, 3000, 1140);
    chkSuccess = new QCheckBox(QStringLiteral("&Esiti &Positivi"), fraSelectReport);
    chkSuccess->setObjectName(QStringLiteral("chkSuccess"));
    uimain::PosizionaTwips(chkSuccess, 240, 360, 2535, 285);
    chkFailure = new QCheckBox(QStringLiteral("Esiti &Negativi"), fraSelectReport);
    chkFailure->setObjectName(QStringLiteral("chkFailure"));
    uimain::PosizionaTwips(chkFailure, 240, 720, 2535, 285);

    cmdPrint = new QPushButton(QStringLiteral("&Stampa"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdPrint->setDefault(true);
    uimain::PosizionaTwips(cmdPrint, 3240, 165, 1215, 375);
    cmdCancel = new QPushButton(QStringLiteral("A&nnulla"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    uimain::PosizionaTwips(cmdCancel, 3240, 645, 1215, 375);

    lblDestinationPrint = new QLabel(QStringLiteral("La stampa verrà avviata su:"), this);
    lblDestinationPrint->setObjectName(QStringLiteral("lblDestinationPrint"));
    uimain::PosizionaTwips(lblDestinationPrint, 120, 1320, 4335, 255);
    txtDestinationPrinter = new QLabel(this);
    txtDestinationPrinter->setObjectName(QStringLiteral("txtDestinationPrinter"));
    uimain::PosizionaTwips(txtDestinationPrinter, 120, 1620, 4335, 255);

    setTabOrder(chkSuccess, chkFailure);
    setTabOrder(chkFailure, cmdPrint);
    setTabOrder(cmdPrint, cmdCancel);

    connect(chkSuccess, &QCheckBox::clicked, this, &frmAswerReport::chkSuccess_Click);
    connect(chkFailure, &QCheckBox::clicked, this, &frmAswerReport::chkFailure_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmAswerReport::cmdPrint_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAswerReport::cmdCancel_Click);
}

void frmAswerReport::Form_Load()
{
    // The report is read from the register as it is now, for the flow's key.
    flowengine::DatiCorbex flow = elencato_;
    bool trovato = false;
    try {
        if (flow.Data.isValid()) {
            tabulato_.Data = flow.Data;
            tabulato_.Progressivo = flow.Progressivo;
            trovato = !flowengine::CaricaCorbex(flow);
            if (trovato) {
                tabulato_.FileCorbex = flow.NomeFile;
                tabulato_.CompostoDa = flow.CompostoDa;
            }
        }
    } catch (const platform::RuntimeError &e) {
        platform::msgBox(common::TestoErroreRuntime(e.number(), e.description()), windowTitle(),
                         platform::MsgIcon::Critical);
    }

    // A flow that cannot be read offers nothing to print.
    chkSuccess->setChecked(false);
    chkSuccess->setEnabled(trovato && flow.OK >= 1);
    chkSuccess->setChecked(chkSuccess->isEnabled());
    chkFailure->setChecked(false);
    chkFailure->setEnabled(trovato && flow.KO >= 1);
    chkFailure->setChecked(chkFailure->isEnabled());
    cmdPrint->setEnabled(SelezioneValida());
    txtDestinationPrinter->setText(platform::printer().deviceName());

    if (trovato) {
        flowengine::DatiCorbex risposta;
        risposta.Data = flow.Data;
        risposta.Posizione = flowengine::PosizioneRisposta;
        risposta.Progressivo = flow.Progressivo;
        try {
            if (!flowengine::CaricaCorbex(risposta))
                tabulato_.FileRisposta = risposta.NomeFile;
        } catch (const platform::RuntimeError &e) {
            platform::msgBox(common::TestoErroreRuntime(e.number(), e.description()), windowTitle(),
                             platform::MsgIcon::Critical);
        }
    }
}

bool frmAswerReport::SelezioneValida() const { return chkSuccess->isChecked() || chkFailure->isChecked(); }

void frmAswerReport::StampaEsitiPositivi() { uitransmission::StampaEsitiPositivi(tabulato_); }

void frmAswerReport::StampaEsitiNegativi() { uitransmission::StampaEsitiNegativi(tabulato_); }

void frmAswerReport::chkSuccess_Click() { cmdPrint->setEnabled(SelezioneValida()); }

void frmAswerReport::chkFailure_Click() { cmdPrint->setEnabled(SelezioneValida()); }

void frmAswerReport::cmdPrint_Click()
{
    {
        flowengine::DestinazioneStampa pdf(windowTitle());
        // The listings are printed on this thread: the windows keep painting
        // themselves and nothing clicked or typed meanwhile reaches them.
        const platform::BusyWait occupato;
        if (chkSuccess->isChecked())
            StampaEsitiPositivi();
        if (chkFailure->isChecked())
            StampaEsitiNegativi();
    }
    accept();
}

void frmAswerReport::cmdCancel_Click() { reject(); }

void RegistraTabulato(uimain::RegisteredWindowFactory &finestre)
{
    finestre.registraSuFlusso(uimain::Finestra::frmAswerReport, [](QWidget *owner, uimain::FlussoSelezionato &flusso) {
        frmAswerReport tabulato(owner, flusso.corbex);
        tabulato.Form_Load();
        tabulato.exec();
    });
}

}  // namespace uitransmission
