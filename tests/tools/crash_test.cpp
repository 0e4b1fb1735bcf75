// The roads that file flows and answers, stopped dead (SIGKILL) at each of
// their steps in turn: after each stop, nothing is under a final name that
// the register does not know, no registered flow or answer lacks its file,
// no declaration is marked without its flow; the start-up's sweep leaves no
// temporary, and the next run succeeds.

#include "platform/dao/recordset.h"
#include "support/tempdir.h"

#include <QDate>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSysInfo>
#include <QThread>
#include <gtest/gtest.h>
#include <ostream>

// Texts in failure messages as they read.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace {

const QByteArray Selection = "T\r\n010101Z         \r\n3\r\n2024/03/04-000000001\r\n2024/03/04-000000003\r\n"
                             "2024/03/04-000000005\r\n";

struct Outcome {
    bool killed = false;
    int code = -1;
    QString err;
};

// A run with the crash points' variables of the environment set as given
// (none of them unless given).
Outcome runWith(const QString &program, const QStringList &arguments, const QList<QPair<QString, QString>> &variables)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("CORBIX_ARRESTO_PUNTO"));
    env.remove(QStringLiteral("CORBIX_PUNTI"));
    for (const auto &[name, value] : variables)
        env.insert(name, value);
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::CrashExit, p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError())};
}

// A run stopped dead at the given step ("file.scritto#2"), or whole.
Outcome runProcess(const QString &program, const QStringList &arguments, const QString &step = {})
{
    if (!step.isEmpty())
        return runWith(program, arguments, {{QStringLiteral("CORBIX_ARRESTO_PUNTO"), step}});
    return runWith(program, arguments, {});
}

// The steps a whole run passes, in order, each with the count of its name so
// far ("spostamento.nota#1"); the run's outcome in `whole`.
QStringList stepsPassed(const QString &program, const QStringList &arguments, const QString &trace, Outcome &whole)
{
    QFile::remove(trace);
    whole = runWith(program, arguments, {{QStringLiteral("CORBIX_PUNTI"), trace}});
    QFile f(trace);
    QStringList steps;
    QHash<QString, int> seen;
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray &line : f.readAll().split('\n'))
            if (!line.isEmpty())
                steps << QString::fromLatin1(line) + u'#' + QString::number(++seen[QString::fromLatin1(line)]);
    return steps;
}

// The names of the files of a folder, the temporaries apart.
QStringList files(const QString &folder, bool temporaries)
{
    QStringList names;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name))
        if (name.endsWith(QLatin1String(".corbix~")) == temporaries)
            names << name;
    return names;
}

class Crash : public ::testing::TestWithParam<const char *> {
protected:
    QString road() const { return QString::fromLatin1(GetParam()); }

