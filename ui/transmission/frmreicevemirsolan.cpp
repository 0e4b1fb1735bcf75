#include "ui/transmission/frmreicevemirsolan.h"

#include "common/globals.h"
#include "common/runtimeerror.h"
#include "flowengine/register.h"
#include "platform/errors.h"
#include "platform/twips.h"
#include "ui/main/filedialog.h"
#include "ui/main/programfolder.h"
#include "ui/main/screen.h"
#include "ui/main/windowfactory.h"
#include "ui/transmission/answerfetch.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace uitransmission {

using platform::twips;
using uimain::PosizionaTwips;

frmReiceveMirsolan::frmReiceveMirsolan(QWidget *owner, const flowengine::DatiCorbex &corbex)
    : QDialog(owner), Corbex(corbex)
{
    setObjectName(QStringLiteral("frmReiceveMirsolan"));
    setWindowTitle(TitoloPrelievo);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(twips(5055), twips(1290));

    lblInstruction = new QLabel(QStringLiteral("Selezionare la risposta da prelevare, quindi scegliere 'Preleva'."), this);
    lblInstruction->setObjectName(QStringLiteral("lblInstruction"));
    PosizionaTwips(lblInstruction, 60, 60, 4935, 255);
    lblAswerPathName = new QLabel(QStringLiteral("Nome e percorso della risposta"), this);
    lblAswerPathName->setObjectName(QStringLiteral("lblAswerPathName"));
    PosizionaTwips(lblAswerPathName, 60, 360, 3000, 240);
    txtAswerPathName = new QLineEdit(QStringLiteral("Nome e percorso della risposta..."), this);
    txtAswerPathName->setObjectName(QStringLiteral("txtAswerPathName"));
    PosizionaTwips(txtAswerPathName, 60, 600, 3555, 315);

    auto button = [this](QPushButton *&member, const char *name, const QString &text, int left, int top) {
        member = new QPushButton(text, this);
        member->setObjectName(QString::fromLatin1(name));
        member->setAutoDefault(false);
        PosizionaTwips(member, left, top, 1215, 315);
    };
    button(cmdSelect, "cmdSelect", QStringLiteral("&Sfoglia..."), 3720, 600);
    button(cmdConfirm, "cmdConfirm", QStringLiteral("&Preleva"), 2460, 960);
    button(cmdCancel, "cmdCancel", QStringLiteral("&Annulla"), 3720, 960);
    connect(cmdSelect, &QPushButton::clicked, this, &frmReiceveMirsolan::cmdSelect_Click);
    connect(cmdConfirm, &QPushButton::clicked, this, &frmReiceveMirsolan::cmdConfirm_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmReiceveMirsolan::cmdCancel_Click);

    Form_Load();
}

void frmReiceveMirsolan::Form_Load()
{
    // The answer is checked against the flow as the list showed it, and is
    // stored only while the register still holds the flow so.
    txtAswerPathName->setText(common::OpzioniCorbix.UserDir);
}

void frmReiceveMirsolan::cmdSelect_Click()
{
    uimain::RichiestaFile richiesta;
    richiesta.titolo = QStringLiteral("Scegliere la risposta da prelevare");
    richiesta.cartellaIniziale = txtAswerPathName->text();
    const std::optional<QString> scelto = uimain::fileDialogService().scegli(this, richiesta);
    if (scelto)
        txtAswerPathName->setText(*scelto);
    uimain::RipristinaCartellaProgramma();
}

void frmReiceveMirsolan::cmdConfirm_Click()
{
    if (PrelevaRisposta(txtAswerPathName->text(), Corbex))
        accept();
}

void frmReiceveMirsolan::cmdCancel_Click() { reject(); }

void RegistraPrelievo(uimain::RegisteredWindowFactory &finestre)
{
    finestre.registraSuFlusso(uimain::Finestra::frmReiceveMirsolan,
                              [](QWidget *owner, uimain::FlussoSelezionato &flusso) {
                                  frmReiceveMirsolan prelievo(owner, flusso.corbex);
                                  prelievo.exec();
                              });
}

}  // namespace uitransmission
