// The bench's steps run once on a small sample, each with its floor, and
// the checked SQLite calls its floors are made of: a floor that cannot do
// its work stops the bench instead of reading as a fast floor.
#include "bench/floorsql.h"
#include "bench/steps.h"
#include "sampledata/sampledata.h"

#include "platform/messagebox.h"
#include "support/doubles/recordingmessagebox.h"
#include "support/tempdir.h"

#include <QFileInfo>
#include <QStringList>
#include <QTextStream>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

TEST(Bench, EveryStepAndItsFloorRunAndHandleRowsOnASmallSample)
{
    testsupport::TempDir dir;
    const QString folder = dir.file(QStringLiteral("prog"));
    QString out, err;
    QTextStream o(&out), e(&err);
    ASSERT_EQ(sampledata::run({folder, QStringLiteral("--declarations"), QStringLiteral("100")}, o, e), 0)
        << err.toStdString();
    // Nothing the steps do asks the user: a message would be left here.
    platform::RecordingMessageBoxService messages;
    platform::ScopedMessageBoxService messagesGuard(messages);

    QStringList watched;
    {
        bench::Giro round(folder, QStringLiteral(CORBIX_BENCH));
        for (const bench::Passo &step : bench::Passi()) {
            const bench::Misura m = step.misura(round);
            SCOPED_TRACE(m.nome.toStdString());
            EXPECT_FALSE(m.nome.isEmpty());
            EXPECT_GT(m.righe, 0);
            EXPECT_GT(m.righeMinimo, 0);
            EXPECT_GT(m.tempo, 0);
            EXPECT_GT(m.minimo, 0);
            if (m.senzaDisegno) {
                EXPECT_GE(*m.senzaDisegno, 0);
                watched << m.nomeSenzaDisegno;
            }
        }
    }
    EXPECT_EQ(watched, (QStringList{
                           QStringLiteral("composizione mostrata, passo 1 -> 2: tempo più lungo senza disegno"),
                           QStringLiteral("distinta dal menu dell'elenco: tempo più lungo senza disegno"),
                           QStringLiteral("elenco dei flussi mostrato: dopo \"&Elimina\", tempo più lungo senza "
                                          "disegno"),
                           QStringLiteral("elaborazione dalla sua finestra: tempo più lungo senza disegno"),
                           QStringLiteral("tabulato dalla sua finestra: tempo più lungo senza disegno"),
                       }));
    EXPECT_TRUE(messages.shown.empty());
}

// A floor's own database: one table with one row.
QString floorDatabase(const testsupport::TempDir &dir)
{
    const QString file = dir.file(QStringLiteral("minimo.db"));
    sqlite3 *db = nullptr;
    EXPECT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "CREATE TABLE T (K INTEGER PRIMARY KEY, V TEXT NOT NULL); INSERT INTO T VALUES (1, 'a')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    return file;
}

struct FloorFailure {
    const char *name;
    bench::Connessione::Modo mode;
    void (*work)(bench::Connessione &db);
    const char *reason;
};

class BenchFloorSql : public ::testing::TestWithParam<FloorFailure> {};

TEST_P(BenchFloorSql, AFailedCallStopsTheFloorWithItsReason)
{
    testsupport::TempDir dir;
    const QString file = floorDatabase(dir);
    try {
        bench::Connessione db(file, GetParam().mode);
        GetParam().work(db);
        FAIL() << "the floor went on";
    } catch (const bench::MinimoFallito &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QString::fromUtf8(GetParam().reason));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Casi, BenchFloorSql,
    ::testing::Values(
        FloorFailure{"StatementThatDoesNotPrepare", bench::Connessione::Lettura,
                     [](bench::Connessione &db) { bench::Istruzione(db.handle(), "SELECT X FROM T"); },
                     "preparazione non riuscita (1): no such column: X [SELECT X FROM T]"},
        FloorFailure{"WriteOnAReadOnlyConnection", bench::Connessione::Lettura,
                     [](bench::Connessione &db) { db.esegui("DELETE FROM T"); },
                     "esecuzione non riuscita (8): attempt to write a readonly database [DELETE FROM T]"},
        FloorFailure{"StepThatBreaksAConstraint", bench::Connessione::Scrittura,
                     [](bench::Connessione &db) {
                         bench::Istruzione(db.handle(), "INSERT INTO T VALUES (1, 'b')").cambia(1);
                     },
                     "esecuzione non riuscita (19): UNIQUE constraint failed: T.K [INSERT INTO T VALUES (1, 'b')]"},
        FloorFailure{"UpdateThatFindsNoRow", bench::Connessione::Scrittura,
                     [](bench::Connessione &db) {
                         bench::Istruzione(db.handle(), "UPDATE T SET V = 'b' WHERE K = ?").lega(1, 2).cambia(1);
                     },
                     "0 righe cambiate invece di 1 [UPDATE T SET V = 'b' WHERE K = ?]"},
        FloorFailure{"NullWhereTheColumnRefusesIt", bench::Connessione::Scrittura,
                     [](bench::Connessione &db) {
                         bench::Istruzione(db.handle(), "UPDATE T SET V = ? WHERE K = 1").lega(1, QByteArray()).cambia(1);
                     },
                     "esecuzione non riuscita (19): NOT NULL constraint failed: T.V [UPDATE T SET V = ? WHERE K = 1]"}),
    [](const ::testing::TestParamInfo<FloorFailure> &caso) { return std::string(caso.param.name); });

TEST(BenchFloorSql, AMissingDatabaseIsNotMadeByTheFloor)
{
    testsupport::TempDir dir;
    const QString file = dir.file(QStringLiteral("manca.db"));
    try {
        bench::Connessione db(file, bench::Connessione::Scrittura);
        FAIL() << "a missing database was opened";
    } catch (const bench::MinimoFallito &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()),
                  QStringLiteral("apertura di %1 non riuscita: unable to open database file").arg(file));
    }
    EXPECT_FALSE(QFileInfo::exists(file));
}

}  // namespace
