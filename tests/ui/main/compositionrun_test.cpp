#include "compose_fixture.h"

#include "platform/errors.h"
#include "support/wizardfinish.h"
#include "ui/main/composition.h"
#include "ui/main/compositionrun.h"

#include <deque>

using namespace uimain;
using platform::MsgIcon;

namespace {

const QString kSelection =
    QStringLiteral("T\r\n010101Z         \r\n2\r\n2024/03/04-000000001\r\n2024/03/04-000000005\r\n");
const QString kListStored = QStringLiteral("1-04/03/2024-00001TO|5-04/03/2024-00005TO|");

// Every step the road asks of its listener, in order, and the answers it is
// given, in order: "OK" writes the flow, "Annulla" gives it up, "Riprova"
// and "Rinuncia" answer a question about the medium.
class RecordingRoad : public AscoltoComposizione {
public:
    explicit RecordingRoad(std::deque<QString> answers) : answers_(std::move(answers)) {}

    QStringList steps;
    std::function<void()> beforeRetry;  // what the user does before "Riprova"

    void preparazione(bool check, int count) override
    {
        steps << QStringLiteral("preparazione %1 %2").arg(check).arg(count);
    }
    void dichiarazioneInCorso(qint32 indice, const QDate &date) override
    {
        steps << QStringLiteral("dichiarazione %1 %2").arg(indice).arg(date.toString(QStringLiteral("dd/MM/yyyy")));
    }
    void avanzamento(int done) override { steps << QStringLiteral("avanzamento %1").arg(done); }
    void numeroErrori(int total) override { steps << QStringLiteral("errori %1").arg(total); }
    void fileCreato(const QString &name) override { steps << QStringLiteral("file ") + name; }
    bool confermaCostruzione(const flowengine::CorbexCreato &built,
                             const std::function<EsitoScrittura()> &write) override
    {
        steps << QStringLiteral("esito %1 errori, %2").arg(built.errori).arg(built.fileCorbex);
        for (;;) {
            const QString answer = next();
            steps << answer;
            if (answer != QLatin1String("OK"))
                return false;
            switch (write()) {
            case EsitoScrittura::Scritto: steps << QStringLiteral("scritto"); return true;
            case EsitoScrittura::Fallito: steps << QStringLiteral("fallito"); return false;
            case EsitoScrittura::Rifiutato: steps << QStringLiteral("rifiutato"); break;
            }
        }
    }
    bool inserireSupporto(const QString &drive) override
    {
        steps << QStringLiteral("inserire ") + drive;
        return true;
    }
    bool riprovaSupportoNonPronto(const platform::RuntimeError &e) override
    {
        steps << QStringLiteral("non pronto: ") + e.description();
        return retry();
    }
    bool riprovaSupportoSenzaNome() override
    {
        steps << QStringLiteral("senza nome");
        return retry();
    }
    void costruzioneChiusa(bool written) override
    {
        steps << (written ? QStringLiteral("chiusa, scritto") : QStringLiteral("chiusa, non scritto"));
    }
    // Shown, as the screen shows them, after its first line is noted.
    platform::MsgResult messaggio(const platform::Message &message) override
    {
        steps << QStringLiteral("messaggio: ") + message.text.section(QStringLiteral("\r\n"), 0, 0);
        return AscoltoComposizione::messaggio(message);
    }

private:
    QString next()
    {
        EXPECT_FALSE(answers_.empty()) << "the road asked more than the test answers";
        if (answers_.empty())
            return QStringLiteral("Annulla");
        QString answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    bool retry()
    {
        const QString answer = next();
        steps << answer;
        if (answer == QLatin1String("Riprova") && beforeRetry)
            beforeRetry();
        return answer == QLatin1String("Riprova");
    }

    std::deque<QString> answers_;
};

class CompositionRun : public ComposeTest {
protected:
    CompositionRun() { QDir().mkpath(onC(QStringLiteral("Invio"))); }

