// The service stand-in run as the program it is, on a flow of the sample
// register: an answer whose lines its header cannot count is refused.
#include "sampledata/sampledata.h"

#include "platform/dao/database.h"
#include "support/tempdir.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Esecuzione {
    int exitCode = -1;
    QString out, err;
};

class SampleAnswer : public ::testing::Test {
protected:
    SampleAnswer()
    {
        QString out, err;
        QTextStream o(&out), e(&err);
        made_ = sampledata::run({folder_}, o, e) == 0;
    }

    // Flow 7 of 15 January 2026 in the register, sent by the first sample
    // declarant: its one declaration (the first of the sample) listed
    // `declarations` times, every one accepted, so that its answer has as
    // many outcome records.
    void fileFlow(int declarations)
    {
        QFile flow(folder_ + QStringLiteral("/flusso.T07"));
        ASSERT_TRUE(flow.open(QIODevice::WriteOnly));
        // The message code in columns 2-9, the reference in 15-20.
        flow.write("TC1           " + sampledata::reference(1).left(6).toLatin1() + "00\r\n");
        flow.close();
        const QString line = QStringLiteral("1-04/03/2024-") + sampledata::reference(1) + QStringLiteral("\r\n");
        dao::Database archive = dao::Database::open(folder_ + QStringLiteral("/Archivio.mdb"));
        archive.execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, CompostoDa, Stato, "
                                       "Tipo, FattoDa) VALUES (3, ?, 7, ?, ?, 0, 2, ?)"),
                        {QDate(2026, 1, 15), QStringLiteral("C:\\flusso.T07"), line.repeated(declarations),
                         sampledata::Dichiarante1},
                        dao::FailOnError);
    }

    Esecuzione answer()
    {
        QProcess p;
        p.start(QStringLiteral(CORBIX_SAMPLE_ANSWER),
                {folder_, QStringLiteral("2026-01-15"), QStringLiteral("7"), QStringLiteral("--refuse"),
                 QStringLiteral("none")});
        p.waitForFinished(-1);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    QString answerFile() const { return folder_ + QStringLiteral("/servizio/R001/risposte/20260115-W07"); }

    testsupport::TempDir dir_;
    const QString folder_ = dir_.file(QStringLiteral("programma"));
    bool made_ = false;
};

// Four lines before the outcomes: the header, a blank line, the date and the
// flow's number.
TEST_F(SampleAnswer, AnAnswerOfAsManyLinesAsTheHeaderCountsIsWritten)
{
    ASSERT_TRUE(made_);
    fileFlow(99999 - 3);
    const Esecuzione run = answer();
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err.toStdString(), "");
    QFile f(answerFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes.count("\r\n"), 99999);
    EXPECT_EQ(bytes.mid(70, 7), QByteArray("99999\r\n")) << "columns 71-75 of the header";
}

TEST_F(SampleAnswer, AnAnswerOfMoreLinesThanTheHeaderCanCountIsRefusedAndNothingIsWritten)
{
    ASSERT_TRUE(made_);
    fileFlow(99999 - 3 + 1);
    const Esecuzione run = answer();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out.toStdString(), "");
    EXPECT_EQ(run.err.toStdString(), "Il corbex 7 del 15/01/2026 avrebbe una risposta di 100000 righe: l'intestazione "
                                     "ne conta al massimo 99999 nelle sue cinque cifre. Nessuna risposta è stata "
                                     "scritta.\n");
    EXPECT_FALSE(QFile::exists(answerFile()));
    EXPECT_FALSE(QFileInfo::exists(folder_ + QStringLiteral("/servizio/R001/risposte")));
}

}  // namespace
