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
#include "support/doubles/fixedworkstationsource.h"
#include "support/tempdir.h"
#include "ui/main/composition.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>

namespace {

// Checksums as plain strings, so that a mismatch is printed readably.
std::string sha256(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
}

std::string fileSha(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? sha256(f.readAll()) : std::string("<missing>");
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
        QByteArray selection = "T\r\n010101Z         \r\n5000\r\n";
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
        const char *declarant, *sha, *selectionSha;
    };
    for (const Expected &e : {Expected{"010101Z", "33821479427f8bbd67165c09001cff8cdd46eecbf062d40024566c19ad73869b",
                                       "736d69ef0fe05324882363d13d2219c599a19e8426d0a6015b456053f1de3784"},
                              Expected{"030201H", "d8526236fb34785a64b624e472c53ebda38f40ef8303934f02fa5c64e9eac109",
                                       "fe45da5bb3995e7751d804b407d91f7c3ec44fb9cab217b1d7a73f53171ff548"}}) {
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
        EXPECT_EQ(sha256(listed), e.sha);
        // The selection text of the wizard with every third declaration left unticked.
        QString ticks;
        for (qsizetype i = 0; i < found.size(); ++i)
            ticks += i % 3 == 2 ? u'0' : u'1';
        EXPECT_EQ(sha256(uimain::ElencoSelezionate(QStringLiteral("T"), QString::fromLatin1(e.declarant), found, ticks)
                             .toUtf8()),
                  e.selectionSha);
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
         {std::pair{1, "0d9dc97f3559d5a8ecd7f301c9f3e08c845ce0dbbc0ed87fde709e4b0e78c874"},
          std::pair{2, "b92f29693f3542d13041267e453b83e7dc8d6ab7cf287763b0049f6c8722a948"}}) {
        SCOPED_TRACE(destination);
        ASSERT_EQ(run({QStringLiteral("--destination"), QString::number(destination),
                       QStringLiteral("--preventive-check"), QStringLiteral("--today"), QStringLiteral("2026-01-15")}),
                  0);
        EXPECT_EQ(fileSha(output() + QStringLiteral("/flow")), sha);
        EXPECT_EQ(fileSha(output() + QStringLiteral("/composition")),
                  "1cd784132cb22ff37e4f2b8f2b1c7ce78e761de7f32e5348c3cd1d419813e07a");
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
              QByteArray("3|2026-01-15|1|1|1||010101Z|||\n"));
    EXPECT_EQ(rowsOf(archive, "SELECT NomeFile FROM Corbix"),
              QByteArray("\\\\pc-uff1\\C\\Corbix\\Corbix inviati\\20260115-0\n"));
    EXPECT_EQ(sha256(rowsOf(archive, "SELECT CompostoDa FROM Corbix").chopped(1)),
              "1cd784132cb22ff37e4f2b8f2b1c7ce78e761de7f32e5348c3cd1d419813e07a");
    EXPECT_EQ(sha256(rowsOf(archive, "SELECT Indice, Data, Stato1, ultimadata FROM IndiceDoc ORDER BY Indice")),
              "46d6a5c43184336a25b73d7050a982cf3ea54693f1fb81cc7d54f2c1f0dee134");
    EXPECT_EQ(fileSha(program() + QStringLiteral("/Corbix/Corbix inviati/20260115-0")),
              "b92f29693f3542d13041267e453b83e7dc8d6ab7cf287763b0049f6c8722a948");
}

}  // namespace