    // A fresh sample program folder; for the fetch, with the folder flow 7
    // filed and the service's answer to it waiting on the share.
    QString prepare(int round)
    {
        const QString folder = tmp.file(road() + QString::number(round));
        EXPECT_EQ(QProcess::execute(QStringLiteral(CORBIX_SAMPLE_DATA), {folder}), 0);
        if (road() == QLatin1String("fetch")) {
            EXPECT_EQ(runProcess(QStringLiteral(CORBIX_CRASH_RUN), {folder, QStringLiteral("folder")}).code, 0);
            EXPECT_EQ(QProcess::execute(QStringLiteral(CORBIX_SAMPLE_ANSWER),
                                        {folder, QStringLiteral("2026-01-15"), QStringLiteral("7")}),
                      0);
        }
        plantOthers(folder);
        return folder;
    }
    // What others keep in TEMP beside the run: a kept error log under a
    // name the run's own files would take, a printed list, another
    // workstation's journal of a run going on elsewhere.
    static const QHash<QString, QByteArray> &others()
    {
        static const QHash<QString, QByteArray> files{
            {QStringLiteral("Vordama_01"), "errori tenuti\r\n"},
            {QStringLiteral("Distinta.pdf"), "%PDF-1.4\n"},
            {QStringLiteral("Giornale ALTRO-PC-rossi _.corbix~"),
             "L C:\\Corbix\\TEMP\\VordamaZ01\nE C:\\Corbix\\Corbix inviati\\20260114-9\n"}};
        return files;
    }
    static void plantOthers(const QString &folder)
    {
        const QHash<QString, QByteArray> &files = others();
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QFile f(folder + QStringLiteral("/Corbix/TEMP/") + it.key());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(it.value());
        }
    }
    // After the sweep, TEMP holds exactly what others keep there, byte for
    // byte: nothing of the stopped run.
    static void checkOthersOnly(const QString &folder)
    {
        const QString temp = folder + QStringLiteral("/Corbix/TEMP/");
        const QHash<QString, QByteArray> &files = others();
        QStringList expected = files.keys();
        expected.sort();
        EXPECT_EQ(QDir(temp).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name), expected);
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QFile f(temp + it.key());
            EXPECT_TRUE(f.open(QIODevice::ReadOnly) && f.readAll() == it.value()) << it.key().toStdString();
        }
    }
    // The program that runs the road, and its arguments.
    QString program() const
    {
        return road() == QLatin1String("whole-run") ? QStringLiteral(CORBIX_CRASH_BUILD_FLOW)
                                                    : QStringLiteral(CORBIX_CRASH_RUN);
    }
    QStringList arguments(const QString &folder) const
    {
        if (road() == QLatin1String("whole-run"))
            return {folder, selection, folder + QStringLiteral("/uscita"), QStringLiteral("--destination"),
                    QStringLiteral("2"), QStringLiteral("--whole-run"), QStringLiteral("--today"),
                    QStringLiteral("2026-01-15")};
        return {folder, road()};
    }
    Outcome runRoad(const QString &folder, const QString &step = {})
    {
        return runProcess(program(), arguments(folder), step);
    }

    bool flowFiled(const QString &folder)
    {
        dao::Database archive = dao::Database::open(folder + QStringLiteral("/Archivio.mdb"));
        auto rs = archive.openRecordset(QStringLiteral("SELECT COUNT(*) FROM Corbix WHERE Posizione = 3 AND "
                                                       "CompostoDa IS NOT NULL"));
        return rs->value(0).toInt() > 0;
    }
    bool answerStored(const QString &folder)
    {
        dao::Database archive = dao::Database::open(folder + QStringLiteral("/Archivio.mdb"));
        auto rs = archive.openRecordset(QStringLiteral("SELECT COUNT(*) FROM Corbix WHERE Posizione = 4"));
        return rs->value(0).toInt() > 0;
    }

    // What must hold after a stop at any instant; with swept, also that no
    // temporary is left anywhere.
    void checkInvariants(const QString &folder, bool swept)
    {
        dao::Database archive = dao::Database::open(folder + QStringLiteral("/Archivio.mdb"));
        QSet<QString> known;  // "sub-folder/name" of every registered file
        QSet<QString> onMedium;
        bool flowFiled = false, folderFlowFiled = false, answerStored = false;
        auto rs = archive.openRecordset(
            QStringLiteral("SELECT Posizione, Data, NomeFile, RifFloppy, Tipo FROM Corbix"));
        for (; !rs->eof(); rs->moveNext()) {
            const int position = rs->value(0).toInt();
            if (rs->value(2).isNull()) {
                EXPECT_EQ(position, 3);
                EXPECT_EQ(rs->value(1).toDate(), QDate(2026, 1, 15)) << "only today's reservation waits for its file";
                continue;
            }
            const QString name = rs->value(2).toString();
            const QString file = name.section(u'\\', -2, -2) + u'/' + name.section(u'\\', -1);
            known.insert(file);
            // Stopped between the commit and the naming, a file is still
            // whole under its temporary, which the sweep names.
            const auto there = [swept](const QString &path) {
                return QFile::exists(path) || (!swept && QFile::exists(path + QStringLiteral(".corbix~")));
            };
            EXPECT_TRUE(there(folder + QStringLiteral("/Corbix/") + file)) << file.toStdString();
            if (!rs->value(3).isNull()) {
                onMedium.insert(rs->value(3).toString());
                EXPECT_TRUE(there(folder + QStringLiteral("/supporto/") + rs->value(3).toString()));
            }
            flowFiled = flowFiled || position == 3;
            folderFlowFiled = folderFlowFiled || (position == 3 && rs->value(4).toInt() == 2);
            answerStored = answerStored || position == 4;
        }
        rs->close();
        for (const QString &sub : {QStringLiteral("Corbix inviati"), QStringLiteral("Risposte Pervenute")})
            for (const QString &name : files(folder + QStringLiteral("/Corbix/") + sub, false))
                EXPECT_TRUE(known.contains(sub + u'/' + name)) << "unknown to the register: " << name.toStdString();
        for (const QString &name : files(folder + QStringLiteral("/supporto"), false))
            EXPECT_TRUE(onMedium.contains(name)) << "unknown to the register: " << name.toStdString();
        if (!folderFlowFiled) {
            EXPECT_EQ(files(folder + QStringLiteral("/Uscita"), false), QStringList());
        }
        rs = archive.openRecordset(QStringLiteral("SELECT COUNT(*) FROM IndiceDoc WHERE Stato1 = 2"));
        if (rs->value(0).toInt() > 0) {
            EXPECT_TRUE(flowFiled) << "declarations marked without their flow";
        }
        rs = archive.openRecordset(QStringLiteral("PRAGMA integrity_check"));
        EXPECT_EQ(rs->value(0).toString(), QStringLiteral("ok"));
        rs->close();
        if (road() == QLatin1String("fetch")) {
            // The service's answer is there, whole, before and after its rewrite.
            const QString answer = folder + QStringLiteral("/servizio/R001/risposte/20260115-W07");
            QFile f(answer);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_TRUE(f.readAll().endsWith('\n'));
            if (!answerStored) {
                EXPECT_EQ(files(folder + QStringLiteral("/Corbix/Risposte Pervenute"), false), QStringList());
            }
        }
        if (swept) {
            for (const char *sub : {"Corbix/Corbix inviati", "Corbix/Risposte Pervenute", "Corbix/Corbix in uscita",
                                    "Uscita", "supporto", "servizio/R001/risposte"})
                EXPECT_EQ(files(folder + u'/' + QString::fromLatin1(sub), true), QStringList()) << sub;
            EXPECT_EQ(files(folder + QStringLiteral("/Corbix/TEMP"), true),
                      QStringList{QStringLiteral("Giornale ALTRO-PC-rossi _.corbix~")});
        }
    }

    testsupport::TempDir tmp;
    QString selection = tmp.write(QStringLiteral("selezione"), Selection);
};

}  // namespace