    testsupport::CorbexDiProva medium() const
    {
        testsupport::CorbexDiProva c;
        c.DestinazioneCorbex = flowengine::Destinazione::Supporto;
        c.data = today();
        c.dichiarante = QStringLiteral("010101Z");
        c.TestoSelezione = kSelection;
        return c;
    }
    testsupport::CorbexDiProva folder(const QString &office = QStringLiteral("012100"))
    {
        testsupport::CorbexDiProva c = medium();
        c.DestinazioneCorbex = flowengine::Destinazione::Cartella;
        c.riservata = *RiservaRiga(today(), 7, QStringLiteral("010101Z"));
        c.cartella = QStringLiteral("C:\\Invio");
        c.progressivo = 7;
        c.ufficio = office;
        return c;
    }
    // The build's steps on the two declarations, the same for every road.
    static QStringList building()
    {
        return {QStringLiteral("preparazione 0 2"),         QStringLiteral("file C:\\Corbix\\TEMP\\Vordama_01"),
                QStringLiteral("file C:\\Corbix\\TEMP\\VordamaA01"), QStringLiteral("file C:\\Corbix\\TEMP\\VordamaB01"),
                QStringLiteral("dichiarazione 1 04/03/2024"), QStringLiteral("avanzamento 1"),
                QStringLiteral("dichiarazione 5 04/03/2024"), QStringLiteral("avanzamento 2"),
                QStringLiteral("esito 0 errori, C:\\Corbix\\TEMP\\Vordama_01")};
    }
    // Runs the road; its journal is let go, as the build screen lets it go.
    std::optional<QString> run(testsupport::CorbexDiProva &corbex, RecordingRoad &road)
    {
        const std::optional<QString> filed = ComponiCorbex(corbex, corbex, road);
        corbex.giornale.reset();
        return filed;
    }
};

}  // namespace

TEST_F(CompositionRun, AFolderFlowIsBuiltEnvelopedCopiedAndFiled)
{
    testsupport::CorbexDiProva corbex = folder();
    RecordingRoad road({QStringLiteral("OK")});
    EXPECT_EQ(run(corbex, road), QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"));
    EXPECT_EQ(road.steps, building() + QStringList({QStringLiteral("OK"), QStringLiteral("scritto"),
                                                     QStringLiteral("chiusa, scritto")}));
    EXPECT_TRUE(boxes_.shown.empty()) << shownTexts().join(u'\n').toStdString();
    EXPECT_TRUE(corbex.CorbexScritto);
    EXPECT_EQ(corbex.FileTemporaneo, QStringLiteral("C:\\Corbix\\TEMP\\Vordama_01"));
    EXPECT_EQ(corbex.fileErrori, QStringLiteral("C:\\Corbix\\TEMP\\VordamaB01"));
    EXPECT_EQ(entries(onC(QStringLiteral("Invio"))), QStringList{QStringLiteral("R0010115.T07")});
    EXPECT_TRUE(bytes(onC(QStringLiteral("Invio/R0010115.T07")))
                    .startsWith("R001            R0010115.T07            012100    010101Z         001 00006\n"));
    EXPECT_EQ(register_().join(u'\n'), QStringLiteral("3/2026-01-15/7/C:\\Corbix\\Corbix inviati\\20260115-0/")
                                           + kListStored + QStringLiteral("/1/2/<null>/010101Z"));
    EXPECT_EQ(stati(), QStringLiteral("20002"));
    // The built flow is filed; its error log stays, as a run that ends keeps it.
    EXPECT_EQ(entries(inCorbix(QStringLiteral("TEMP"))), QStringList{QStringLiteral("VordamaB01")});
}

TEST_F(CompositionRun, AMediumFlowIsWrittenOnTheMediumAndFiled)
{
    // The medium is not ready at first; the user puts it in and retries.
    QDir(onFloppy(QString())).removeRecursively();
    testsupport::CorbexDiProva corbex = medium();
    RecordingRoad road({QStringLiteral("OK"), QStringLiteral("Riprova")});
    road.beforeRetry = [&] { QDir().mkpath(onFloppy(QString())); };
    EXPECT_EQ(run(corbex, road), QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"));
    EXPECT_EQ(road.steps, building() + QStringList({QStringLiteral("OK"), QStringLiteral("inserire A:"),
                                                     QStringLiteral("non pronto: Periferica non disponibile."),
                                                     QStringLiteral("Riprova"), QStringLiteral("scritto"),
                                                     QStringLiteral("chiusa, scritto"),
                                                     QStringLiteral("messaggio: Il corbex è stato trasferito sul "
                                                                    "supporto magnetico correttamente con il nome "
                                                                    "'PRATICHE.001'.")}));
    EXPECT_EQ(boxes_.shown, std::vector{box(QStringLiteral("Il corbex è stato trasferito sul supporto magnetico "
                                                           "correttamente con il nome 'PRATICHE.001'."),
                                            QStringLiteral("Corbix doganali"), MsgIcon::Information)});
    EXPECT_EQ(corbex.FileSupporto, QStringLiteral("PRATICHE.001"));
    QByteArray lf = bytes(inCorbix(QStringLiteral("Corbix inviati/20260115-0")));
    lf.replace("\r\n", "\n");
    EXPECT_EQ(entries(onFloppy(QString())), QStringList{QStringLiteral("PRATICHE.001")});
    EXPECT_EQ(bytes(onFloppy(QStringLiteral("PRATICHE.001"))), lf);
    EXPECT_EQ(register_().join(u'\n'), QStringLiteral("3/2026-01-15/1/C:\\Corbix\\Corbix inviati\\20260115-0/")
                                           + kListStored + QStringLiteral("/1/1/PRATICHE.001/010101Z"));
    EXPECT_EQ(stati(), QStringLiteral("20002"));
}

// Given up at the confirmation, or after a refused write, or at a medium's
// question: nothing is filed, the folder's reserved row is deleted, and the
// built files stay in TEMP.
TEST_F(CompositionRun, AFlowGivenUpFilesNothing)
{
    const struct {
        const char *name;
        bool toFolder;
        const char *office;  // of a folder flow: 032100 has no EDI account for the declarant
        bool mediumOut;      // no medium in the drive
        std::deque<QString> answers;
        QStringList steps;  // after the build's
        QStringList texts;  // of the messages shown
    } cases[] = {
        {"folder, cancelled", true, "012100", false, {QStringLiteral("Annulla")},
         {QStringLiteral("Annulla"), QStringLiteral("chiusa, non scritto")}, {}},
        {"medium, cancelled", false, "", false, {QStringLiteral("Annulla")},
         {QStringLiteral("Annulla"), QStringLiteral("chiusa, non scritto")}, {}},
        {"folder, no EDI account, then cancelled", true, "032100", false, {QStringLiteral("OK"), QStringLiteral("Annulla")},
         {QStringLiteral("OK"),
          QStringLiteral("messaggio: Impossibile completare la generazione del corbex telematico: non risultano "
                         "definiti i dati di utenza per il dichiarante/rappresenetate o per il compartimento "
                         "doganale di destinazione."),
          QStringLiteral("rifiutato"), QStringLiteral("Annulla"), QStringLiteral("chiusa, non scritto")},
         {QStringLiteral("Impossibile completare la generazione del corbex telematico: non risultano definiti i "
                         "dati di utenza per il dichiarante/rappresenetate o per il compartimento doganale di "
                         "destinazione.\r\nProvvedere a definire tali dati attraverso la maschera 'Utenze E.D.I.' "
                         "quindi riprovare")}},
        {"medium not ready, given up", false, "", true, {QStringLiteral("OK"), QStringLiteral("Rinuncia"), QStringLiteral("Annulla")},
         {QStringLiteral("OK"), QStringLiteral("inserire A:"), QStringLiteral("non pronto: Periferica non disponibile."),
          QStringLiteral("Rinuncia"), QStringLiteral("rifiutato"), QStringLiteral("Annulla"),
          QStringLiteral("chiusa, non scritto")},
         {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        execute(QStringLiteral("DELETE FROM Corbix"));
        QDir(inCorbix(QStringLiteral("TEMP"))).removeRecursively();
        QDir().mkpath(inCorbix(QStringLiteral("TEMP")));
        boxes_.shown.clear();
        if (c.mediumOut)
            QDir(onFloppy(QString())).removeRecursively();
        else
            QDir().mkpath(onFloppy(QString()));
        testsupport::CorbexDiProva corbex = c.toFolder ? folder(QString::fromLatin1(c.office)) : medium();
        EXPECT_EQ(register_().size(), c.toFolder ? 1 : 0);
        RecordingRoad road(c.answers);
        EXPECT_EQ(run(corbex, road), std::nullopt);
        EXPECT_EQ(road.steps, building() + c.steps);
        EXPECT_EQ(shownTexts(), c.texts);
        EXPECT_FALSE(corbex.CorbexScritto);
        EXPECT_EQ(corbex.FileTemporaneo, QString());
        EXPECT_EQ(register_(), QStringList());
        EXPECT_EQ(stati(), QStringLiteral("00000"));
        EXPECT_EQ(entries(onC(QStringLiteral("Invio"))), QStringList());
        EXPECT_EQ(entries(inCorbix(QStringLiteral("Corbix inviati"))), QStringList());
        EXPECT_EQ(entries(inCorbix(QStringLiteral("TEMP"))),
                  QStringList({QStringLiteral("VordamaB01"), QStringLiteral("Vordama_01")}));
    }
}

// A build that fails is told; nothing is asked of the listener after it.
TEST_F(CompositionRun, AFailedBuildIsToldAndEndsTheRoad)
{
    QFile::remove(common::CartellaProgramma + QStringLiteral("Corbix.mdb"));
    testsupport::CorbexDiProva corbex = folder();
    RecordingRoad road({});
    EXPECT_EQ(run(corbex, road), std::nullopt);
    ASSERT_GE(road.steps.size(), 4);
    EXPECT_EQ(road.steps.mid(0, 4), building().mid(0, 4));
    EXPECT_EQ(road.steps.mid(4),
              QStringList({QStringLiteral("messaggio: Errore di Run-time 3024"), QStringLiteral("chiusa, non scritto")}));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_TRUE(boxes_.shown[0].text.startsWith(QStringLiteral("Errore di Run-time 3024\r\n")));
    EXPECT_EQ(register_(), QStringList());
}
