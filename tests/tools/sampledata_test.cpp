#include "sampledata/sampledata.h"

#include "common/codechecks.h"
#include "common/globals.h"
#include "common/settings.h"
#include "common/version.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/options.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/messagebox.h"
#include "platform/workstation.h"
#include "support/doubles/fixedworkstationsource.h"
#include "support/doubles/recordingmessagebox.h"
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
    EXPECT_EQ(out, QStringLiteral("Creata la cartella di programma '") + folder
                       + QStringLiteral("': archivio C:\\Archivio.mdb, punto di raccolta C:\\Corbix\\, unità C: "
                                        "nella cartella stessa, supporto magnetico A: nella cartella 'supporto', "
                                        "condivisioni del servizio EDI \\\\MIRSOLAN nella cartella 'servizio'.\n"));
    EXPECT_TRUE(err.isEmpty());
    const QString archive = QDir(folder).filePath(QStringLiteral("Archivio.mdb"));
    const QString program = QDir(folder).filePath(QStringLiteral("Corbix.mdb"));
    const QByteArray archiveBytes = bytesOf(archive), programBytes = bytesOf(program);

    out.clear();
    EXPECT_EQ(runTool({folder}, &out, &err), 1);
    EXPECT_TRUE(out.isEmpty());
    QString expected;
    for (const char *name : {"Archivio.mdb", "Corbix.mdb", "CORBIX.INI", "dosdevices", "Corbix", "supporto", "servizio"})
        expected += QStringLiteral("Il file '") + QDir(folder).filePath(QString::fromLatin1(name))
                    + QStringLiteral("' esiste già: non viene sovrascritto.\n");
    EXPECT_EQ(err, expected);
    EXPECT_EQ(bytesOf(archive), archiveBytes);
    EXPECT_EQ(bytesOf(program), programBytes);
}

