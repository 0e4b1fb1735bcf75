// The roads that file flows and answers, stopped dead (SIGKILL) at each of
// their steps in turn: after each stop, nothing is under a final name that
// the register does not know, no registered flow or answer lacks its file,
// no declaration is marked without its flow; the start-up's sweep leaves no
// temporary, and the next run succeeds.

#include "platform/dao/recordset.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
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

Outcome runProcess(const QString &program, const QStringList &arguments, int stopAt = 0)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("CORBIX_ARRESTO"));
    if (stopAt > 0)
        env.insert(QStringLiteral("CORBIX_ARRESTO"), QString::number(stopAt));
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::CrashExit, p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError())};
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
        return folder;
    }
    Outcome runRoad(const QString &folder, int stopAt = 0)
    {
        if (road() == QLatin1String("whole-run"))
            return runProcess(QStringLiteral(CORBIX_BUILD_FLOW),
                              {folder, selection, folder + QStringLiteral("/uscita"), QStringLiteral("--destination"),
                               QStringLiteral("2"), QStringLiteral("--whole-run"), QStringLiteral("--today"),
                               QStringLiteral("2026-01-15")},
                              stopAt);
        return runProcess(QStringLiteral(CORBIX_CRASH_RUN), {folder, road()}, stopAt);
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
            EXPECT_EQ(files(folder + QStringLiteral("/Corbix/Corbix in uscita"), false), QStringList());
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
                                    "Corbix/TEMP", "supporto", "servizio/R001/risposte"})
                EXPECT_EQ(files(folder + u'/' + QString::fromLatin1(sub), true), QStringList()) << sub;
        }
    }

    testsupport::TempDir tmp;
    QString selection = tmp.write(QStringLiteral("selezione"), Selection);
};

}  // namespace

TEST_P(Crash, StoppedAtEveryStepItLeavesNothingHalfDoneAndTheNextRunSucceeds)
{
    int step = 1;
    for (;; ++step) {
        ASSERT_LT(step, 40) << "the road never ends";
        SCOPED_TRACE(step);
        const QString folder = prepare(step);
        const Outcome stopped = runRoad(folder, step);
        if (!stopped.killed) {
            // Past its last step: the road ran whole.
            EXPECT_EQ(stopped.code, 0) << stopped.err.toStdString();
            checkInvariants(folder, true);
            break;
        }
        checkInvariants(folder, false);
        ASSERT_EQ(runProcess(QStringLiteral(CORBIX_CRASH_RUN), {folder, QStringLiteral("sweep")}).code, 0);
        checkInvariants(folder, true);
        const bool stored = road() == QLatin1String("fetch") && answerStored(folder);
        const Outcome next = runRoad(folder);
        EXPECT_FALSE(next.killed);
        if (stored)
            // Stopped after its commit: the answer is stored, and not twice.
            EXPECT_TRUE(next.err.contains(QStringLiteral("La risposta risulta già prelevata.")))
                << next.err.toStdString();
        else
            EXPECT_EQ(next.code, 0) << next.err.toStdString();
        checkInvariants(folder, true);
    }
    EXPECT_GT(step, 5) << "every road has steps to stop at";
}

INSTANTIATE_TEST_SUITE_P(Roads, Crash,
                         ::testing::Values("whole-run", "folder", "medium", "fetch"),
                         [](const auto &info) {
                             QString name = QString::fromLatin1(info.param);
                             name.remove(u'-');
                             return name.toStdString();
                         });
