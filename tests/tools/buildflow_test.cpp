#include "buildflow/buildflow.h"

#include "common/globals.h"
#include "platform/workstation.h"
#include "platform/dao/recordset.h"
#include "sampledata/sampledata.h"
#include "support/doubles/fixedworkstationsource.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The five hand-made sample declarations (C1 of two articles, C7, C2 of two,
// C9, C1 of three), chosen in the composition wizard by 010101Z.
const QByteArray SampleSelection = "T\r\n010101Z         \r\n5\r\n2024/03/04-000000001\r\n2024/03/04-000000002\r\n"
                                   "2024/03/04-000000003\r\n2024/03/04-000000004\r\n2024/03/04-000000005\r\n";

// The line prefix: mark, code in 8, the reference (4 blanks for a folder, the
// declarant in 16 on a removable medium), a blank, six characters of the
// customs reference (box 07 "202400005TO" gives "00005TO", so "00005T") and "00".
QByteArray prefix(int destination, const char *mark, const char *code, int declaration)
{
    return QByteArray(mark) + QByteArray(code).leftJustified(8, ' ')
           + (destination == 2 ? QByteArray("010101Z").leftJustified(16, ' ') : QByteArray("    ")) + " 0000"
           + QByteArray::number(declaration) + "T00";
}

// The sample flow as the layouts give it. Imports: the declaration's boxes,
// the customs account 1234Z split into its number and its check letter, the
// article's number and boxes, the two settlement lines (empty when paid by mode F, whose
// DaGarantire is not False), the article total, the declaration total on the
// last article line only, and today's date on the first line. Exports: the
// warehouse of box 49 in place of the account, no settlement and no totals.
QByteArray sampleFlow(int destination)
{
    return prefix(destination, "T", "C1", 1)
           + "IM4\t012100\t010101Z\t202400001TO\t2\tCN\tIT\t1234\tZ\t1\t5208520000\tTessuti di cotone stampati\t7\tCN\t"
             "150.000\t125.000\t\t\t0.00\t\t150126\t\r\n"
           + prefix(destination, "?", "C11", 1)
           + "2\t8481809990\tValvole in acciaio inossidabile\t8\tUS\t165.000\t137.500\t\t\t0.00\t0.00\t\r\n"
           // mode A settles at once: duty 37.13 and VAT 302.50 on a base of 1375.00
           + prefix(destination, "T", "C7", 2)
           + "IM0\t032100\t030201H\t202400002TO\t1\tCN\tIT\t5678\tJ\t1\t8481809990\tValvole in acciaio inossidabile\t8\tUS\t"
             "165.000\t137.500\tA00X1375.00\tB00X1375.00\t339.63\t339.63\t150126\t\r\n"
           + prefix(destination, "T", "C2", 3)
           + "EX1\t012100\t010101Z\t202400003TO\t2\tIT\tCH\tD000003\t1\t8471300000\tElaboratori portatili\t9\tCN\t180.000\t"
             "150.000\t150126\t\r\n"
           + prefix(destination, "?", "C21", 3)
           + "2\t8466930000\tParti di ricambio per macchine utensili\t10\tCN\t195.000\t162.500\t\r\n"
           + prefix(destination, "T", "C9", 4)
           + "EX1\t032100\t030201H\t202400004TO\t1\tIT\tCH\tS000004\t1\t8466930000\tParti di ricambio per macchine utensili\t"
             "10\tCN\t195.000\t162.500\t150126\t\r\n"
           + prefix(destination, "T", "C1", 5)
           + "IM4\t012100\t010101Z\t202400005TO\t3\tCN\tIT\t1234\tZ\t1\t5208520000\tTessuti di cotone stampati\t11\tCN\t"
             "210.000\t175.000\t\t\t0.00\t\t150126\t\r\n"
           + prefix(destination, "?", "C11", 5)
           + "2\t8481809990\tValvole in acciaio inossidabile\t12\tUS\t225.000\t187.500\t\t\t0.00\t\t\r\n"
           + prefix(destination, "?", "C11", 5)
           + "3\t8471300000\tElaboratori portatili\t13\tCN\t240.000\t200.000\t\t\t0.00\t0.00\t\r\n";
}

class BuildFlowTool : public ::testing::Test {
protected:
    BuildFlowTool()
    {
        QDir().mkpath(program());
        sampledata::createSampleProgramFolder(program());
        selectionFile = tmp.write(QStringLiteral("selezione"), SampleSelection);
    }
    QString program() const { return tmp.file(QStringLiteral("prog")); }
    QString output() const { return tmp.file(QStringLiteral("uscita")); }
    QString temp() const { return tmp.file(QStringLiteral("prog/Corbix/TEMP")); }

