// A folder-step reservation held by a wizard of another process across
// midnight: the start-up sweep of the next day leaves it while the wizard
// holds it, and removes it once the wizard is gone.

#include "platform/dao/recordset.h"
#include "support/tempdir.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

int run(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral(CORBIX_CRASH_RUN), arguments);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// The register's rows as "Data Progressivo NomeFile".
QStringList rows(const QString &folder)
{
    dao::Database archive = dao::Database::open(folder + QStringLiteral("/Archivio.mdb"));
    auto rs = archive.openRecordset(
        QStringLiteral("SELECT Data, Progressivo, IFNULL(NomeFile, '<null>') FROM Corbix ORDER BY Data, Progressivo"));
    QStringList out;
    for (; !rs->eof(); rs->moveNext())
        out << rs->value(0).toDate().toString(Qt::ISODate) + u' ' + rs->value(1).toString() + u' '
                   + rs->value(2).toString();
    return out;
}

}  // namespace

TEST(Reservation, AWizardOpenAcrossMidnightKeepsItsRowUntilItEnds)
{
    testsupport::TempDir tmp;
    const QString folder = tmp.file(QStringLiteral("programma"));
    ASSERT_EQ(QProcess::execute(QStringLiteral(CORBIX_SAMPLE_DATA), {folder}), 0);
    QProcess wizard;
    wizard.start(QStringLiteral(CORBIX_CRASH_RUN),
                 {folder, QStringLiteral("reserve"), QStringLiteral("2026-01-15T23:59:50")});
    ASSERT_TRUE(wizard.waitForReadyRead(30000));
    ASSERT_EQ(wizard.readLine().trimmed(), QByteArray("riservata"));
    const QStringList reserved{QStringLiteral("2026-01-15 7 <null>")};
    ASSERT_EQ(rows(folder), reserved);

    // Start-up on another workstation's process, after midnight.
    const QStringList sweep = {folder, QStringLiteral("sweep"), QStringLiteral("2026-01-16T00:00:10")};
    ASSERT_EQ(run(sweep), 0);
    EXPECT_EQ(rows(folder), reserved);
    EXPECT_EQ(QDir(folder + QStringLiteral("/Corbix/TEMP")).entryList(QDir::Files),
              QStringList{QStringLiteral("Riservata 20260115-7.corbix~")});

    // The wizard stopped dead: its lock ends with it, its file stays.
    wizard.kill();
    wizard.waitForFinished();
    ASSERT_EQ(run(sweep), 0);
    EXPECT_EQ(rows(folder), QStringList());
    EXPECT_EQ(QDir(folder + QStringLiteral("/Corbix/TEMP")).entryList(QDir::Files), QStringList());
}
