#include "sampledata/sampledata.h"

#include "platform/dao/recordset.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int runTool(const QStringList &arguments, QString *out, QString *err)
{
    QTextStream o(out), e(err);
    const int rc = sampledata::run(arguments, o, e);
    o.flush();
    e.flush();
    return rc;
}

QString single(dao::Database &db, const QString &sql, const QVariantList &params = {})
{
    auto rs = db.openRecordset(sql, params, dao::RecordsetType::Snapshot);
    return rs->eof() ? QString() : rs->value(0).toString();
}

TEST(SampleTool, SecondRunRefusesAndChangesNothing)
{
    testsupport::TempDir dir;
    const QString folder = dir.file(QStringLiteral("dati"));
    QString out, err;
    ASSERT_EQ(runTool({folder}, &out, &err), 0) << err.toStdString();
    const QString archive = QDir(folder).filePath(QStringLiteral("Archivio.mdb"));
    const QString program = QDir(folder).filePath(QStringLiteral("Corbix.mdb"));
    EXPECT_EQ(out, QStringLiteral("Creati '") + archive + QStringLiteral("' e '") + program + QStringLiteral("'.\n"));
    EXPECT_TRUE(err.isEmpty());
    const QByteArray archiveBytes = bytesOf(archive), programBytes = bytesOf(program);

    out.clear();
    EXPECT_EQ(runTool({folder}, &out, &err), 1);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(err, QStringLiteral("Il file '") + archive + QStringLiteral("' esiste già: non viene sovrascritto.\n")
                       + QStringLiteral("Il file '") + program
                       + QStringLiteral("' esiste già: non viene sovrascritto.\n"));
    EXPECT_EQ(bytesOf(archive), archiveBytes);
    EXPECT_EQ(bytesOf(program), programBytes);
}

TEST(SampleTool, RefusesWhenOnlyOneFileExists)
{
    testsupport::TempDir dir;
    dir.write(QStringLiteral("Corbix.mdb"), "mio");
    QString out, err;
    EXPECT_EQ(runTool({dir.path()}, &out, &err), 1);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("Archivio.mdb"))));
    EXPECT_EQ(bytesOf(dir.file(QStringLiteral("Corbix.mdb"))), QByteArray("mio"));
}

TEST(SampleTool, BadArgumentsShowTheUsage)
{
    testsupport::TempDir dir;
    const QStringList cases[] = {{}, {dir.path(), QStringLiteral("--declarations")},
                                 {dir.path(), QStringLiteral("--declarations"), QStringLiteral("0")},
                                 {dir.path(), QStringLiteral("--altro")}};
    for (const QStringList &arguments : cases) {
        QString out, err;
        EXPECT_EQ(runTool(arguments, &out, &err), 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(err.endsWith(QStringLiteral("Uso: corbix-sample-data CARTELLA [--declarations N]\n")));
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(SampleTool, DeclarationsHaveFrontSheetAndArticleBoxes)
{
    testsupport::TempDir dir;
    sampledata::createSampleDatabases(dir.path());
    dao::Database db = dao::Database::open(dir.file(QStringLiteral("Archivio.mdb")));
    EXPECT_EQ(single(db, QStringLiteral("SELECT count(*) FROM IndiceDoc WHERE CodiceDoc = 'BOLL' AND Stato1 = 0")),
              QStringLiteral("5"));
    // The front sheet has no article; box 05 gives the number of articles.
    auto rs = db.openRecordset(QStringLiteral("SELECT Indice FROM IndiceDoc ORDER BY Indice"));
    for (; !rs->eof(); rs->moveNext()) {
        const QVariant indice = rs->value(0);
        const QString count = single(db,
                                     QStringLiteral("SELECT Contenuto FROM DettaglioBol WHERE Indice = ? AND "
                                                    "Modulo = 'F' AND Campo = '05' AND Articolo IS NULL"),
                                     {indice});
        EXPECT_EQ(single(db,
                         QStringLiteral("SELECT count(DISTINCT Articolo) FROM DettaglioBol WHERE Indice = ? AND "
                                        "Modulo = 'A'"),
                         {indice}),
                  count);
        EXPECT_EQ(single(db, QStringLiteral("SELECT count(*) FROM DettaglioBol WHERE Indice = ? AND Campo = '0B'"),
                         {indice}),
                  QStringLiteral("7"));
    }
    EXPECT_EQ(single(db, QStringLiteral("SELECT count(*) FROM DettaglioBol WHERE Modulo = 'F' AND Articolo IS NOT NULL")),
              QStringLiteral("0"));
    // One declaration of each kind of message: box 01 and box 49.
    EXPECT_EQ(single(db, QStringLiteral("SELECT group_concat(Contenuto, ' ') FROM (SELECT Contenuto FROM DettaglioBol "
                                        "WHERE Campo = '01' ORDER BY Indice, SottoCasella)")),
              QStringLiteral("IM 4 IM 0 EX 1 EX 1 IM 4"));
    EXPECT_EQ(single(db, QStringLiteral("SELECT group_concat(substr(Contenuto, 1, 1), '') FROM (SELECT Contenuto FROM "
                                        "DettaglioBol WHERE Campo = '49' ORDER BY Indice)")),
              QStringLiteral("DS"));
}

TEST(SampleTool, LayoutsCoverEveryMessageCodeInOrder)
{
    testsupport::TempDir dir;
    sampledata::createSampleDatabases(dir.path());
    dao::Database db = dao::Database::open(dir.file(QStringLiteral("Corbix.mdb")));
    auto rs = db.openRecordset(QStringLiteral("SELECT CodiceMsg, count(*), min(Progressivo), max(Progressivo) FROM "
                                              "Tracciati GROUP BY CodiceMsg ORDER BY CodiceMsg"),
                               {}, dao::RecordsetType::Snapshot);
    QStringList codes;
    for (; !rs->eof(); rs->moveNext()) {
        codes << rs->value(0).toString();
        EXPECT_EQ(rs->value(2).toInt(), 1);
        EXPECT_EQ(rs->value(3).toInt(), rs->value(1).toInt());
    }
    EXPECT_EQ(codes.join(u' '), QStringLiteral("C1 C11 C2 C21 C7 C71 C9 C91"));
    EXPECT_EQ(single(db, QStringLiteral("SELECT count(DISTINCT CodiceMsg) FROM Tracciati WHERE "
                                        "instr(';' || RifBRELK, ';F') > 0")),
              QStringLiteral("4"));
    // The later article lines read no front-sheet box.
    EXPECT_EQ(single(db, QStringLiteral("SELECT count(*) FROM Tracciati WHERE length(CodiceMsg) = 3 AND "
                                        "instr(';' || RifBRELK, ';F') > 0")),
              QStringLiteral("0"));
}

TEST(SampleTool, GeneratesTheDeclarationsAskedFor)
{
    testsupport::TempDir dir;
    QString out, err;
    ASSERT_EQ(runTool({dir.path(), QStringLiteral("--declarations"), QStringLiteral("12")}, &out, &err), 0);
    dao::Database db = dao::Database::open(dir.file(QStringLiteral("Archivio.mdb")));
    EXPECT_EQ(single(db, QStringLiteral("SELECT count(*) FROM IndiceDoc")), QStringLiteral("12"));
    EXPECT_EQ(single(db, QStringLiteral("SELECT count(DISTINCT Indice || '-' || Articolo) FROM DettaglioBol WHERE "
                                        "Modulo = 'A'")),
              QStringLiteral("36"));
}

}  // namespace
