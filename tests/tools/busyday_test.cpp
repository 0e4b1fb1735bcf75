// A broker's busy day: 5 000 declarations read, written and filed give
// exactly what they gave before the road was made faster. The expected
// outputs are the checksums of what the earlier road produced on the same
// sample folder.
#include "buildflow/buildflow.h"

#include "common/globals.h"
#include "common/settings.h"
#include "platform/drives.h"
#include "platform/workstation.h"
#include "sampledata/sampledata.h"
#include "support/tempdir.h"
#include "ui/main/composition.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QByteArray sha256(const QByteArray &bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(); }

QByteArray fileSha(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? sha256(f.readAll()) : QByteArray("<missing>");
}

// The rows of a query as the sqlite3 shell lists them: columns joined by
// "|", Null as nothing, one line each.
QByteArray rowsOf(const QString &database, const char *sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(database).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    QByteArray rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            if (c > 0)
                rows += '|';
            rows += reinterpret_cast<const char *>(sqlite3_column_text(st, c));
        }
        rows += '\n';
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

class BusyDay : public ::testing::Test {
protected:
    BusyDay()
    {
        QDir().mkpath(program());
        sampledata::createSampleProgramFolder(program(), 5000);
        QByteArray selection = "T\r\nDICH01          \r\n5000\r\n";
        for (int i = 1; i <= 5000; ++i)
            selection += "2024/03/04-" + QByteArray::number(i).rightJustified(9, '0') + "\r\n";
        selectionFile = tmp.write(QStringLiteral("selezione"), selection);
    }
    QString program() const { return tmp.file(QStringLiteral("prog")); }
    QString output() const { return tmp.file(QStringLiteral("uscita")); }

    int run(const QStringList &options)
    {
        QString out, err;
        QTextStream o(&out), e(&err);
        return buildflow::run(QStringList{program(), selectionFile, output()} + options, o, e);
    }

    testsupport::TempDir tmp;
    platform::FixedWorkstationSource workstation{QStringLiteral("pc-uff1"), QStringLiteral("rossi")};
    platform::ScopedWorkstationSource workstationGuard{workstation};
    QString selectionFile;
};

TEST_F(BusyDay, TheSearchFindsTheSameDeclarationsAndAdvancesOverEveryCandidate)
{
    platform::DriveTable drives(program(), program());
    platform::ScopedDriveTable drivesGuard(drives);
    common::CartellaProgramma = program() + u'/';
    ASSERT_TRUE(common::LeggiIni());
    struct Expected {
        const char *declarant, *sha;
    };
    for (const Expected &e : {Expected{"DICH01", "4dc8281f723f0fe240b88a593c447260ddcf9afd672868a0c1a0cc88650b682c"},
                              Expected{"DICH02", "37532bd9167bef9389b8d6134c9d19dad23ae659ce0e5d9091df021d405c75b3"}}) {
        SCOPED_TRACE(e.declarant);
        std::vector<qint64> positions;
        const auto found = uimain::CercaDichiarazioni(
            QString::fromLatin1(e.declarant), uimain::TipiRichiesti(true, true, true, true), QDate(2026, 1, 15),
            [&](qint64 position, qint64 total) {
                EXPECT_EQ(total, 5000);
                positions.push_back(position);
            });
        QByteArray listed;
        for (const auto &d : found)
            listed += (d.data.toString(Qt::ISODate) + u'|' + QString::number(d.indice) + u'|' + d.riferimento + u'|'
                       + d.tipo + u'\n')
                          .toUtf8();
        EXPECT_EQ(found.size(), 2500);
        EXPECT_EQ(sha256(listed), QByteArray(e.sha));
        // 0 first, then every candidate in turn.
        ASSERT_EQ(positions.size(), 5001u);
        for (size_t i = 0; i < positions.size(); ++i)
            ASSERT_EQ(positions[i], qint64(i));
    }
    common::resetGlobals();
}

TEST_F(BusyDay, TheFlowOfFiveThousandDeclarationsHasTheSameBytes)
{
    for (const auto &[destination, sha] :
         {std::pair{1, "131c752c1f6ce4ab90df538b2feb3e85b064c7faf6716fc8d9da3fd503ac9e74"},
          std::pair{2, "288b54b16393343d49df7ea4bb6c841fb4a646e1b8aa48d96931e9468055ddde"}}) {
        SCOPED_TRACE(destination);
        ASSERT_EQ(run({QStringLiteral("--destination"), QString::number(destination),
                       QStringLiteral("--preventive-check"), QStringLiteral("--today"), QStringLiteral("2026-01-15")}),
                  0);
        EXPECT_EQ(fileSha(output() + QStringLiteral("/flow")), QByteArray(sha));
        EXPECT_EQ(fileSha(output() + QStringLiteral("/composition")),
                  QByteArray("cee0df85a6517ea23dfbbb174c14de632f89cc0170d2aeed7fa393642385c2ab"));
        EXPECT_EQ(fileSha(output() + QStringLiteral("/log")), sha256({}));
    }
}

TEST_F(BusyDay, TheFilingLeavesTheSameRegisterAndDeclarationRows)
{
    ASSERT_EQ(run({QStringLiteral("--destination"), QStringLiteral("2"), QStringLiteral("--whole-run"),
                   QStringLiteral("--today"), QStringLiteral("2026-01-15")}),
              0);
    const QString archive = program() + QStringLiteral("/Archivio.mdb");
    EXPECT_EQ(rowsOf(archive, "SELECT Posizione, Data, Progressivo, Stato, Tipo, RifFloppy, FattoDa, OK, KO, ND "
                              "FROM Corbix"),
              QByteArray("3|2026-01-15|1|1|1||DICH01|||\n"));
    EXPECT_EQ(rowsOf(archive, "SELECT NomeFile FROM Corbix"),
              QByteArray("\\\\pc-uff1\\C\\Corbix\\Corbix inviati\\20260115-0\n"));
    EXPECT_EQ(sha256(rowsOf(archive, "SELECT CompostoDa FROM Corbix").chopped(1)),
              QByteArray("cee0df85a6517ea23dfbbb174c14de632f89cc0170d2aeed7fa393642385c2ab"));
    EXPECT_EQ(sha256(rowsOf(archive, "SELECT Indice, Data, Stato1, ultimadata FROM IndiceDoc ORDER BY Indice")),
              QByteArray("46d6a5c43184336a25b73d7050a982cf3ea54693f1fb81cc7d54f2c1f0dee134"));
    EXPECT_EQ(fileSha(program() + QStringLiteral("/Corbix/Corbix inviati/20260115-0")),
              QByteArray("288b54b16393343d49df7ea4bb6c841fb4a646e1b8aa48d96931e9468055ddde"));
}

}  // namespace