    int run(const QStringList &options)
    {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        const int rc = buildflow::run(QStringList{program(), selectionFile, output()} + options, o, e);
        o.flush();
        e.flush();
        return rc;
    }
    QStringList files(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    testsupport::TempDir tmp;
    platform::FixedWorkstationSource workstation{QStringLiteral("pc-uff1"), QStringLiteral("rossi")};
    platform::ScopedWorkstationSource workstationGuard{workstation};
    QString selectionFile, out, err;
};

TEST_F(BuildFlowTool, WritesTheSampleFlowByTheLayouts)
{
    for (int destination : {1, 2}) {
        SCOPED_TRACE(destination);
        ASSERT_EQ(run({QStringLiteral("--destination"), QString::number(destination),
                       QStringLiteral("--preventive-check"), QStringLiteral("--today"), QStringLiteral("2026-01-15")}),
                  0)
            << err.toStdString();
        EXPECT_EQ(bytesOf(output() + QStringLiteral("/flow")), sampleFlow(destination));
        EXPECT_EQ(bytesOf(output() + QStringLiteral("/log")), QByteArray());
        EXPECT_EQ(bytesOf(output() + QStringLiteral("/composition")),
                  QByteArray("1-04/03/2024-00001TO\r\n2-04/03/2024-00002TO\r\n3-04/03/2024-00003TO\r\n"
                             "4-04/03/2024-00004TO\r\n5-04/03/2024-00005TO\r\n"));
        EXPECT_EQ(files(output()), QStringList({QStringLiteral("composition"), QStringLiteral("flow"),
                                                QStringLiteral("log")}));
        EXPECT_EQ(files(temp()), QStringList());
        EXPECT_TRUE(out.startsWith(QStringLiteral("Errori: 0\nTempo: "))) << out.toStdString();
        EXPECT_EQ(err, QString());
    }
}

TEST_F(BuildFlowTool, RefusedDeclarationsAreLoggedWithThePreventiveCheckOnly)
{
    // A blank description of the last article makes declaration 5 fail.
    {
        dao::Database archive = dao::Database::open(program() + QStringLiteral("/Archivio.mdb"));
        archive.execute(QStringLiteral("UPDATE DettaglioBol SET Contenuto = ' ' WHERE Indice = 5 AND Articolo = 3 "
                                       "AND Campo = '31' AND SottoCasella = '1'"));
    }
    const QStringList options = {QStringLiteral("--destination"), QStringLiteral("1"), QStringLiteral("--today"),
                                 QStringLiteral("2026-01-15")};
    ASSERT_EQ(run(options + QStringList{QStringLiteral("--preventive-check")}), 0) << err.toStdString();
    EXPECT_EQ(bytesOf(output() + QStringLiteral("/log")),
              QByteArray("Quandera Doganale N\xb0 5 - 04/03/2024: Assenza di un campo obbligatorio -> Descrizione "
                         "delle merci/articolo N\xb0 3\r\n"));
    const QByteArray all = sampleFlow(1);
    EXPECT_EQ(bytesOf(output() + QStringLiteral("/flow")), all.left(all.indexOf(prefix(1, "T", "C1", 5) + "IM4\t012100\t010101Z\t202400005TO")));
    EXPECT_EQ(bytesOf(output() + QStringLiteral("/composition")),
              QByteArray("1-04/03/2024-00001TO\r\n2-04/03/2024-00002TO\r\n3-04/03/2024-00003TO\r\n"
                         "4-04/03/2024-00004TO\r\n"));
    // The work file the refused declaration left is not kept either.
    EXPECT_EQ(files(temp()), QStringList());
    EXPECT_TRUE(out.startsWith(QStringLiteral("Errori: 1\n"))) << out.toStdString();

    ASSERT_EQ(run(options), 0) << err.toStdString();
    EXPECT_EQ(bytesOf(output() + QStringLiteral("/log")), QByteArray());
    const QByteArray flow = bytesOf(output() + QStringLiteral("/flow"));
    EXPECT_EQ(flow, QByteArray(all).replace("\tElaboratori portatili\t13\t", "\t\t13\t"));
    EXPECT_TRUE(out.startsWith(QStringLiteral("Errori: 0\n"))) << out.toStdString();
}

TEST_F(BuildFlowTool, RefusesAWrongCommandLine)
{
    for (const QStringList &options :
         {QStringList{}, QStringList{QStringLiteral("--destination"), QStringLiteral("3")},
          QStringList{QStringLiteral("--destination"), QStringLiteral("1"), QStringLiteral("--other")},
          QStringList{QStringLiteral("--destination"), QStringLiteral("1"), QStringLiteral("--whole-run")},
          QStringList{QStringLiteral("--destination"), QStringLiteral("1"), QStringLiteral("--floor")}}) {
        EXPECT_EQ(run(options), 2);
        EXPECT_TRUE(err.endsWith(QStringLiteral(
            "Uso: corbix-build-flow CARTELLA_PROGRAMMA FILE_SELEZIONE CARTELLA_USCITA --destination 1|2 "
            "[--preventive-check] [--today AAAA-MM-GG] [--whole-run]\n")))
            << err.toStdString();
    }
    EXPECT_EQ(files(output()), QStringList());
}

TEST_F(BuildFlowTool, TheWholeRunFilesRegistersAndMarksTheFlow)
{
    ASSERT_EQ(run({QStringLiteral("--destination"), QStringLiteral("2"), QStringLiteral("--whole-run"),
                   QStringLiteral("--today"), QStringLiteral("2026-01-15")}),
              0)
        << err.toStdString();
    EXPECT_TRUE(out.startsWith(QStringLiteral("Errori: 0\nTempo dell'intera composizione: "))) << out.toStdString();
    EXPECT_EQ(bytesOf(program() + QStringLiteral("/Corbix/Corbix inviati/20260115-0")), sampleFlow(2));
    EXPECT_EQ(files(temp()), QStringList());
    dao::Database archive = dao::Database::open(program() + QStringLiteral("/Archivio.mdb"));
    auto rs = archive.openRecordset(QStringLiteral("SELECT COUNT(*) FROM IndiceDoc WHERE Stato1 = 2"));
    EXPECT_EQ(rs->value(0).toInt(), 5);
    rs = archive.openRecordset(QStringLiteral("SELECT Posizione, Progressivo, Stato, Tipo, FattoDa, NomeFile FROM Corbix"));
    ASSERT_FALSE(rs->eof());
    EXPECT_EQ(rs->value(0).toInt(), 3);
    EXPECT_EQ(rs->value(1).toInt(), 1);
    EXPECT_EQ(rs->value(2).toInt(), 1);
    EXPECT_EQ(rs->value(3).toInt(), 1);
    EXPECT_EQ(rs->value(4).toString(), sampledata::Dichiarante1);
    EXPECT_EQ(rs->value(5).toString(), QStringLiteral("\\\\pc-uff1\\C\\Corbix\\Corbix inviati\\20260115-0"));
}

TEST_F(BuildFlowTool, AProgramFolderWithoutSettingsIsRefused)
{
    QFile::remove(program() + QStringLiteral("/CORBIX.INI"));
    EXPECT_EQ(run({QStringLiteral("--destination"), QStringLiteral("1")}), 1);
    EXPECT_FALSE(err.isEmpty());
    EXPECT_EQ(files(output()), QStringList());
}

}  // namespace

