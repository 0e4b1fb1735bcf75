#include "fixture.h"

#include "flowengine/numbering.h"
#include "platform/errors.h"
#include "support/otherprogram.h"

using namespace flowengine;

namespace {

class Numbering : public FlowEngineTest {
protected:
    Numbering()
    {
        makeFolders(onC(QStringLiteral("Corbix")), {QStringLiteral("Corbix inviati")});
        common::OpzioniCorbix.Centrale = QStringLiteral("C:\\Corbix\\");
    }
    QString sent(const QString &name) const { return onC(QStringLiteral("Corbix/Corbix inviati/") + name); }
    void addRow(int posizione, const QDate &date, int progressivo)
    {
        execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, Stato, Tipo) VALUES (?, ?, ?, 1, 1)"),
                {posizione, date, progressivo});
    }
    // The rows of a date as "Posizione/Progressivo/Stato/Tipo/NomeFile/CompostoDa".
    QStringList rows(const QDate &date)
    {
        dao::Database db = dao::Database::open(archiveHost());
        auto rs = db.openRecordset(QStringLiteral("SELECT * FROM Corbix WHERE Data = DateValue(?) ORDER BY "
                                                  "Posizione, Progressivo"),
                                   {date}, dao::RecordsetType::Snapshot);
        QStringList out;
        for (; !rs->eof(); rs->moveNext()) {
            QStringList row;
            for (const char *f : {"Posizione", "Progressivo", "Stato", "Tipo", "NomeFile", "CompostoDa", "RifFloppy",
                                  "FattoDa"}) {
                const QVariant v = rs->value(QString::fromLatin1(f));
                row << (v.isNull() ? QStringLiteral("<null>") : v.toString());
            }
            out << row.join(u'/');
        }
        return out;
    }

    const QDate day{2026, 1, 15};
};

}  // namespace

TEST_F(Numbering, ArchiveNamesCountFromZeroInTheSentFolder)
{
    QString folder = QStringLiteral("Corbix inviati");
    EXPECT_EQ(NuovoNomeFile(folder, day), QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-0"));
    EXPECT_EQ(folder, QStringLiteral("Corbix inviati\\"));
    tmp_.write(QStringLiteral("c/Corbix/Corbix inviati/20260115-0"), "x");
    tmp_.write(QStringLiteral("c/Corbix/Corbix inviati/20260115-1"), "x");
    EXPECT_EQ(NuovoNomeFile(folder, day), QStringLiteral("C:\\Corbix\\Corbix inviati\\20260115-2"));
    // Another day starts again from 0.
    EXPECT_EQ(NuovoNomeFile(folder, day.addDays(1)), QStringLiteral("C:\\Corbix\\Corbix inviati\\20260116-0"));
}

TEST_F(Numbering, AFolderThatDoesNotExistGivesNoName)
{
    for (const char *name : {"Corbix spediti", "Corbix inviati\\manca"}) {
        QString folder = QString::fromLatin1(name);
        EXPECT_EQ(NuovoNomeFile(folder, day), QString()) << name;
    }
    // A collection point on a drive that is not ready is no folder either.
    common::OpzioniCorbix.Centrale = QStringLiteral("Q:\\Corbix\\");
    QString folder = QStringLiteral("Corbix inviati");
    EXPECT_EQ(NuovoNomeFile(folder, day), QString());
}

TEST_F(Numbering, TheFirstFlowOfADayIsNumberedOne)
{
    addRow(3, day.addDays(-1), 7);
    EXPECT_EQ(NuovoProgressivo(day), 1);
    EXPECT_EQ(rows(day).join(u'|'), QStringLiteral("0/1/0/0////"));
}

TEST_F(Numbering, TheNextNumberCountsRowsOfEveryPosition)
{
    addRow(3, day, 1);
    addRow(3, day, 2);
    addRow(4, day, 5);
    EXPECT_EQ(NuovoProgressivo(day), 6);
    EXPECT_EQ(NuovoProgressivo(day), 7);
    EXPECT_EQ(rows(day).size(), 5);
}

TEST_F(Numbering, ANumberIsNeverGivenWhileAnotherProgramHoldsTheRegister)
{
    testsupport::OtherProgram other(archiveHost());
    ASSERT_EQ(other.exec(QStringLiteral("BEGIN IMMEDIATE")), 0);
    try {
        NuovoProgressivo(day);
        FAIL() << "no lock met";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), platform::err::CouldNotUpdateLocked);
    }
    other.exec(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(rows(day).join(u'|'), QString());
    EXPECT_EQ(NuovoProgressivo(day), 1);
}

TEST_F(Numbering, MarkingSetsStato1OnEveryDeclarationOfTheList)
{
    for (int indice : {12, 13, 14})
        execute(QStringLiteral("INSERT INTO IndiceDoc (Indice, Data, CodiceDoc, Stato1) VALUES (?, ?, 'BOLL', 0)"),
                {indice, QDate(2024, 3, 5)});
    auto states = [this] {
        dao::Database db = dao::Database::open(archiveHost());
        auto rs = db.openRecordset(QStringLiteral("SELECT Stato1 FROM IndiceDoc ORDER BY Indice"), {},
                                   dao::RecordsetType::Snapshot);
        QString out;
        for (; !rs->eof(); rs->moveNext())
            out += rs->value(0).toString();
        return out;
    };
    QString empty;
    MarcaDocumentiInviati(empty);
    EXPECT_EQ(states(), QStringLiteral("000"));
    // The last line lacks its CR LF; index 99 no longer exists; a reference may hold "-".
    QString list = QStringLiteral("12-05/03/2024-4000-01\r\n99-05/03/2024-4000099\r\n14-5/3/2024-4000014");
    MarcaDocumentiInviati(list);
    EXPECT_EQ(list, QString());
    EXPECT_EQ(states(), QStringLiteral("202"));
}