TEST_P(Crash, StoppedAtEveryStepItLeavesNothingHalfDoneAndTheNextRunSucceeds)
{
    // The steps, learnt from a whole run of the road.
    const QString whole = prepare(0);
    Outcome ran;
    const QStringList steps = stepsPassed(program(), arguments(whole), tmp.file(QStringLiteral("punti")), ran);
    EXPECT_EQ(ran.code, 0) << ran.err.toStdString();
    checkInvariants(whole, true);
    EXPECT_GT(steps.size(), 5) << "every road has steps to stop at";
    // Only the folder flow carries the envelope.
    EXPECT_EQ(steps.contains(QStringLiteral("busta.temporaneo#1")), road() == QLatin1String("folder"))
        << "the envelope's rewrite stops between its temporary's creation and its rename";
    for (qsizetype i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(steps[i].toStdString());
        const QString folder = prepare(int(i) + 1);
        const Outcome stopped = runRoad(folder, steps[i]);
        ASSERT_TRUE(stopped.killed) << stopped.err.toStdString();
        checkInvariants(folder, false);
        ASSERT_EQ(runProcess(QStringLiteral(CORBIX_CRASH_RUN), {folder, QStringLiteral("sweep")}).code, 0);
        checkInvariants(folder, true);
        // Nor is anything of the run left in TEMP: its built flow, error log
        // and work file go with a run stopped dead; what others keep there
        // stays.
        checkOthersOnly(folder);
        const bool stored = road() == QLatin1String("fetch") && answerStored(folder);
        const bool filed = road() != QLatin1String("fetch") && flowFiled(folder);
        const Outcome next = runRoad(folder);
        EXPECT_FALSE(next.killed);
        if (stored)
            // Stopped after its commit: the answer is stored, and not twice.
            EXPECT_TRUE(next.err.contains(QStringLiteral("La risposta risulta già prelevata.")))
                << next.err.toStdString();
        else if (filed)
            // Likewise the flow: its declarations go into no other.
            EXPECT_TRUE(next.err.contains(QStringLiteral("sono state inserite in un altro corbex")))
                << next.err.toStdString();
        else
            EXPECT_EQ(next.code, 0) << next.err.toStdString();
        checkInvariants(folder, true);
    }
}