// Two programs compose on one archive at the same moment, again and again:
// every flow gets its own number and archive name, every registered flow has
// its file, no temporary is left and the archive stays sound.
TEST_F(BuildFlowTool, TwoCompositionsAtOnceTakeDistinctNumbersAndNames)
{
    const QString first = tmp.write(QStringLiteral("s1"), "T\r\nDICH01          \r\n1\r\n2024/03/04-000000001\r\n");
    const QString second = tmp.write(QStringLiteral("s2"), "T\r\nDICH01          \r\n1\r\n2024/03/04-000000005\r\n");
    // The folder is made by the sample tool's own process, on this computer's
    // name, as the two programs will see it.
    const QString folder = tmp.file(QStringLiteral("insieme"));
    ASSERT_EQ(QProcess::execute(QStringLiteral(CORBIX_SAMPLE_DATA), {folder}), 0);
    constexpr int Rounds = 6;
    int filed = 0;
    for (int round = 0; round < Rounds; ++round) {
        std::vector<std::unique_ptr<QProcess>> runs;
        for (const QString &selection : {first, second}) {
            auto p = std::make_unique<QProcess>();
            p->start(QStringLiteral(CORBIX_BUILD_FLOW),
                     {folder, selection, output() + QString::number(runs.size()), QStringLiteral("--destination"),
                      QStringLiteral("2"), QStringLiteral("--whole-run"), QStringLiteral("--today"),
                      QStringLiteral("2026-01-15")});
            runs.push_back(std::move(p));
        }
        // Each run works on files of its own: both succeed.
        for (auto &p : runs) {
            ASSERT_TRUE(p->waitForFinished(30000));
            EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
            filed += p->exitCode() == 0;
        }
        // A declaration goes into one flow only: the next round composes
        // the same two again once they are free.
        dao::Database archive = dao::Database::open(folder + QStringLiteral("/Archivio.mdb"));
        archive.execute(QStringLiteral("UPDATE IndiceDoc SET Stato1 = 0"), {}, dao::FailOnError);
    }
    EXPECT_EQ(filed, 2 * Rounds);
    EXPECT_EQ(files(folder + QStringLiteral("/Corbix/TEMP")), QStringList());
    const QString sent = folder + QStringLiteral("/Corbix/Corbix inviati/");
    dao::Database archive = dao::Database::open(folder + QStringLiteral("/Archivio.mdb"));
    auto rs = archive.openRecordset(QStringLiteral("SELECT Progressivo, NomeFile FROM Corbix ORDER BY Progressivo"));
    QStringList names;
    for (int n = 1; !rs->eof(); rs->moveNext(), ++n) {
        EXPECT_EQ(rs->value(0).toInt(), n);
        names << rs->value(1).toString().section(u'\\', -1);
    }
    EXPECT_EQ(names.size(), filed);
    names.sort();
    EXPECT_EQ(files(sent), names) << "one file for every registered flow, and no other";
    rs = archive.openRecordset(QStringLiteral("PRAGMA integrity_check"));
    EXPECT_EQ(rs->value(0).toString(), QStringLiteral("ok"));
}
