#include "flowengine/journal.h"

#include "common/textfiles.h"
#include "flowengine/collectionpoint.h"
#include "platform/clock.h"

#include "archive_fixture.h"

using namespace flowengine;

namespace {

const QDate Today(2026, 1, 15);

// A collection point C:\Corbix\ with its folders, a destination folder and a
// removable medium.
class Journal : public ArchiveTest {
protected:
    Journal()
    {
        for (const QString &folder : {CartellaInviati, CartellaRisposte, CartellaTemp})
            QDir().mkpath(onC(QStringLiteral("Corbix/") + folder));
        QDir().mkpath(onC(QStringLiteral("Invio")));
        common::OpzioniCorbix.Centrale = QStringLiteral("C:\\Corbix\\");
    }
    QString inviati(const QString &name) const { return onC(QStringLiteral("Corbix/Corbix inviati/") + name); }
    // Writes a file under its temporary name, as a run does.
    void temporary(const QString &host, const QByteArray &bytes)
    {
        ASSERT_TRUE(common::writeTemporary(host, bytes, true));
    }
    void write(const QString &host, const QByteArray &bytes)
    {
        QFile f(host);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QStringList folder(const QString &name) const { return entries(onC(name)); }

    platform::FakeClock clock_{QDateTime(Today, QTime(9, 0))};
    platform::ScopedClock clockGuard_{clock_};
};

}  // namespace

// A run stopped after its commit: its temporaries take their names (the
// archive name exclusively, the folder's copy over the file there), and the
// rewrite of an answer, never to be named, is deleted; the journal goes.
TEST_F(Journal, ACommittedRunsTemporariesTakeTheirNames)
{
    const QString archive = inviati(QStringLiteral("20260115-0"));
    const QString copy = onC(QStringLiteral("Invio/R0010115.T07"));
    const QString answer = onC(QStringLiteral("Invio/risposta"));
    write(copy, "vecchio");
    write(answer, "risposta\n");
    {
        GiornaleLavoro run;
        run.annota(copy, Destino::Sostituisce);
        temporary(copy, "copia\n");
        temporary(archive, "flusso\r\n");
        run.annota(archive, Destino::Esclusivo);
        run.annota(answer, Destino::Scarta);
        temporary(answer, "riscritta\r\n");
        run.registra(QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"));
        addFlow(3, Today, 1, 1, 2, QStringLiteral("DICH01"), {},
                QStringLiteral("C:\\CORBIX\\Corbix inviati\\20260115-0"));
        // The run stops here: its journal stays while its temporaries do.
    }
    ASSERT_EQ(folder(QStringLiteral("Corbix/TEMP")).size(), 1);
    SistemaLavoriInterrotti();
    EXPECT_EQ(bytes(archive), QByteArray("flusso\r\n"));
    EXPECT_EQ(bytes(copy), QByteArray("copia\n"));
    EXPECT_EQ(bytes(answer), QByteArray("risposta\n"));
    EXPECT_EQ(folder(QStringLiteral("Invio")),
              (QStringList{QStringLiteral("R0010115.T07"), QStringLiteral("risposta")}));
    EXPECT_EQ(folder(QStringLiteral("Corbix/Corbix inviati")), QStringList{QStringLiteral("20260115-0")});
    EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")), QStringList());
}

// A run stopped before its commit: every temporary goes, files under final
// names stay, and so does every file without the mark (the built flow, its
// log, a printed report, an error log).
TEST_F(Journal, AnUncommittedRunsTemporariesAreDeletedAndNothingElse)
{
    const QString archive = inviati(QStringLiteral("20260115-0"));
    const QString copy = onC(QStringLiteral("Invio/R0010115.T07"));
    write(copy, "vecchio");
    for (const char *name : {"Corbix/TEMP/Vordama_01", "Corbix/TEMP/VordamaA01", "Corbix/TEMP/Distinta.pdf",
                             "Corbix/Corbix inviati/20260114-0", "Corbix/Risposte Pervenute/20260114-1-W",
                             "Corbix/errori.log"})
        write(onC(QString::fromLatin1(name)), "x");
    {
        GiornaleLavoro run;
        run.annota(copy, Destino::Sostituisce);
        temporary(copy, "copia\n");
        temporary(archive, "flusso\r\n");
        run.annota(archive, Destino::Esclusivo);
        run.registra(QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"));
    }
    // Temporaries whose journal is lost, of a flow and of an answer; one
    // whose name the register holds takes it.
    temporary(inviati(QStringLiteral("20260115-1")), "a");
    temporary(onC(QStringLiteral("Corbix/Risposte Pervenute/20260115-1-W")), "b");
    temporary(inviati(QStringLiteral("20260113-0")), "registrato");
    addFlow(3, Today.addDays(-2), 1, 1, 2, QStringLiteral("DICH01"), {},
            QStringLiteral("\\\\PC1\\C\\Corbix\\Corbix inviati\\20260113-0"));
    SistemaLavoriInterrotti();
    EXPECT_EQ(folder(QStringLiteral("Invio")), QStringList{QStringLiteral("R0010115.T07")});
    EXPECT_EQ(bytes(copy), QByteArray("vecchio"));
    EXPECT_EQ(folder(QStringLiteral("Corbix/Corbix inviati")),
              (QStringList{QStringLiteral("20260113-0"), QStringLiteral("20260114-0")}));
    EXPECT_EQ(bytes(inviati(QStringLiteral("20260113-0"))), QByteArray("registrato"));
    EXPECT_EQ(folder(QStringLiteral("Corbix/Risposte Pervenute")), QStringList{QStringLiteral("20260114-1-W")});
    EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")),
              (QStringList{QStringLiteral("Distinta.pdf"), QStringLiteral("VordamaA01"),
                           QStringLiteral("Vordama_01")}));
    EXPECT_EQ(bytes(onC(QStringLiteral("Corbix/errori.log"))), QByteArray("x"));
}

// A run going on (here another journal open) is left alone; the
// reservations of earlier days go all the same, today's stay.
TEST_F(Journal, ARunGoingOnIsLeftAloneAndOldReservationsGo)
{
    addFlow(3, Today.addDays(-1), 4, 1, 2, QStringLiteral("DICH01"));
    addFlow(3, Today, 5, 1, 2, QStringLiteral("DICH01"));
    addFlow(3, Today.addDays(-1), 6, 1, 2, QStringLiteral("DICH01"), {},
            QStringLiteral("C:\\Corbix\\Corbix inviati\\x"));
    addFlow(4, Today.addDays(-1), 6, 0, 0, QStringLiteral("DICH01"), {},
            QStringLiteral("C:\\Corbix\\Risposte Pervenute\\y"));
    const QString archive = inviati(QStringLiteral("20260115-0"));
    GiornaleLavoro running;
    temporary(archive, "flusso\r\n");
    running.annota(archive, Destino::Esclusivo);
    SistemaLavoriInterrotti();
    EXPECT_EQ(folder(QStringLiteral("Corbix/Corbix inviati")), QStringList{QStringLiteral("20260115-0.corbix~")});
    EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")).size(), 1);
    EXPECT_EQ(registerKeys(), (QStringList{QStringLiteral("3 14/01/2026 6"), QStringLiteral("3 15/01/2026 5"),
                                           QStringLiteral("4 14/01/2026 6")}));
}

// A run that ends, whatever its end, takes its journal with it once none of
// its temporaries is left; one whose temporaries stay leaves its journal.
TEST_F(Journal, TheJournalGoesWithTheLastTemporary)
{
    const QString archive = inviati(QStringLiteral("20260115-0"));
    {
        GiornaleLavoro run;
        temporary(archive, "flusso\r\n");
        run.annota(archive, Destino::Esclusivo);
        common::takeFinalName(archive, false);
    }
    EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")), QStringList());
    {
        GiornaleLavoro run;
        const QString next = inviati(QStringLiteral("20260115-1"));
        temporary(next, "flusso\r\n");
        run.annota(next, Destino::Esclusivo);
        QFile::remove(common::nomeTemporaneo(next));
    }
    EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")), QStringList());
}

// Two runs noted one archive name: the one that made its temporary and
// committed, and one stopped before it found the name taken. The committed
// run names the file, whatever the order of the journals; a run that found
// the name taken takes its note back and leaves no journal.
TEST_F(Journal, ANameNotedByTwoRunsIsNamedByTheRunThatCommitted)
{
    const QString archive = inviati(QStringLiteral("20260115-0"));
    const QString name = QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0");
    {
        GiornaleLavoro winner;
        winner.annota(archive, Destino::Esclusivo);
        temporary(archive, "flusso\r\n");
        winner.registra(name);
        addFlow(3, Today, 1, 1, 2, QStringLiteral("DICH01"), {}, name);
        {
            GiornaleLavoro polite;
            polite.annota(archive, Destino::Esclusivo);
            polite.ritira(archive);
        }
        ASSERT_EQ(folder(QStringLiteral("Corbix/TEMP")).size(), 1);
        GiornaleLavoro stopped;
        stopped.annota(archive, Destino::Esclusivo);
    }
    ASSERT_EQ(folder(QStringLiteral("Corbix/TEMP")).size(), 2);
    SistemaLavoriInterrotti();
    EXPECT_EQ(bytes(archive), QByteArray("flusso\r\n"));
    EXPECT_EQ(folder(QStringLiteral("Corbix/Corbix inviati")), QStringList{QStringLiteral("20260115-0")});
    EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")), QStringList());
}
