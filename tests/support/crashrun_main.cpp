// A run of the program without its screens, for the crash tests and the
// test of an installed program on an office's archive: each road
// that files flows or answers, in a process of its own that the crash tests
// may stop dead at any of its named steps (platform/crashpoint.h).
//
//   corbix-test-crash-run PROGRAM_FOLDER ROAD [MOMENT]
//
// folder: the sample's declarations of 010101Z composed for a folder (the
// folder step's reservation, number 7 or the next free one, into the folder
// "Uscita" of C:, a folder of the user's outside the collection point); medium: the same written on the removable medium; fetch: the
// answer to the folder flow 7 fetched from the service's share; process: that
// answer processed into the archive; move: the
// options saved with the collection point moved from C:\Corbix\ to
// C:\Nuovo\; sweep: the start-up's finishing of an interrupted move and of
// interrupted runs; reserve: the folder step's reservation of number 7 made,
// "riservata" written on stdout, and then held, as an open wizard holds it,
// until stdin ends. The moment is 15 January 2026 at 10:00 unless MOMENT
// (ISO form, "2026-01-16T00:00:10") gives another. Every message is written
// on stderr and answered OK. Exit code 0 when the road succeeded.

#include "common/databases.h"
#include "common/globals.h"
#include "common/settings.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/collectionpointmove.h"
#include "flowengine/flowwriter.h"
#include "flowengine/journal.h"
#include "flowengine/options.h"
#include "flowengine/register.h"
#include "platform/clock.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "support/doubles/fakeclock.h"
#include "ui/main/composition.h"
#include "ui/main/compositionrun.h"
#include "ui/transmission/answerfetch.h"
#include "ui/transmission/answerprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

class MessaggiSuErrore : public platform::MessageBoxService {
public:
    platform::MsgResult show(const platform::Message &message) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(message.title), qPrintable(message.text));
        return platform::MsgResult::OK;
    }
};

const QDate Oggi(2026, 1, 15);
const QString Selezione = QStringLiteral("T\r\n010101Z         \r\n3\r\n2024/03/04-000000001\r\n"
                                         "2024/03/04-000000003\r\n2024/03/04-000000005\r\n");

bool componi(flowengine::Destinazione destinazione)
{
    uimain::RichiestaCorbex corbex;
    uimain::ProdottoCorbex prodotto;
    corbex.DestinazioneCorbex = destinazione;
    corbex.data = Oggi;
    corbex.TestoSelezione = Selezione;
    corbex.dichiarante = QStringLiteral("010101Z");
    int numero = 7;
    if (destinazione == flowengine::Destinazione::Cartella) {
        // A run stopped after the folder step leaves today's number taken.
        {
            dao::Database archivio = common::ApriArchivio();
            auto rs = archivio.openRecordset(
                QStringLiteral("SELECT MAX(Progressivo) FROM Corbix WHERE Posizione = ? AND Data = DateValue(?)"),
                {flowengine::PosizioneInviati, Oggi});
            numero = qMax(numero, rs->value(0).toInt() + 1);
        }
        const auto riservata = uimain::RiservaRiga(Oggi, numero, QStringLiteral("010101Z"));
        if (!riservata)
            return false;
        corbex.riservata = *riservata;
        corbex.cartella = QStringLiteral("C:\\Uscita");
        if (!QDir().mkpath(platform::hostPath(corbex.cartella)))
            return false;
        corbex.progressivo = numero;
        corbex.ufficio = QStringLiteral("012100");
    }
    uimain::ComposizioneSenzaUtente nessuno;
    const bool archiviato = uimain::ComponiCorbex(corbex, prodotto, nessuno).has_value();
    // The run leaves no error log behind it.
    flowengine::RimuoviFileCostruiti({prodotto.fileErrori}, prodotto.giornale.get());
    return archiviato;
}

bool preleva(const QString &programma)
{
    flowengine::DatiCorbex flow;
    flow.Data = Oggi;
    flow.Posizione = flowengine::PosizioneInviati;
    flow.Progressivo = 7;
    if (flowengine::CaricaCorbex(flow))
        return false;
    return uitransmission::PrelevaRisposta(programma + QStringLiteral("/servizio/R001/risposte/20260115-W07"), flow);
}

// The collection point moved to C:\Nuovo\, in the form it is stored in.
bool sposta()
{
    QString &centrale = common::OpzioniCorbix.Centrale;
    const QString nuovo = flowengine::formaDiReteCentrale(QStringLiteral("C:\\Nuovo\\"));
    if (centrale == nuovo)
        return true;
    centrale = nuovo;
    return flowengine::SalvaOpzioni() && centrale == nuovo && !common::ChiudiApplicazione;
}

// The reservation a wizard makes and holds while it stays open.
bool riserva()
{
    const auto riservata = uimain::RiservaRiga(platform::clock().now().date(), 7, QStringLiteral("010101Z"));
    if (!riservata)
        return false;
    std::cout << "riservata" << std::endl;
    for (std::string riga; std::getline(std::cin, riga);) {
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList argomenti = app.arguments();
    if (argomenti.size() != 3 && argomenti.size() != 4)
        return 2;
    const QDateTime momento = argomenti.size() == 4 ? QDateTime::fromString(argomenti[3], Qt::ISODate)
                                                     : QDateTime(Oggi, QTime(10, 0));
    if (!momento.isValid())
        return 2;
    const QString programma = QDir(argomenti[1]).absolutePath();
    const QString strada = argomenti[2];
    MessaggiSuErrore messaggi;
    platform::ScopedMessageBoxService messaggiGuard(messaggi);
    platform::FakeClock orologio(momento);
    platform::ScopedClock orologioGuard(orologio);
    platform::DriveTable unita(programma, programma);
    platform::ScopedDriveTable unitaGuard(unita);
    common::resetGlobals();
    common::CartellaProgramma = programma + u'/';
    QDir::setCurrent(programma);
    try {
        if (!common::LeggiIni() || !flowengine::CaricaOpzioni())
            return 1;
        bool riuscita = false;
        if (strada == QLatin1String("folder"))
            riuscita = componi(flowengine::Destinazione::Cartella);
        else if (strada == QLatin1String("medium"))
            riuscita = componi(flowengine::Destinazione::Supporto);
        else if (strada == QLatin1String("fetch"))
            riuscita = preleva(programma);
        else if (strada == QLatin1String("process"))
            riuscita = uitransmission::ElaboraRisposta(Oggi, 7) == uitransmission::EsitoElaborazione::Elaborata;
        else if (strada == QLatin1String("move"))
            riuscita = sposta();
        else if (strada == QLatin1String("reserve"))
            riuscita = riserva();
        else if (strada == QLatin1String("sweep")) {
            // In the order of the start-up: the move, the check, the runs.
            flowengine::FinisciSpostamentoCentrale();
            riuscita = flowengine::VerificaStrutturaCentrale(common::OpzioniCorbix.Centrale);
            flowengine::SistemaLavoriInterrotti();
        }
        else
            return 2;
        return riuscita ? 0 : 1;
    } catch (const platform::RuntimeError &e) {
        std::fprintf(stderr, "Errore %d: %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
}