// The road stopped dead at instants drawn over the time a whole run takes,
// wherever they fall (inside a write, between a file's creation and its
// note): start-up leaves nothing half done and nothing of the run in TEMP.
TEST_P(Crash, StoppedAtRandomInstantsItLeavesNothingOfTheRunOnceStartUpHasRun)
{
    const QString whole = prepare(0);
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(runRoad(whole).code, 0);
    const qint64 span = timer.elapsed();
    QRandomGenerator instants(0x5eed + quint32(road().size()));
    for (int i = 1; i <= 50; ++i) {
        const qint64 instant = qint64(instants.bounded(double(span) * 1.1));
        SCOPED_TRACE("stopped after " + std::to_string(instant) + " ms");
        const QString folder = prepare(i);
        QProcess p;
        p.start(program(), arguments(folder));
        ASSERT_TRUE(p.waitForStarted());
        QThread::msleep(quint64(instant));
        p.kill();
        ASSERT_TRUE(p.waitForFinished(30000));
        checkInvariants(folder, false);
        ASSERT_EQ(runProcess(QStringLiteral(CORBIX_CRASH_RUN), {folder, QStringLiteral("sweep")}).code, 0);
        checkInvariants(folder, true);
        checkOthersOnly(folder);
        QDir(folder).removeRecursively();
    }
}

INSTANTIATE_TEST_SUITE_P(Roads, Crash,
                         ::testing::Values("whole-run", "folder", "medium", "fetch"),
                         [](const auto &caso) {
                             QString name = QString::fromLatin1(caso.param);
                             name.remove(u'-');
                             return name.toStdString();
                         });

namespace {

// The steps a road of the crash-run program passes, learnt from a whole run.
QStringList namedSteps(const QString &folder, const QString &road, testsupport::TempDir &tmp)
{
    Outcome whole;
    const QStringList steps =
        stepsPassed(QStringLiteral(CORBIX_CRASH_RUN), {folder, road}, tmp.file(QStringLiteral("punti-") + road), whole);
    EXPECT_EQ(whole.code, 0) << whole.err.toStdString();
    return steps;
}

Outcome runStoppedAt(const QString &folder, const QString &road, const QString &step)
{
    return runProcess(QStringLiteral(CORBIX_CRASH_RUN), {folder, road}, step);
}

QString storedCentrale(const QString &folder)
{
    dao::Database archive = dao::Database::open(folder + QStringLiteral("/Archivio.mdb"));
    auto rs = archive.openRecordset(QStringLiteral("SELECT Centrale FROM Paramflu"));
    return rs->value(0).toString();
}

// The folders and the register agree: the collection point the archive
// holds is the one folder there is, and every file the register names is
// under it and there. Gives the folder's name ("Corbix" or "Nuovo").
QString checkMoveAgrees(const QString &folder)
{
    const QString centrale = storedCentrale(folder);
    const QString name = centrale.section(u'\\', -2, -2);
    const QString other = name == QLatin1String("Corbix") ? QStringLiteral("Nuovo") : QStringLiteral("Corbix");
    EXPECT_TRUE(QFileInfo(folder + u'/' + name + QStringLiteral("/Corbix inviati")).isDir()) << name.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder + u'/' + other)) << other.toStdString();
    dao::Database archive = dao::Database::open(folder + QStringLiteral("/Archivio.mdb"));
    auto rs = archive.openRecordset(QStringLiteral("SELECT NomeFile FROM Corbix WHERE NomeFile IS NOT NULL"));
    int named = 0;
    for (; !rs->eof(); rs->moveNext(), ++named) {
        const QString file = rs->value(0).toString();
        EXPECT_TRUE(file.startsWith(centrale)) << file.toStdString();
        EXPECT_TRUE(QFile::exists(folder + u'/' + name + u'/' + file.mid(centrale.size()).replace(u'\\', u'/')))
            << file.toStdString();
    }
    EXPECT_GT(named, 0);
    return name;
}

