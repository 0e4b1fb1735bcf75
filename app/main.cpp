#include "common/commandline.h"
#include "common/dialogs.h"
#include "platform/application.h"
#include "platform/display.h"
#include "platform/messagebox.h"
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

const QString Uso = QStringLiteral("Uso: corbix [--help | --version]");
const QString Aiuto = Uso + QStringLiteral(
    "\n"
    "Composizione e Invio Corbix Doganali, Ricezione e decodifica risposte E.D.I.\n"
    "\n"
    "Il programma prende la cartella corrente come cartella di programma: vi legge il file\n"
    "CORBIX.INI e, quando manca, apre la preparazione alla prima esecuzione.\n"
    "\n"
    "  --help     mostra questo aiuto ed esce\n"
    "  --version  mostra la versione ed esce\n"
    "\n"
    "Accetta anche le opzioni proprie di Qt (-platform, -display, -style, ...).");

// The messages of the start-up, shown and kept: a start that fails writes
// them on the error output too, for the terminal that started the program.
class MessaggiDellAvvio : public platform::MessageBoxService {
public:
    explicit MessaggiDellAvvio(platform::MessageBoxService &finestra) : finestra_(finestra) {}
    platform::MsgResult show(const platform::Message &message) override
    {
        mostrati.push_back(message);
        return finestra_.show(message);
    }

    std::vector<platform::Message> mostrati;

private:
    platform::MessageBoxService &finestra_;
};

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
    QTextStream err(stderr);
    // An argument that is not Qt's own would otherwise be passed over, and
    // the program started on the current folder as if it were not there.
    if (!platform::SoloOpzioniQt(argomenti)) {
        err << Uso << '\n';
        return 2;
    }
    if (!platform::SchermoRaggiungibile(argomenti)) {
        err << "corbix: nessuno schermo raggiungibile: il programma ha bisogno di uno schermo grafico "
               "(DISPLAY o WAYLAND_DISPLAY).\n";
        return 1;
    }
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
    {
        MessaggiDellAvvio messaggi(platform::messageBoxService());
        const platform::ScopedMessageBoxService guard(messaggi);
        if (!frmMain.Form_Load()) {
            platform::UnattendedMessageBoxService terminale;
            for (const platform::Message &message : messaggi.mostrati)
                terminale.show(message);
            return 1;
        }
    }
    frmMain.show();
    return app.exec();
}