// Started in the folder, the application finds its settings, its archive
// through the folder's own drive C:, its options and a complete collection
// point.
TEST(SampleTool, ProgramFolderIsCompleteAndSelfContained)
{
    testsupport::TempDir dir;
    platform::FixedWorkstationSource workstation(QStringLiteral("pc-prova"), QStringLiteral("rossi"));
    platform::ScopedWorkstationSource workstationGuard(workstation);
    common::resetGlobals();
    QString out, err;
    ASSERT_EQ(runTool({dir.path()}, &out, &err), 0) << err.toStdString();
    EXPECT_TRUE(common::CartellaProgramma.isEmpty());
    EXPECT_TRUE(common::PercorsoArchivio.isEmpty());

    EXPECT_EQ(QFileInfo(dir.file(QStringLiteral("dosdevices/c:"))).symLinkTarget(), QDir(dir.path()).canonicalPath());
    EXPECT_EQ(QDir(dir.file(QStringLiteral("dosdevices"))).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                                                                    QDir::Name),
              (QStringList{QStringLiteral("a:"), QStringLiteral("c:"), QStringLiteral("unc")}));
    // The removable medium and the EDI service's share of each declarant's
    // user, with the folder the flows are sent to.
    EXPECT_EQ(QFileInfo(dir.file(QStringLiteral("dosdevices/a:"))).symLinkTarget(),
              QDir(dir.path()).canonicalPath() + QStringLiteral("/supporto"));
    EXPECT_TRUE(QDir(dir.file(QStringLiteral("supporto"))).isEmpty());
    for (const char *user : {"B002", "R001"}) {
        const QString share = QStringLiteral("dosdevices/unc/MIRSOLAN/") + QString::fromLatin1(user);
        EXPECT_EQ(QFileInfo(dir.file(share)).symLinkTarget(),
                  QDir(dir.path()).canonicalPath() + QStringLiteral("/servizio/") + QString::fromLatin1(user));
        EXPECT_TRUE(QDir(dir.file(share + QStringLiteral("/corbix"))).isEmpty());
    }
    EXPECT_EQ(QDir(dir.file(QStringLiteral("dosdevices/unc/MIRSOLAN"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot,
                                                                                  QDir::Name),
              (QStringList{QStringLiteral("B002"), QStringLiteral("R001")}));
    EXPECT_EQ(bytesOf(dir.file(QStringLiteral("CORBIX.INI"))),
              "\r\n\r\nC:\\Archivio.mdb\r\nNon usata\r\n" + common::testoVersione().toLatin1() + "\r\n");
    EXPECT_EQ(QDir(dir.file(QStringLiteral("Corbix"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{QStringLiteral("Corbix in uscita"), QStringLiteral("Corbix inviati"),
                           QStringLiteral("Risposte Pervenute"), QStringLiteral("Storico"), QStringLiteral("TEMP")}));

    platform::RecordingMessageBoxService boxes;
    platform::ScopedMessageBoxService boxesGuard(boxes);
    platform::DriveTable drives(dir.path());
    platform::ScopedDriveTable drivesGuard(drives);
    common::CartellaProgramma = dir.path() + u'/';
    ASSERT_TRUE(common::LeggiIni());
    EXPECT_EQ(common::PercorsoArchivio, QStringLiteral("C:\\Archivio.mdb"));
    ASSERT_TRUE(flowengine::CaricaOpzioni());
    EXPECT_EQ(common::OpzioniCorbix.Centrale, QStringLiteral("\\\\pc-prova\\C\\Corbix\\"));
    EXPECT_TRUE(flowengine::VerificaStrutturaCentrale(common::OpzioniCorbix.Centrale));
    EXPECT_TRUE(boxes.shown.empty());
    common::resetGlobals();
}

// The collection point cannot be made (a file holds its name): the tool
// leaves the folder as it found it.
TEST(SampleTool, FailureLeavesNothingBehind)
{
    testsupport::TempDir dir;
    dir.write(QStringLiteral("corbix"), "mio");
    QString out, err;
    EXPECT_EQ(runTool({dir.path()}, &out, &err), 1);
    EXPECT_EQ(err, QStringLiteral("Errore 75: Impossibile creare la cartella 'C:\\Corbix\\' del punto di raccolta.\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("corbix")});
    EXPECT_EQ(bytesOf(dir.file(QStringLiteral("corbix"))), QByteArray("mio"));
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
                                 {dir.path(), QStringLiteral("--declarations"), QStringLiteral("100000")},
                                 {dir.path(), QStringLiteral("--altro")}};
    for (const QStringList &arguments : cases) {
        QString out, err;
        EXPECT_EQ(runTool(arguments, &out, &err), 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(err.endsWith(QStringLiteral("Uso: corbix-sample-data CARTELLA [--declarations N]\n")));
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(SampleTool, RefusesMoreDeclarationsThanTheReferencesTellApart)
{
    testsupport::TempDir dir;
    QString out, err;
    EXPECT_EQ(runTool({dir.path(), QStringLiteral("--declarations"), QStringLiteral("100000")}, &out, &err), 2);
    EXPECT_EQ(err, QStringLiteral("Il numero di dichiarazioni deve essere un intero da 1 a 99999.\n"
                                  "Uso: corbix-sample-data CARTELLA [--declarations N]\n"));
    // The part of a reference an answer names: the first six of its last
    // seven characters.
    QSet<QString> named;
    for (int n = 1; n <= sampledata::MassimoDichiarazioni; ++n)
        named.insert(sampledata::reference(n).right(7).left(6));
    EXPECT_EQ(named.size(), sampledata::MassimoDichiarazioni);
    EXPECT_EQ(sampledata::reference(1), QStringLiteral("202400001TO"));
    EXPECT_EQ(sampledata::reference(99999), QStringLiteral("202499999TO"));
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
    // Numbered from 7 without gaps, as the readers count the fields of a flow
    // line (six in its prefix), each with the article number where the
    // answers look for it.
    auto rs = db.openRecordset(
        QStringLiteral("SELECT CodiceMsg, count(*), min(Progressivo), max(Progressivo), "
                       "sum(RifBRELK = 'A3200' AND RifMask1 = '32' AND RifMask2 = '0') FROM Tracciati "
                       "GROUP BY CodiceMsg ORDER BY CodiceMsg"),
        {}, dao::RecordsetType::Snapshot);
    QStringList codes;
    for (; !rs->eof(); rs->moveNext()) {
        codes << rs->value(0).toString();
        EXPECT_EQ(rs->value(2).toInt(), 7);
        EXPECT_EQ(rs->value(3).toInt(), rs->value(1).toInt() + 6);
        EXPECT_EQ(rs->value(4).toInt(), 1) << rs->value(0).toString().toStdString();
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

namespace {

QStringList column(dao::Database &db, const QString &sql)
{
    QStringList out;
    auto rs = db.openRecordset(sql, {}, dao::RecordsetType::Snapshot);
    for (; !rs->eof(); rs->moveNext())
        out << rs->value(0).toString();
    return out;
}

// The checks the reference screens make when a key box is left: run
// without their dialog, each code must come back valid (-1).
TEST(SampleTool, ReferenceRowsPassTheChecksOfTheirScreens)
{
    testsupport::TempDir dir;
    sampledata::createSampleDatabases(dir.path());
    dao::Database db = dao::Database::open(dir.file(QStringLiteral("Archivio.mdb")));
    const auto valid = [](qint16 (*check)(QString &, qint16 &), QString code) {
        qint16 options = 1;
        return check(code, options) == -1;
    };
    // Declarants: a professional code of six digits and its CIN letter.
    const QStringList declarants = column(db, QStringLiteral("SELECT Codice FROM Spedoga ORDER BY Codice"));
    EXPECT_EQ(declarants, (QStringList{sampledata::Dichiarante1, sampledata::Dichiarante2}));
    for (const QString &code : declarants) {
        EXPECT_EQ(code.size(), 7);
        EXPECT_TRUE(valid(common::CheckCINCode, code)) << code.toStdString();
    }
    // Customs accounts: five characters, checked as "00" and the code.
    for (const QString &code : column(db, QStringLiteral("SELECT Codice FROM ContoDoga UNION ALL SELECT ContoDog FROM "
                                                         "Spedoga UNION ALL SELECT Contenuto FROM DettaglioBol "
                                                         "WHERE Campo = '48'"))) {
        EXPECT_EQ(code.size(), 5);
        EXPECT_TRUE(valid(common::CheckCINCode, QStringLiteral("00") + code)) << code.toStdString();
    }
    // EDI accounts: a VAT number for the authorised user, a protocol of the
    // screen's list, a declarant that exists.
    for (const QString &code : column(db, QStringLiteral("SELECT UA FROM UtenzeEDI"))) {
        QString country = QStringLiteral("IT");
        qint16 options = 1 | 8;
        QString checked = code;
        EXPECT_EQ(common::CheckVATNumber(checked, options, country), -1) << code.toStdString();
        EXPECT_EQ(checked, code);
    }
    EXPECT_EQ(column(db, QStringLiteral("SELECT DISTINCT Protocol FROM UtenzeEDI")), QStringList{QStringLiteral("FTP")});
    EXPECT_EQ(column(db, QStringLiteral("SELECT count(*) FROM UtenzeEDI WHERE Dichiarante NOT IN "
                                        "(SELECT Codice FROM Spedoga)")),
              QStringList{QStringLiteral("0")});
    // Every declaration's declarant and office exist.
    EXPECT_EQ(column(db, QStringLiteral("SELECT count(*) FROM DettaglioBol WHERE (Campo = '14' AND Contenuto NOT IN "
                                        "(SELECT Codice FROM Spedoga)) OR (Campo = '29' AND Contenuto NOT IN "
                                        "(SELECT Codice FROM Dogane))")),
              QStringList{QStringLiteral("0")});
}

}  // namespace