QStringList moveNotes(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.spostamento.corbix~")}, QDir::Files | QDir::Hidden);
}

class CrashNamed : public ::testing::Test {
protected:
    // A sample program folder with the folder flow 7 filed.
    QString prepare(const QString &name)
    {
        const QString folder = tmp.file(name);
        EXPECT_EQ(QProcess::execute(QStringLiteral(CORBIX_SAMPLE_DATA), {folder}), 0);
        EXPECT_EQ(runProcess(QStringLiteral(CORBIX_CRASH_RUN), {folder, QStringLiteral("folder")}).code, 0);
        return folder;
    }
    testsupport::TempDir tmp;
};

}  // namespace

// The move of the collection point stopped dead at each of its steps: the
// folders and the register agree once start-up has run, the move's note is
// gone, and the move made again succeeds.
TEST_F(CrashNamed, TheMoveStoppedAtEveryStepLeavesFoldersAndRegisterAgreeing)
{
    const QStringList steps = namedSteps(prepare(QStringLiteral("whole")), QStringLiteral("move"), tmp);
    EXPECT_EQ(steps, (QStringList{QStringLiteral("spostamento.nota#1"), QStringLiteral("spostamento.rinominata#1"),
                                  QStringLiteral("spostamento.registrata#1")}));
    QStringList ends;
    for (const QString &step : steps) {
        SCOPED_TRACE(step.toStdString());
        const QString folder = prepare(step);
        ASSERT_TRUE(runStoppedAt(folder, QStringLiteral("move"), step).killed);
        ASSERT_EQ(runProcess(QStringLiteral(CORBIX_CRASH_RUN), {folder, QStringLiteral("sweep")}).code, 0);
        ends << checkMoveAgrees(folder);
        EXPECT_EQ(moveNotes(folder), QStringList());
        const Outcome again = runProcess(QStringLiteral(CORBIX_CRASH_RUN), {folder, QStringLiteral("move")});
        EXPECT_EQ(again.code, 0) << again.err.toStdString();
        EXPECT_EQ(checkMoveAgrees(folder), QStringLiteral("Nuovo"));
        EXPECT_EQ(moveNotes(folder), QStringList());
        // The next composition, of the same declarations made free again,
        // files its flow under the new path.
        dao::Database::open(folder + QStringLiteral("/Archivio.mdb"))
            .execute(QStringLiteral("UPDATE IndiceDoc SET Stato1 = 0"), {}, dao::FailOnError);
        const Outcome next = runProcess(QStringLiteral(CORBIX_CRASH_RUN), {folder, QStringLiteral("medium")});
        EXPECT_EQ(next.code, 0) << next.err.toStdString();
        checkMoveAgrees(folder);
    }
    // Stopped before the rename nothing moved; after it, start-up finished it.
    EXPECT_EQ(ends, (QStringList{QStringLiteral("Corbix"), QStringLiteral("Nuovo"), QStringLiteral("Nuovo")}));
}

