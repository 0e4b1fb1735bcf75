#include "flowengine/journal.h"

#include "common/textfiles.h"
#include "common/workstation.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/reservation.h"
#include "platform/clock.h"

#include "archive_fixture.h"
#include "support/doubles/fakeclock.h"

#include <QFileInfo>
#include <cstdio>
#include <sys/stat.h>

using namespace flowengine;

namespace {

const QDate Today(2026, 1, 15);

// The first line of a folder flow's archive copy: the envelope, whose
// columns 17-28 name the flow's copy in its folder.
QByteArray envelope(const char *name)
{
    return QByteArray("R001") + QByteArray(12, ' ') + QByteArray(name).leftJustified(12, ' ') + QByteArray(12, ' ')
           + "012100    010101Z         001 00002\r\n";
}

// The lines of a flow with LF ends, as its copy in a folder is written.
QByteArray lf(QByteArray bytes) { return bytes.replace("\r\n", "\n"); }

// A collection point C:\Corbix\ with its folders, a destination folder, a
// removable medium A: and a share R001 of the EDI service.
class Journal : public ArchiveTest {
protected:
    Journal()
    {
        for (const QString &folder : {CartellaInviati, CartellaRisposte, CartellaTemp})
            QDir().mkpath(onC(QStringLiteral("Corbix/") + folder));
        QDir().mkpath(onC(QStringLiteral("Invio")));
        QDir().mkpath(onC(QStringLiteral("Altro")));
        QDir().mkpath(tmp_.file(QStringLiteral("floppy")));
        QDir().mkpath(tmp_.file(QStringLiteral("servizio/R001")));
        drives_.setDrive(u'a', tmp_.file(QStringLiteral("floppy")));
        drives_.setShare(QStringLiteral("MIRSOLAN"), QStringLiteral("R001"), tmp_.file(QStringLiteral("servizio/R001")));
        common::OpzioniCorbix.Centrale = QStringLiteral("C:\\Corbix\\");
        common::OpzioniCorbix.FloppyDevice = QStringLiteral("A:");
    }
    QString inviati(const QString &name) const { return onC(QStringLiteral("Corbix/Corbix inviati/") + name); }
    // Writes a file under its temporary name, as a run does, its identity
    // noted under the name noted when a run is given.
    void temporary(const QString &host, const QByteArray &bytes, GiornaleLavoro *run = nullptr,
                   const QString &noted = {})
    {
        ASSERT_TRUE(common::writeTemporary(host, bytes, true, run ? run->identificatore(noted) : platform::CreatedFile()));
    }
    // The journal's line that notes the identity of the file at host, made
    // by the run for the name noted.
    static QByteArray made(const QString &noted, const QString &host)
    {
        struct stat st {};
        EXPECT_EQ(::lstat(QFile::encodeName(host).constData(), &st), 0) << host.toStdString();
        return "I " + QByteArray::number(qulonglong(st.st_dev)) + ' ' + QByteArray::number(qulonglong(st.st_ino)) + ' '
               + noted.toUtf8() + '\n';
    }
    // The journal's line of a work file the run removes, with the identity
    // of the file at host.
    static QByteArray removed(const QString &noted, const QString &host)
    {
        const struct stat st = identity(host);
        return "D " + QByteArray::number(qulonglong(st.st_dev)) + ' ' + QByteArray::number(qulonglong(st.st_ino)) + ' '
               + QByteArray::number(qlonglong(st.st_size)) + ' '
               + QByteArray::number(qlonglong(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec) + ' '
               + noted.toUtf8() + '\n';
    }
    static struct stat identity(const QString &host)
    {
        struct stat st {};
        EXPECT_EQ(::lstat(QFile::encodeName(host).constData(), &st), 0) << host.toStdString();
        return st;
    }
    void write(const QString &host, const QByteArray &bytes)
    {
        QFile f(host);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QStringList folder(const QString &name) const { return entries(onC(name)); }
    // A journal written by hand in TEMP, of this workstation unless another
    // one is named.
    QString journal(const QByteArray &lines, const QString &workstation = common::NomePostazione())
    {
        const QString path = onC(QStringLiteral("Corbix/TEMP/Giornale ") + workstation + QStringLiteral(" A.corbix~"));
        write(path, lines);
        return path;
    }

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
    const QString answer = tmp_.file(QStringLiteral("servizio/R001/risposta"));
    write(copy, "vecchio");
    write(answer, "risposta\n");
    const QByteArray flow = envelope("R0010115.T07") + "flusso\r\n";
    {
        GiornaleLavoro run;
        run.annota(QStringLiteral("C:\\Invio\\R0010115.T07"), Destino::Sostituisce);
        temporary(copy, lf(flow));
        temporary(archive, flow);
        run.annota(QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"), Destino::Esclusivo);
        run.annota(QStringLiteral("\\\\MIRSOLAN\\R001\\risposta"), Destino::Scarta);
        temporary(answer, "riscritta\r\n", &run, QStringLiteral("\\\\MIRSOLAN\\R001\\risposta"));
        run.registra(QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"));
        addFlow(3, Today, 1, 1, 2, QStringLiteral("DICH01"), {},
                QStringLiteral("C:\\CORBIX\\Corbix inviati\\20260115-0"));
        // The run stops here: its journal stays while its temporaries do.
    }
    ASSERT_EQ(folder(QStringLiteral("Corbix/TEMP")).size(), 1);
    SistemaLavoriInterrotti();
    EXPECT_EQ(bytes(archive), flow);
    EXPECT_EQ(bytes(copy), lf(flow));
    EXPECT_EQ(bytes(answer), QByteArray("risposta\n"));
    EXPECT_EQ(folder(QStringLiteral("Invio")), QStringList{QStringLiteral("R0010115.T07")});
    EXPECT_EQ(entries(tmp_.file(QStringLiteral("servizio/R001"))), QStringList{QStringLiteral("risposta")});
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
    const QString outgoing = onC(QStringLiteral("Corbix/Corbix in uscita/R0010115.T07"));
    QDir().mkpath(onC(QStringLiteral("Corbix/Corbix in uscita")));
    {
        GiornaleLavoro run;
        run.annota(QStringLiteral("C:\\Invio\\R0010115.T07"), Destino::Sostituisce);
        temporary(copy, "copia\n");
        run.annota(QStringLiteral("C:\\Corbix\\Corbix in uscita\\R0010115.T07"), Destino::Sostituisce);
        temporary(outgoing, "copia\n", &run, QStringLiteral("C:\\Corbix\\Corbix in uscita\\R0010115.T07"));
        run.annota(QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"), Destino::Esclusivo);
        temporary(archive, envelope("R0010115.T07") + "flusso\r\n", &run,
                  QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"));
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
    // The copy in a folder of the user holds lines of no flow of the run:
    // nothing proves it the run's own, and that temporary is left.
    EXPECT_EQ(folder(QStringLiteral("Invio")),
              (QStringList{QStringLiteral("R0010115.T07"), QStringLiteral("R0010115.T07.corbix~")}));
    EXPECT_EQ(bytes(copy), QByteArray("vecchio"));
    EXPECT_EQ(folder(QStringLiteral("Corbix/Corbix in uscita")), QStringList());
    EXPECT_EQ(folder(QStringLiteral("Corbix/Corbix inviati")),
              (QStringList{QStringLiteral("20260113-0"), QStringLiteral("20260114-0")}));
    EXPECT_EQ(bytes(inviati(QStringLiteral("20260113-0"))), QByteArray("registrato"));
    EXPECT_EQ(folder(QStringLiteral("Corbix/Risposte Pervenute")), QStringList{QStringLiteral("20260114-1-W")});
    // The journal stays with the line it could not act on.
    const QStringList temp = folder(QStringLiteral("Corbix/TEMP"));
    ASSERT_EQ(temp.size(), 4);
    EXPECT_TRUE(temp[1].startsWith(QStringLiteral("Giornale "))) << temp[1].toStdString();
    EXPECT_EQ(QStringList({temp[0], temp[2], temp[3]}),
              (QStringList{QStringLiteral("Distinta.pdf"), QStringLiteral("VordamaA01"),
                           QStringLiteral("Vordama_01")}));
    EXPECT_EQ(bytes(onC(QStringLiteral("Corbix/errori.log"))), QByteArray("x"));
}

// Runs stopped dead before their commit, as their journals show: a copy of
// the flow in a folder of the user, whole or begun, goes when its bytes prove
// it the run's own (those of its built flow, or of its archive copy's
// temporary, with LF line ends), and stays otherwise, as does the file under its final name; the work files
// each run noted in TEMP go, and nothing else there.
TEST_F(Journal, AnUncommittedRunsOwnCopiesAndWorkFilesGo)
{
    const QByteArray flow = envelope("R0010115.T07") + "flusso\r\n";
    const QString temp = QStringLiteral("C:\\Corbix\\TEMP\\");
    for (const char *name : {"Corbix/TEMP/Vordama_01", "Corbix/TEMP/VordamaA01", "Corbix/TEMP/VordamaB01",
                             "Corbix/TEMP/VordamaC01", "Corbix/TEMP/Distinta.pdf"})
        write(onC(QString::fromLatin1(name)), name[19] == '_' ? flow : QByteArray("errori"));
    for (const char *folder : {"Invio", "Altro"})
        write(onC(QString::fromLatin1(folder) + QStringLiteral("/R0010115.T07")), "vecchio");
    // The built flow proves the first run's copy, whole or begun, not the
    // other's.
    temporary(onC(QStringLiteral("Invio/R0010115.T07")), lf(flow));
    QDir().mkpath(onC(QStringLiteral("Invio3")));
    temporary(onC(QStringLiteral("Invio3/R0010115.T07")), lf(flow).left(30));
    temporary(onC(QStringLiteral("Altro/R0010115.T07")), "altro\n");
    journal("L " + (temp + QStringLiteral("Vordama_01")).toUtf8() + '\n'
            + made(temp + QStringLiteral("Vordama_01"), onC(QStringLiteral("Corbix/TEMP/Vordama_01"))) + "L "
            + (temp + QStringLiteral("VordamaB01")).toUtf8() + '\n'
            + made(temp + QStringLiteral("VordamaB01"), onC(QStringLiteral("Corbix/TEMP/VordamaB01")))
            + "S C:\\Invio\\R0010115.T07\nS C:\\Invio3\\R0010115.T07\nS C:\\Altro\\R0010115.T07\n");
    // The second run's copy is proved by its archive copy's temporary.
    QDir().mkpath(onC(QStringLiteral("Invio2")));
    temporary(onC(QStringLiteral("Invio2/R0010115.T08")), lf(flow));
    temporary(inviati(QStringLiteral("20260115-0")), flow);
    write(onC(QStringLiteral("Corbix/TEMP/Giornale ")) + common::NomePostazione() + QStringLiteral(" B.corbix~"),
          "L " + (temp + QStringLiteral("VordamaA01")).toUtf8() + '\n'
              + made(temp + QStringLiteral("VordamaA01"), onC(QStringLiteral("Corbix/TEMP/VordamaA01")))
              + "S C:\\Invio2\\R0010115.T08\nE C:\\Corbix\\Corbix inviati\\20260115-0\n"
              + made(QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"),
                     inviati(QStringLiteral("20260115-0.corbix~"))));
    SistemaLavoriInterrotti();
    EXPECT_EQ(folder(QStringLiteral("Invio")), QStringList{QStringLiteral("R0010115.T07")});
    EXPECT_EQ(bytes(onC(QStringLiteral("Invio/R0010115.T07"))), QByteArray("vecchio"));
    EXPECT_EQ(folder(QStringLiteral("Invio2")), QStringList());
    EXPECT_EQ(folder(QStringLiteral("Invio3")), QStringList());
    EXPECT_EQ(folder(QStringLiteral("Corbix/Corbix inviati")), QStringList());
    EXPECT_EQ(folder(QStringLiteral("Altro")),
              (QStringList{QStringLiteral("R0010115.T07"), QStringLiteral("R0010115.T07.corbix~")}));
    // The first journal stays with the line it could not act on.
    const QStringList left = folder(QStringLiteral("Corbix/TEMP"));
    ASSERT_EQ(left.size(), 3);
    EXPECT_EQ(left[0], QStringLiteral("Distinta.pdf"));
    EXPECT_TRUE(left[1].startsWith(QStringLiteral("Giornale "))) << left[1].toStdString();
    EXPECT_EQ(left[2], QStringLiteral("VordamaC01"));
}

// A run that ends, whatever its end, keeps its work files even when its
// journal stays for a temporary it could not finish: the sweep finishes the
// temporary and leaves the work files.
TEST_F(Journal, AnEndedRunsWorkFilesStay)
{
    write(onC(QStringLiteral("Corbix/TEMP/VordamaB01")), "errori");
    {
        GiornaleLavoro run;
        run.annotaLavoro(QStringLiteral("C:\\Corbix\\TEMP\\VordamaB01"), identity(onC(QStringLiteral("Corbix/TEMP/VordamaB01"))));
        run.annota(QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-5"), Destino::Esclusivo);
        temporary(inviati(QStringLiteral("20260115-5")), "flusso\r\n", &run,
                  QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-5"));
    }
    ASSERT_EQ(folder(QStringLiteral("Corbix/TEMP")).size(), 2);
    SistemaLavoriInterrotti();
    EXPECT_EQ(folder(QStringLiteral("Corbix/Corbix inviati")), QStringList());
    EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")), QStringList{QStringLiteral("VordamaB01")});
}

// A run going on (here another journal open) is left alone, and so are the
// reservations: they are removed only inside the sweep's own lock. Once the
// run has ended, the reservations of earlier days go, today's stay.
TEST_F(Journal, ARunGoingOnIsLeftAloneAndOldReservationsGoOnceItEnds)
{
    addFlow(3, Today.addDays(-1), 4, 1, 2, QStringLiteral("DICH01"));
    addFlow(3, Today, 5, 1, 2, QStringLiteral("DICH01"));
    addFlow(3, Today.addDays(-1), 6, 1, 2, QStringLiteral("DICH01"), {},
            QStringLiteral("C:\\Corbix\\Corbix inviati\\x"));
    addFlow(4, Today.addDays(-1), 6, 0, 0, QStringLiteral("DICH01"), {},
            QStringLiteral("C:\\Corbix\\Risposte Pervenute\\y"));
    const QString archive = inviati(QStringLiteral("20260115-0"));
    const QStringList all = {QStringLiteral("3 14/01/2026 4"), QStringLiteral("3 14/01/2026 6"),
                             QStringLiteral("3 15/01/2026 5"), QStringLiteral("4 14/01/2026 6")};
    {
        GiornaleLavoro running;
        temporary(archive, "flusso\r\n");
        running.annota(QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"), Destino::Esclusivo);
        SistemaLavoriInterrotti();
        EXPECT_EQ(folder(QStringLiteral("Corbix/Corbix inviati")), QStringList{QStringLiteral("20260115-0.corbix~")});
        EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")).size(), 1);
        EXPECT_EQ(registerKeys(), all);
        QFile::remove(common::nomeTemporaneo(archive));
    }
    SistemaLavoriInterrotti();
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
        run.annota(QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"), Destino::Esclusivo);
        common::takeFinalName(archive, false);
    }
    EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")), QStringList());
    {
        GiornaleLavoro run;
        const QString next = inviati(QStringLiteral("20260115-1"));
        temporary(next, "flusso\r\n");
        run.annota(QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-1"), Destino::Esclusivo);
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
        winner.annota(name, Destino::Esclusivo);
        temporary(archive, "flusso\r\n");
        winner.registra(name);
        addFlow(3, Today, 1, 1, 2, QStringLiteral("DICH01"), {}, name);
        {
            GiornaleLavoro polite;
            polite.annota(name, Destino::Esclusivo);
            polite.ritira(name);
        }
        ASSERT_EQ(folder(QStringLiteral("Corbix/TEMP")).size(), 1);
        GiornaleLavoro stopped;
        stopped.annota(name, Destino::Esclusivo);
    }
    ASSERT_EQ(folder(QStringLiteral("Corbix/TEMP")).size(), 2);
    SistemaLavoriInterrotti();
    EXPECT_EQ(bytes(archive), QByteArray("flusso\r\n"));
    EXPECT_EQ(folder(QStringLiteral("Corbix/Corbix inviati")), QStringList{QStringLiteral("20260115-0")});
    EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")), QStringList());
}

// Journals written by hand, each naming a committed flow's archive copy as
// its register's name so that its temporaries would be named: a line naming
// a file outside the program's folders, through "..", through a link out of
// the collection point, a destination copy not named by the envelope, or a
// torn last line is left as it is, with the planted temporary and the file
// it would replace; the journal stays. The lines inside the program's
// folders are finished.
TEST_F(Journal, AForgedJournalChangesNothingOutsideTheProgramsFolders)
{
    const QString registered = QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0");
    write(inviati(QStringLiteral("20260115-0")), envelope("R0010115.T07") + "flusso\r\n");
    addFlow(3, Today, 1, 1, 2, QStringLiteral("DICH01"), {}, registered);
    QDir().mkpath(onC(QStringLiteral("Corbix/Corbix inviati/fuori")));
    QDir().rmdir(onC(QStringLiteral("Corbix/Corbix inviati/fuori")));
    ASSERT_TRUE(QFile::link(onC(QStringLiteral("Altro")), onC(QStringLiteral("Corbix/Corbix inviati/fuori"))));
    const struct {
        const char *line;    // as the journal holds it
        const char *target;  // the file it would touch, on C:
    } cases[] = {
        {"S C:\\Altro\\dati.txt", "Altro/dati.txt"},
        {"E C:\\Altro\\nuovo.txt", "Altro/nuovo.txt"},
        {"X C:\\Altro\\scarto.txt", "Altro/scarto.txt"},
        {"S C:\\Corbix\\TEMP\\..\\..\\Altro\\su.txt", "Altro/su.txt"},
        {"S C:\\Corbix\\Corbix inviati\\fuori\\legato.txt", "Altro/legato.txt"},
        {"X C:\\Corbix\\Corbix inviati\\fuori\\legato2.txt", "Altro/legato2.txt"},
        {"S C:\\Invio\\ALTRO.T07", "Invio/ALTRO.T07"},
        // The envelope's name elsewhere, its temporary not the flow's copy.
        {"S C:\\Altro\\R0010115.T07", "Altro/R0010115.T07"},
        // A work file outside TEMP.
        {"L C:\\Altro\\lavoro.txt", "Altro/lavoro.txt"},
        {"S /tmp/host.txt", "Altro/host.txt"},
    };
    QByteArray lines;
    for (const auto &c : cases) {
        const QString target = onC(QString::fromLatin1(c.target));
        write(target, "originale");
        write(common::nomeTemporaneo(target), "piantato");
        lines += QByteArray(c.line).replace("/tmp/host.txt", onC(QStringLiteral("Altro/host.txt")).toUtf8()) + '\n';
    }
    // Inside the program's folders the journal is finished, and the flow's
    // copy named by the envelope, with the flow's lines, replaces the file
    // there.
    write(onC(QStringLiteral("Invio/R0010115.T07")), "vecchio");
    write(onC(QStringLiteral("Invio/R0010115.T07.corbix~")), lf(envelope("R0010115.T07") + "flusso\r\n"));
    write(onC(QStringLiteral("Corbix/Corbix inviati/20260115-9.corbix~")), "flusso\r\n");
    lines += "S C:\\Invio\\R0010115.T07\nE C:\\Corbix\\Corbix inviati\\20260115-9\n"
             + made(QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-9"),
                    inviati(QStringLiteral("20260115-9.corbix~")))
             + "R " + registered.toUtf8() + '\n';
    // A torn last line names what no run made yet.
    write(onC(QStringLiteral("Altro/strappato.corbix~")), "piantato");
    lines += "X C:\\Altro\\strappato";
    const QString forged = journal(lines);
    SistemaLavoriInterrotti();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        const QString target = onC(QString::fromLatin1(c.target));
        EXPECT_EQ(bytes(target), QByteArray("originale"));
        EXPECT_EQ(bytes(common::nomeTemporaneo(target)), QByteArray("piantato"));
    }
    EXPECT_EQ(bytes(onC(QStringLiteral("Altro/strappato.corbix~"))), QByteArray("piantato"));
    EXPECT_EQ(bytes(onC(QStringLiteral("Invio/R0010115.T07"))), lf(envelope("R0010115.T07") + "flusso\r\n"));
    EXPECT_EQ(bytes(inviati(QStringLiteral("20260115-9"))), QByteArray("flusso\r\n"));
    EXPECT_TRUE(QFile::exists(forged));
}

// A journal of another workstation is left for it, its temporaries with it,
// even those a journal of this one would finish or an orphan's rule delete.
TEST_F(Journal, AnotherWorkstationsJournalIsLeftForIt)
{
    const QString registered = QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0");
    addFlow(3, Today, 1, 1, 2, QStringLiteral("DICH01"), {}, registered);
    temporary(inviati(QStringLiteral("20260115-0")), "flusso\r\n");
    temporary(inviati(QStringLiteral("20260115-1")), "flusso\r\n");
    const QByteArray lines = "E " + registered.toUtf8() + "\nE C:\\Corbix\\Corbix inviati\\20260115-1\nR "
                             + registered.toUtf8() + '\n';
    const QString theirs = journal(lines, QStringLiteral("ALTRO-PC-rossi"));
    // A name that only begins like this workstation's is not its own.
    const QString longer = journal(lines, common::NomePostazione() + QStringLiteral("X"));
    SistemaLavoriInterrotti();
    EXPECT_EQ(folder(QStringLiteral("Corbix/Corbix inviati")),
              (QStringList{QStringLiteral("20260115-0.corbix~"), QStringLiteral("20260115-1.corbix~")}));
    EXPECT_EQ(bytes(theirs), lines);
    EXPECT_EQ(bytes(longer), lines);
    // This workstation's own journal of the same lines is finished: the
    // register proves the one name, the identity of the file it made the
    // other, whoever else noted them.
    journal(lines + made(QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-1"),
                         inviati(QStringLiteral("20260115-1.corbix~"))));
    SistemaLavoriInterrotti();
    EXPECT_EQ(folder(QStringLiteral("Corbix/Corbix inviati")),
              (QStringList{QStringLiteral("20260115-0"), QStringLiteral("20260115-1")}));
    EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")).size(), 2);
}

// Only a folder-step reservation of an earlier day goes: never a row that
// holds declarations or a medium's file, never a medium flow, never an
// answer's state, and never one whose wizard holds its lock.
TEST_F(Journal, OnlyAnEarlierDaysBareReservationThatNoWizardHoldsGoes)
{
    const QDate yesterday = Today.addDays(-1);
    addFlow(3, yesterday, 1, 1, 2, QStringLiteral("DICH01"));                                  // goes
    addFlow(3, yesterday, 2, 1, 1, QStringLiteral("DICH01"), QStringLiteral("1-14/01/2026-A\r\n2-14/01/2026-B\r\n"),
            {}, QStringLiteral("PRATICHE.001"));                                              // medium flow
    addFlow(3, yesterday, 3, 1, 2, QStringLiteral("DICH01"), QStringLiteral("3-14/01/2026-C\r\n"));  // composed
    addFlow(3, yesterday, 4, 1, 1, QStringLiteral("DICH01"));                                  // medium row
    addFlow(3, yesterday, 5, 3, 2, QStringLiteral("DICH01"));                                  // answered
    addFlow(3, yesterday, 6, 1, 2, QStringLiteral("DICH01"));                                  // held
    addFlow(3, Today, 7, 1, 2, QStringLiteral("DICH01"));                                      // today's
    {
        const auto held = BloccoRiservazione::prendi(yesterday, 6);
        ASSERT_TRUE(held);
        EXPECT_FALSE(BloccoRiservazione::prendi(yesterday, 6)) << "the lock is exclusive";
        SistemaLavoriInterrotti();
        EXPECT_EQ(registerKeys(),
                  (QStringList{QStringLiteral("3 14/01/2026 2"), QStringLiteral("3 14/01/2026 3"),
                               QStringLiteral("3 14/01/2026 4"), QStringLiteral("3 14/01/2026 5"),
                               QStringLiteral("3 14/01/2026 6"), QStringLiteral("3 15/01/2026 7")}));
        EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")), QStringList{QStringLiteral("Riservata 20260114-6.corbix~")});
    }
    EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")), QStringList());
    SistemaLavoriInterrotti();
    EXPECT_EQ(registerKeys().size(), 5);
    EXPECT_FALSE(registerKeys().contains(QStringLiteral("3 14/01/2026 6")));
}

// What another workstation can make under a name this run noted: a name the
// run noted and never made, taken by another run that committed; a work file
// the run gave up, its name then another's (a kept error log, a built flow);
// a file put under the name of one the run made. None of it is the run's,
// with or without the other's journal beside it: each stays as it is. What
// the run did make goes, and the journal with it once nothing else is left.
TEST_F(Journal, WhatAnotherMadeUnderANameTheRunNotedStays)
{
    const QString temp = QStringLiteral("C:\\Corbix\\TEMP\\");
    const QString archiveName = QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0");
    const QString archive = inviati(QStringLiteral("20260115-0"));
    const struct {
        const char *what;
        bool otherJournal;  // whether the other run's journal is still there
    } cases[] = {{"the other run's journal beside it", true}, {"no other journal", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        // The other run took the name this run noted and never made, and
        // committed; it stopped before naming its file.
        temporary(archive, "flusso di V\r\n");
        addFlow(3, Today, 8, 1, 2, QStringLiteral("DICH01"), {}, archiveName);
        const QString theirs = c.otherJournal
                                   ? journal("E " + archiveName.toUtf8() + '\n' + made(archiveName, archive + ".corbix~")
                                                 + "R " + archiveName.toUtf8() + '\n',
                                             QStringLiteral("V-rossi"))
                                   : QString();
        // This run's built flow, removed once filed, its name then taken by
        // another's kept error log; its error log, its file then replaced;
        // its work file, made and still its own.
        const QString built = onC(QStringLiteral("Corbix/TEMP/Vordama_01"));
        const QString log = onC(QStringLiteral("Corbix/TEMP/VordamaA01"));
        const QString work = onC(QStringLiteral("Corbix/TEMP/VordamaB01"));
        for (const QString &file : {built, log, work})
            write(file, "di W");
        QByteArray lines = "L " + (temp + QStringLiteral("Vordama_01")).toUtf8() + '\n'
                           + made(temp + QStringLiteral("Vordama_01"), built) + "L "
                           + (temp + QStringLiteral("VordamaA01")).toUtf8() + '\n'
                           + made(temp + QStringLiteral("VordamaA01"), log) + "L "
                           + (temp + QStringLiteral("VordamaB01")).toUtf8() + '\n'
                           + made(temp + QStringLiteral("VordamaB01"), work);
        lines += removed(temp + QStringLiteral("Vordama_01"), built);
        QFile::remove(built);
        write(built, "errori tenuti");
        // Put under the name while the run's file is still there, so that
        // the other file is surely another.
        write(log + QStringLiteral(".altro"), "di un altro");
        ASSERT_TRUE(::rename(QFile::encodeName(log + QStringLiteral(".altro")).constData(),
                             QFile::encodeName(log).constData()) == 0);
        lines += "E " + archiveName.toUtf8() + '\n';
        const QString ours = journal(lines);
        SistemaLavoriInterrotti();
        EXPECT_EQ(bytes(common::nomeTemporaneo(archive)), QByteArray("flusso di V\r\n"));
        EXPECT_EQ(bytes(built), QByteArray("errori tenuti"));
        EXPECT_EQ(bytes(log), QByteArray("di un altro"));
        EXPECT_FALSE(QFile::exists(work));
        // The journal stays while what it noted and could not prove is there.
        EXPECT_TRUE(QFile::exists(ours));
        // The other workstation's own start-up names its file.
        if (c.otherJournal) {
            EXPECT_TRUE(QFile::exists(theirs));
        }
        QFile::remove(theirs);
        common::takeFinalName(archive, false);
        QFile::remove(built);
        QFile::remove(log);
        SistemaLavoriInterrotti();
        EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")), QStringList());
        EXPECT_EQ(folder(QStringLiteral("Corbix/Corbix inviati")), QStringList{QStringLiteral("20260115-0")});
        QFile::remove(archive);
        db.execute(QStringLiteral("DELETE FROM Corbix"), {}, dao::FailOnError);
    }
}

// A journal of the previous version notes no identity: only its register's
// name is given, as the register holds it; every other file it names, a
// work file, a printed list, another workstation's journal, a temporary in
// the collection point, is left with the journal.
TEST_F(Journal, AJournalWithoutIdentitiesLeavesWhatItCannotProve)
{
    const QString registered = QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0");
    temporary(inviati(QStringLiteral("20260115-0")), "flusso\r\n");
    temporary(inviati(QStringLiteral("20260115-1")), "flusso\r\n");
    addFlow(3, Today, 1, 1, 2, QStringLiteral("DICH01"), {}, registered);
    const QString other = QStringLiteral("Giornale ALTRO-PC-rossi B.corbix~");
    for (const QString &name : {QStringLiteral("Vordama_01"), QStringLiteral("Distinta.pdf"), other})
        write(onC(QStringLiteral("Corbix/TEMP/") + name), "x");
    const QString ours = journal("L C:\\Corbix\\TEMP\\Vordama_01\nL C:\\Corbix\\TEMP\\Distinta.pdf\nL C:\\Corbix\\TEMP\\"
                                 + other.toUtf8() + "\nE " + registered.toUtf8()
                                 + "\nE C:\\Corbix\\Corbix inviati\\20260115-1\nR " + registered.toUtf8() + '\n');
    SistemaLavoriInterrotti();
    EXPECT_EQ(folder(QStringLiteral("Corbix/Corbix inviati")),
              (QStringList{QStringLiteral("20260115-0"), QStringLiteral("20260115-1.corbix~")}));
    QStringList left{QStringLiteral("Distinta.pdf"), other, QFileInfo(ours).fileName(), QStringLiteral("Vordama_01")};
    left.sort();
    EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")), left);
}

// A run removes its own work file through its journal: the note is taken
// back with the file's identity before the file goes, so that a stop in
// between still finds it the run's, and a later file under the name is not.
TEST_F(Journal, AWorkFileTheRunRemovesIsTakenBackFirst)
{
    const QString name = QStringLiteral("C:\\Corbix\\TEMP\\Vordama_01");
    const QString host = onC(QStringLiteral("Corbix/TEMP/Vordama_01"));
    write(host, "flusso");
    {
        GiornaleLavoro run;
        run.annotaLavoro(name, identity(host));
        RimuoviFileCostruiti({name, QString()}, &run);
        EXPECT_FALSE(QFile::exists(host));
        const QString journalFile = onC(QStringLiteral("Corbix/TEMP/")) + folder(QStringLiteral("Corbix/TEMP")).value(0);
        const QList<QByteArray> lines = bytes(journalFile).split('\n');
        ASSERT_EQ(lines.size(), 4);
        EXPECT_TRUE(lines[0] == "L " + name.toUtf8());
        EXPECT_TRUE(lines[1].startsWith("I ") && lines[1].endsWith(' ' + name.toUtf8()));
        // The removal's line: device, inode, size, change time, name.
        EXPECT_TRUE(lines[2].startsWith("D ") && lines[2].endsWith(' ' + name.toUtf8()));
        EXPECT_EQ(lines[2].split(' ').size(), 6);
        EXPECT_EQ(lines[3], QByteArray());
    }
    EXPECT_EQ(folder(QStringLiteral("Corbix/TEMP")), QStringList());
}
