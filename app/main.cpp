#include "common/commandline.h"
#include "common/dialogs.h"
#include "platform/application.h"
#include "ui/main/frmcomandosql.h"
#include "ui/main/frmcomposenew.h"
#include "ui/main/frminformazioni.h"
#include "ui/main/frmmain.h"
#include "ui/tables/tables.h"
#include "ui/transmission/frmarchivelink.h"
#include "ui/transmission/frmaswerprocess.h"
#include "ui/transmission/frmaswerreport.h"
#include "ui/transmission/frmfirstexecution.h"
#include "ui/transmission/frmopzionicorbix.h"
#include "ui/transmission/frmreicevemirsolan.h"
#include "ui/transmission/frmselectdir.h"
#include "ui/transmission/frmsendmirsolan.h"

#include <QApplication>
#include <QTextStream>

namespace {

const QString Aiuto = QStringLiteral(
    "Uso: corbix [--help | --version]\n"
    "Composizione e Invio Corbix Doganali, Ricezione e decodifica risposte E.D.I.\n"
    "\n"
    "Il programma prende la cartella corrente come cartella di programma: vi legge il file\n"
    "CORBIX.INI e, quando manca, apre la preparazione alla prima esecuzione.\n"
    "\n"
    "  --help     mostra questo aiuto ed esce\n"
    "  --version  mostra la versione ed esce");

}  // namespace

int main(int argc, char **argv)
{
    // Answered before anything else: no window is opened, nothing is written.
    QStringList argomenti;
    for (int i = 1; i < argc; ++i)
        argomenti << QString::fromLocal8Bit(argv[i]);
    QTextStream out(stdout);
    if (common::OpzioniDelPacchetto(argomenti, QStringLiteral("corbix"), Aiuto, out))
        return 0;
    QApplication app(argc, argv);
    platform::ImpostaApplicazione();
    common::InstallaDialoghi();
    uimain::RegistraComposizione(uimain::programWindows());
    uimain::programWindows().registra(uimain::Finestra::FrmComandoSql, uimain::ApriFrmComandoSql);
    uimain::programWindows().registra(uimain::Finestra::FrmInformazioni, uimain::ApriFrmInformazioni);
    uitransmission::RegistraInvio(uimain::programWindows());
    uitransmission::RegistraPrelievo(uimain::programWindows());
    uitransmission::RegistraElaborazione(uimain::programWindows());
    uitransmission::RegistraTabulato(uimain::programWindows());
    uitransmission::RegistraPrimaEsecuzione(uimain::programWindows());
    uitransmission::RegistraCollegamentoArchivio(uimain::programWindows());
    uitransmission::RegistraOpzioni(uimain::programWindows());
    uitransmission::InstallaSceltaCartella();
    uitables::RegistraTabelle(uimain::programWindows());
    uimain::frmMain frmMain;
    // A start-up that ends before the main window shows (a step that failed,
    // the first-run wizard given up) is no run of the program.
    if (!frmMain.Form_Load())
        return 1;
    frmMain.show();
    return app.exec();
}