// The start-up sweep stopped dead at each of its steps, over what a filing
// stopped after its commit left, a journal lost with its temporary, and a
// reservation of an earlier day: run again, it finishes everything.
TEST_F(CrashNamed, TheSweepStoppedAtEveryStepFinishesWhenRunAgain)
{
    const auto leftovers = [this](const QString &name) {
        const QString folder = tmp.file(name);
        EXPECT_EQ(QProcess::execute(QStringLiteral(CORBIX_SAMPLE_DATA), {folder}), 0);
        // The folder flow stopped just after its commit: every name is still
        // to be given.
        const Outcome stopped = runStoppedAt(folder, QStringLiteral("folder"), QStringLiteral("composizione.registrata"));
        EXPECT_TRUE(stopped.killed);
        QFile orphan(folder + QStringLiteral("/Corbix/Risposte Pervenute/20260114-3-W.corbix~"));
        EXPECT_TRUE(orphan.open(QIODevice::WriteOnly));
        dao::Database archive = dao::Database::open(folder + QStringLiteral("/Archivio.mdb"));
        archive.execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, CompostoDa, "
                                       "Stato, Tipo, RifFloppy) VALUES (3, '2026-01-14', 9, NULL, NULL, 1, 2, NULL)"),
                        {}, dao::FailOnError);
        return folder;
    };
    const QStringList steps = namedSteps(leftovers(QStringLiteral("whole")), QStringLiteral("sweep"), tmp);
    for (const char *step : {"pulizia.temporaneo#1", "pulizia.giornale#1", "pulizia.orfano#1",
                             "pulizia.riservazione#1"})
        EXPECT_TRUE(steps.contains(QString::fromLatin1(step))) << step;
    for (const QString &step : steps) {
        SCOPED_TRACE(step.toStdString());
        const QString folder = leftovers(step);
        ASSERT_TRUE(runStoppedAt(folder, QStringLiteral("sweep"), step).killed);
        ASSERT_EQ(runProcess(QStringLiteral(CORBIX_CRASH_RUN), {folder, QStringLiteral("sweep")}).code, 0);
        for (const char *sub : {"Corbix/Corbix inviati", "Corbix/Risposte Pervenute", "Uscita", "Corbix/TEMP"})
            EXPECT_EQ(files(folder + u'/' + QString::fromLatin1(sub), true), QStringList()) << sub;
        EXPECT_EQ(files(folder + QStringLiteral("/Uscita"), false).size(), 1);
        dao::Database archive = dao::Database::open(folder + QStringLiteral("/Archivio.mdb"));
        auto rs = archive.openRecordset(QStringLiteral("SELECT Data, Progressivo, NomeFile FROM Corbix ORDER BY Data"));
        ASSERT_FALSE(rs->eof());
        EXPECT_EQ(rs->value(0).toDate(), QDate(2026, 1, 15)) << "the earlier day's reservation is gone";
        EXPECT_EQ(rs->value(1).toInt(), 7);
        EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/Corbix/Corbix inviati/")
                                  + rs->value(2).toString().section(u'\\', -1)));
        rs->moveNext();
        EXPECT_TRUE(rs->eof());
    }
}

// The medium taken out between the filing's commit and the naming of its
// file: the naming's failure is told, the run's journal stays for the
// temporary out of reach, and with the medium back the next start-up gives
// the file its name.
TEST(CrashMedium, TakenOutBeforeItsFileIsNamedItIsToldAndTheNextStartUpNamesItOnceItIsBack)
{
    testsupport::TempDir tmp;
    const QString folder = tmp.file(QStringLiteral("programma"));
    ASSERT_EQ(QProcess::execute(QStringLiteral(CORBIX_SAMPLE_DATA), {folder}), 0);
    const QString medium = folder + QStringLiteral("/supporto");
    const QString away = tmp.file(QStringLiteral("fuori"));

    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("CORBIX_ARRESTO_PUNTO"));
    env.remove(QStringLiteral("CORBIX_PUNTI"));
    env.insert(QStringLiteral("CORBIX_PAUSA_PUNTO"), QStringLiteral("composizione.registrata"));
    run.setProcessEnvironment(env);
    run.start(QStringLiteral(CORBIX_CRASH_RUN), {folder, QStringLiteral("medium")});
    ASSERT_TRUE(run.waitForStarted());
    QByteArray said;
    while (!said.contains('\n') && run.waitForReadyRead(30000))
        said += run.readAllStandardOutput();
    ASSERT_EQ(said, QByteArray("composizione.registrata\n"));
    EXPECT_EQ(files(medium, true), QStringList{QStringLiteral("PRATICHE.001.corbix~")});
    ASSERT_TRUE(QDir().rename(medium, away));
    run.write("\n");
    run.closeWriteChannel();
    ASSERT_TRUE(run.waitForFinished(30000));
    const QString err = QString::fromLocal8Bit(run.readAllStandardError());
    EXPECT_EQ(run.exitCode(), 0) << err.toStdString();
    EXPECT_EQ(err, QStringLiteral("CORBIX: Errore di Run-time 68\r\nPeriferica non disponibile.\n"));
    EXPECT_EQ(files(folder + QStringLiteral("/Corbix/TEMP"), true).size(), 1) << "the run's journal stays";

    // Back in its drive, the medium gets its file's name at the next start.
    ASSERT_TRUE(QDir().rename(away, medium));
    ASSERT_EQ(runProcess(QStringLiteral(CORBIX_CRASH_RUN), {folder, QStringLiteral("sweep")}).code, 0);
    EXPECT_EQ(files(medium, false), QStringList{QStringLiteral("PRATICHE.001")});
    EXPECT_EQ(files(medium, true), QStringList());
    EXPECT_EQ(files(folder + QStringLiteral("/Corbix/TEMP"), true), QStringList());
    dao::Database archive = dao::Database::open(folder + QStringLiteral("/Archivio.mdb"));
    auto rs = archive.openRecordset(QStringLiteral("SELECT RifFloppy FROM Corbix"));
    EXPECT_EQ(rs->value(0).toString(), QStringLiteral("PRATICHE.001"));
}

namespace {

// A run of the crash-run program on another workstation: another host name,
// in a namespace of its own, the collection point reached through the share
// of this workstation's drive C: that the stored options name.
Outcome runOnV(const QString &folder, const QStringList &arguments, const QString &step = {})
{
    QList<QPair<QString, QString>> variables;
    if (!step.isEmpty())
        variables.append({QStringLiteral("CORBIX_ARRESTO_PUNTO"), step});
    return runWith(QStringLiteral("unshare"),
                   QStringList{QStringLiteral("--user"), QStringLiteral("--map-root-user"), QStringLiteral("--uts"),
                               QStringLiteral("sh"), QStringLiteral("-c"),
                               QStringLiteral("hostname V && exec \"$0\" \"$@\""), QStringLiteral(CORBIX_CRASH_RUN),
                               folder}
                       + arguments,
                   variables);
}

// The folders' files, each with its bytes, below the program folder.
QHash<QString, QByteArray> snapshot(const QString &folder)
{
    QHash<QString, QByteArray> all;
    for (const char *sub : {"Corbix/Corbix inviati", "Corbix/TEMP", "Uscita"}) {
        const QString dir = folder + u'/' + QString::fromLatin1(sub);
        for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            QFile f(dir + u'/' + name);
            if (f.open(QIODevice::ReadOnly))
                all.insert(QString::fromLatin1(sub) + u'/' + name, f.readAll());
        }
    }
    return all;
}

}  // namespace

// Workstation W stopped after its journal noted the archive name it was to
// take and before it made the file; workstation V's flow 8 then took that
// free name and committed, and V stopped before naming its files. Whichever
// start-up runs first, W's removes only what W made: V's flow keeps its
// archive copy and takes its names at V's start-up, its declarations stay
// with it, and nothing of either run is left in TEMP.
TEST(CrashTwoWorkstations, WsStartUpRemovesOnlyWhatWMadeAndVsCommittedFlowTakesItsNames)
{
    for (const bool wFirst : {true, false}) {
        SCOPED_TRACE(wFirst ? "W's start-up first" : "V's start-up first");
        testsupport::TempDir tmp;
        const QString folder = tmp.file(QStringLiteral("programma"));
        ASSERT_EQ(QProcess::execute(QStringLiteral(CORBIX_SAMPLE_DATA), {folder}), 0);
        // V reaches this workstation's drive C: by its share.
        const QString share = folder + QStringLiteral("/dosdevices/unc/") + QSysInfo::machineHostName();
        ASSERT_TRUE(QDir().mkpath(share));
        ASSERT_TRUE(QFile::link(folder, share + QStringLiteral("/C")));

        ASSERT_TRUE(runStoppedAt(folder, QStringLiteral("folder"), QStringLiteral("giornale.riga#9")).killed);
        const QStringList wJournals = QDir(folder + QStringLiteral("/Corbix/TEMP")).entryList({QStringLiteral("Giornale *")});
        ASSERT_EQ(wJournals.size(), 1);
        QFile wJournal(folder + QStringLiteral("/Corbix/TEMP/") + wJournals[0]);
        ASSERT_TRUE(wJournal.open(QIODevice::ReadOnly));
        const QByteArray wLines = wJournal.readAll();
        ASSERT_TRUE(wLines.endsWith("Corbix inviati\\20260115-0\n") && wLines.contains("\nE "))
            << "W stops once it has noted the archive name and before it makes it";
        EXPECT_EQ(files(folder + QStringLiteral("/Corbix/Corbix inviati"), true), QStringList());
        const QHash<QString, QByteArray> wLeft = snapshot(folder);

        const Outcome v = runOnV(folder, {QStringLiteral("folder")}, QStringLiteral("composizione.registrata#1"));
        ASSERT_TRUE(v.killed) << v.err.toStdString();
        EXPECT_EQ(files(folder + QStringLiteral("/Corbix/Corbix inviati"), true),
                  QStringList{QStringLiteral("20260115-0.corbix~")});
        const QHash<QString, QByteArray> beforeSweeps = snapshot(folder);
        const QByteArray vArchive = beforeSweeps.value(QStringLiteral("Corbix/Corbix inviati/20260115-0.corbix~"));
        const QByteArray vCopy = beforeSweeps.value(QStringLiteral("Uscita/R0010115.T08.corbix~"));
        ASSERT_FALSE(vArchive.isEmpty());
        ASSERT_FALSE(vCopy.isEmpty());

        const auto wSweep = [&] {
            ASSERT_EQ(runProcess(QStringLiteral(CORBIX_CRASH_RUN), {folder, QStringLiteral("sweep")}).code, 0);
        };
        const auto vSweep = [&] { ASSERT_EQ(runOnV(folder, {QStringLiteral("sweep")}).code, 0); };
        if (wFirst) {
            wSweep();
            // Every file of V's is there as V left it; W's are gone.
            const QHash<QString, QByteArray> after = snapshot(folder);
            // W's journal stays while a file stands under the name it noted
            // and never made.
            for (auto it = beforeSweeps.cbegin(); it != beforeSweeps.cend(); ++it) {
                if (it.key().endsWith(wJournals[0]))
                    EXPECT_TRUE(after.contains(it.key()));
                else if (wLeft.contains(it.key()))
                    EXPECT_FALSE(after.contains(it.key())) << "W's own " << it.key().toStdString();
                else
                    EXPECT_EQ(after.value(it.key()), it.value()) << "V's " << it.key().toStdString();
            }
            vSweep();
            // Its next start-up finds the name given, and the journal goes.
            wSweep();
        } else {
            vSweep();
            wSweep();
        }
        // V's flow 8 has its archive copy and its destination copy under
        // their names, and its declarations.
        dao::Database archive = dao::Database::open(folder + QStringLiteral("/Archivio.mdb"));
        auto rs = archive.openRecordset(
            QStringLiteral("SELECT NomeFile FROM Corbix WHERE Posizione = 3 AND Progressivo = 8"));
        ASSERT_FALSE(rs->eof());
        EXPECT_TRUE(rs->value(0).toString().endsWith(QStringLiteral("Corbix inviati\\20260115-0")));
        rs->close();
        QFile named(folder + QStringLiteral("/Corbix/Corbix inviati/20260115-0"));
        ASSERT_TRUE(named.open(QIODevice::ReadOnly));
        EXPECT_EQ(named.readAll(), vArchive);
        QFile copy(folder + QStringLiteral("/Uscita/R0010115.T08"));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), vCopy);
        rs = archive.openRecordset(QStringLiteral("SELECT COUNT(*) FROM IndiceDoc WHERE Stato1 = 2"));
        EXPECT_EQ(rs->value(0).toInt(), 3);
        rs->close();
        archive.close();
        for (const char *sub : {"Corbix/Corbix inviati", "Uscita"})
            EXPECT_EQ(files(folder + u'/' + QString::fromLatin1(sub), true), QStringList()) << sub;
        EXPECT_EQ(files(folder + QStringLiteral("/Uscita"), false), QStringList{QStringLiteral("R0010115.T08")});
        EXPECT_EQ(QDir(folder + QStringLiteral("/Corbix/TEMP")).entryList(QDir::Files | QDir::Hidden | QDir::System),
                  QStringList());
    }
}
