#include "common/archiveschema.h"
#include "common/openretry.h"
#include "platform/dao/recordset.h"
#include "platform/errors.h"
#include "support/tempdir.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

using dao::FieldType;

namespace {

// The rows of a query run straight through SQLite, each as "a|b|c".
QStringList rawRows(const QString &path, const QString &sql, int *rc = nullptr)
{
    sqlite3 *db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_stmt *st = nullptr;
    QStringList rows;
    int result = sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr);
    while (result == SQLITE_OK || result == SQLITE_ROW) {
        result = sqlite3_step(st);
        if (result != SQLITE_ROW)
            break;
        QStringList cols;
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            cols << (sqlite3_column_type(st, c) == SQLITE_NULL
                         ? QStringLiteral("<null>")
                         : QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c))));
        rows << cols.join(u'|');
    }
    if (rc)
        *rc = result;
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

class ArchiveSchema : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.file(QStringLiteral("Archivio.mdb"));
        common::createArchive(path);
    }
    testsupport::TempDir dir;
    QString path;
};

TEST_F(ArchiveSchema, HoldsEveryTableInOrder)
{
    QStringList names;
    for (const dao::TableDef &t : dao::Database::open(path).tableDefs())
        names << t.name();
    EXPECT_EQ(names.join(u' '),
              QStringLiteral("Paragen Compatibilita Corbix Paramflu Spedoga UtenzeEDI Valuta RevisioniTabelle "
                             "AliasTabelle AliasCampiTabelle IndiceDoc DettaglioBol Stati CompDog Dogane ContoDoga "
                             "Province ModoPagamento GrupPae ZRQAnagrafe Tributi Merci DescriBol Compagnia "
                             "HIndiceDoc HDettaglioBol HCompagnia"));
}

// name, type, size, required, zero length, default, ordinal position
struct FieldCase {
    const char *table, *field;
    FieldType type;
    int size;
    bool required, azl;
    const char *dflt;
    int ord;
};

class ArchiveFields : public ArchiveSchema, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(ArchiveFields, ReadBackAsMade)
{
    const FieldCase &c = GetParam();
    const dao::Field f = dao::Database::open(path).tableDef(QString::fromLatin1(c.table)).field(QString::fromLatin1(c.field));
    EXPECT_EQ(f.name, QString::fromLatin1(c.field));
    EXPECT_EQ(f.type, c.type);
    EXPECT_EQ(f.size, c.size);
    EXPECT_EQ(f.required, c.required);
    EXPECT_EQ(f.allowZeroLength, c.azl);
    EXPECT_EQ(f.defaultValue, QString::fromLatin1(c.dflt));
    EXPECT_EQ(f.ordinalPosition, c.ord);
    EXPECT_TRUE(f.validationRule.isEmpty());
    EXPECT_TRUE(f.validationText.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Layout, ArchiveFields,
    ::testing::Values(FieldCase{"Paragen", "Versione", FieldType::Text, 20, false, false, "", 1},
                      FieldCase{"Paragen", "UltimaArchBoll", FieldType::Date, 8, false, false, "", 4},
                      FieldCase{"Paragen", "PeriodoArchBoll", FieldType::Integer, 2, false, false, "", 5},
                      FieldCase{"Compatibilita", "ModuloSW", FieldType::Text, 3, true, false, "\"\"", 1},
                      FieldCase{"Compatibilita", "Revisione", FieldType::Text, 10, true, false, "\"\"", 2},
                      FieldCase{"Corbix", "Posizione", FieldType::Byte, 1, false, false, "", 1},
                      FieldCase{"Corbix", "Data", FieldType::Date, 8, false, false, "", 2},
                      FieldCase{"Corbix", "Progressivo", FieldType::Long, 4, false, false, "", 3},
                      FieldCase{"Corbix", "NomeFile", FieldType::Text, 255, false, true, "\"\"", 4},
                      FieldCase{"Corbix", "CompostoDa", FieldType::Memo, 0, false, true, "", 5},
                      FieldCase{"Corbix", "RifFloppy", FieldType::Text, 12, false, true, "\"\"", 8},
                      FieldCase{"Corbix", "FattoDa", FieldType::Text, 16, false, true, "\"\"", 9},
                      FieldCase{"Corbix", "ND", FieldType::Byte, 1, false, false, "", 12},
                      FieldCase{"Paramflu", "FloppyDevice", FieldType::Text, 2, false, false, "\"A:\"", 1},
                      FieldCase{"Paramflu", "PreventCheck", FieldType::Boolean, 1, false, false, "", 3},
                      FieldCase{"Paramflu", "Centrale", FieldType::Text, 255, false, true, "\"\"", 4},
                      FieldCase{"Paramflu", "UserDir", FieldType::Text, 255, false, true, "\"\"", 6},
                      FieldCase{"Spedoga", "CodiceUtenza", FieldType::Text, 4, false, true, "\"\"", 10},
                      FieldCase{"Spedoga", "AutoPasswd", FieldType::Boolean, 1, false, false, "False", 12},
                      FieldCase{"Spedoga", "PasswdPOPAccount", FieldType::Text, 30, false, true, "\"\"", 15},
                      FieldCase{"UtenzeEDI", "Dichiarante", FieldType::Text, 16, true, false, "\"\"", 0},
                      FieldCase{"UtenzeEDI", "DescrizioneCED", FieldType::Text, 25, true, false, "\"\"", 7},
                      FieldCase{"UtenzeEDI", "TPMonitor", FieldType::Text, 8, true, false, "\"\"", 9},
                      FieldCase{"Valuta", "PosizioniDecimali", FieldType::Byte, 1, true, false, "", 6},
                      FieldCase{"RevisioniTabelle", "Tabella", FieldType::Text, 255, true, false, "\"\"", 1},
                      FieldCase{"RevisioniTabelle", "Revisione", FieldType::Integer, 2, true, false, "0", 2},
                      FieldCase{"Tributi", "AutoLiquida", FieldType::Boolean, 1, true, false, "True", 8},
                      FieldCase{"Merci", "Preferenze", FieldType::Text, 3, true, false, "\"100\"", 5},
                      FieldCase{"Merci", "MAX", FieldType::Memo, 0, false, true, "", 9},
                      FieldCase{"Merci", "UsaFormulaAliq", FieldType::Boolean, 1, false, false, "True", 10},
                      FieldCase{"Merci", "InserisciAncheZero", FieldType::Boolean, 1, false, false, "False", 15},
                      FieldCase{"Merci", "Puntatore", FieldType::Text, 22, false, true, "", 16},
                      FieldCase{"Compagnia", "Accounting", FieldType::Text, 190, false, true, "", 6},
                      FieldCase{"HCompagnia", "Eliminato", FieldType::Date, 8, true, false, "", 8}),
    [](const ::testing::TestParamInfo<FieldCase> &caso) {
        return std::string(caso.param.table) + "_" + caso.param.field;
    });

TEST_F(ArchiveSchema, ColumnOrderAsSQLiteHoldsIt)
{
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT group_concat(name, ' ') FROM pragma_table_info('Corbix')")),
              QStringList{QStringLiteral("Posizione Data Progressivo NomeFile CompostoDa Stato Tipo RifFloppy FattoDa "
                                         "OK KO ND")});
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT group_concat(name, ' ') FROM pragma_table_info('UtenzeEDI')")),
              QStringList{QStringLiteral("Dichiarante UA RagSocUA Login Passwd Protocol CodiceCED DescrizioneCED "
                                         "NodoSdA TPMonitor")});
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT group_concat(name, ' ') FROM pragma_table_info('Paramflu')")),
              QStringList{QStringLiteral("FloppyDevice SendWith PreventCheck Centrale WhereWrite UserDir")});
}

TEST_F(ArchiveSchema, IndexesThroughTheLayerAndSQLite)
{
    dao::Database db = dao::Database::open(path);
    const dao::Index primario = db.tableDef(QStringLiteral("Corbix")).index(QStringLiteral("Primario"));
    EXPECT_TRUE(primario.primary);
    EXPECT_TRUE(primario.unique);
    EXPECT_FALSE(primario.ignoreNulls);
    ASSERT_EQ(primario.fields.size(), 3u);
    EXPECT_EQ(primario.fields[0].name, QStringLiteral("Posizione"));
    EXPECT_EQ(primario.fields[2].name, QStringLiteral("Progressivo"));
    EXPECT_FALSE(primario.fields[1].descending);
    EXPECT_EQ(db.tableDef(QStringLiteral("Corbix")).indexes().size(), 1u);
    // Tables that have no index.
    for (const char *table : {"Compatibilita", "Paramflu", "UtenzeEDI", "RevisioniTabelle"})
        EXPECT_TRUE(db.tableDef(QString::fromLatin1(table)).indexes().empty()) << table;

    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT group_concat(name, ' ') FROM pragma_table_info('Corbix') WHERE pk > 0")),
              QStringList{QStringLiteral("Posizione Data Progressivo")});
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT group_concat(name, ' ') FROM pragma_index_info('DettaglioBol.Casella')")),
              QStringList{QStringLiteral("Indice Data Articolo Modulo Campo SottoCasella Riga")});
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT group_concat(name, ' ') FROM pragma_table_info('Merci') WHERE pk > 0")),
              QStringList{QStringLiteral("Codtar ClaPae Tributo Ordinale Preferenze")});
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT group_concat(name, ' ') FROM pragma_table_info('HCompagnia') WHERE pk > 0")),
              QStringList{QStringLiteral("Codice LetterD Sigla")});
}

TEST_F(ArchiveSchema, RowsOfANewArchive)
{
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT * FROM Paragen")),
              QStringList{QStringLiteral("BRELK.0011|<null>|0|1899-12-30|1|0")});
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT * FROM Compatibilita ORDER BY rowid")),
              (QStringList{QStringLiteral("X00|99.03.0001"), QStringLiteral("X01|99.02.0027"),
                           QStringLiteral("X02|99.03.0006"), QStringLiteral("X07|99.06.0000")}));
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT * FROM Paramflu")), QStringList{QStringLiteral("A:|0|0||0|C:\\")});
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT * FROM AliasTabelle")),
              QStringList{QStringLiteral("Anagrafe|Archivio anagrafico clienti/fornitori|zrqanagrafe")});
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT * FROM AliasCampiTabelle ORDER BY rowid")),
              (QStringList{
                  QStringLiteral("Anagrafe|CAP|cap|1|Codice di Avviamento Postale|800"),
                  QStringLiteral("Anagrafe|Codice|Codice|1|Codice univoco per l'indentificazione del cliente/fornitore|1500"),
                  QStringLiteral("Anagrafe|Indirizzo|Indirizzo|1|Indirizzo del cliente/fornitore|4000"),
                  QStringLiteral("Anagrafe|Indirizzo2|Indirizzo2|1|Eventuale seconda parte dell'indirizzo.|4000"),
                  QStringLiteral("Anagrafe|Localita|localita|1|Denominazione della località|4000"),
                  QStringLiteral("Anagrafe|PICF|picf|1|Partita IVA o codice fiscale|1800"),
                  QStringLiteral("Anagrafe|Provincia|provincia|1|Sigla della provincia|500"),
                  QStringLiteral("Anagrafe|Ragione Sociale|ragione|1|Ragione sociale del cliente/fornitore|4000"),
                  QStringLiteral("Anagrafe|Stato|stato|1|Codice 'ISO' del paese di appartenenza|500"),
                  QStringLiteral("Tributi|Detrazione|Destrazione|2|Importo del tributo in detrazione|700")}));
    // One revision row per table; the two changed tables stand at 2.
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT count(*) FROM RevisioniTabelle")), QStringList{QStringLiteral("27")});
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT Tabella FROM RevisioniTabelle WHERE Revisione <> 1 ORDER BY 1")),
              (QStringList{QStringLiteral("Compagnia"), QStringLiteral("Valuta")}));
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT count(*) FROM Corbix")), QStringList{QStringLiteral("0")});
}

TEST_F(ArchiveSchema, PrimaryIndexRefusesASecondFlowWithTheSameKey)
{
    dao::Database db = dao::Database::open(path);
    const QString insert = QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo) VALUES (?, ?, ?)");
    db.execute(insert, {3, QDate(2024, 3, 4), 1}, dao::FailOnError);
    try {
        db.execute(insert, {3, QDate(2024, 3, 4), 1}, dao::FailOnError);
        FAIL() << "duplicate accepted";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), platform::err::DuplicateKey);
    }
    int rc = 0;
    rawRows(path, QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo) VALUES (3, '2024-03-04', 1)"), &rc);
    EXPECT_EQ(rc, SQLITE_CONSTRAINT_PRIMARYKEY);
    // Another progressive number of the same date is a new flow.
    db.execute(insert, {3, QDate(2024, 3, 4), 2}, dao::FailOnError);
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT count(*) FROM Corbix")), QStringList{QStringLiteral("2")});
}

TEST_F(ArchiveSchema, CountersHoldAtMost255)
{
    dao::Database db = dao::Database::open(path);
    db.execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, OK) VALUES (3, ?, 1, 255)"),
               {QDate(2024, 3, 4)}, dao::FailOnError);
    for (const char *counter : {"OK", "KO", "ND"}) {
        auto rs = db.openRecordset(QStringLiteral("SELECT * FROM Corbix"));
        rs->edit();
        try {
            rs->setValue(QString::fromLatin1(counter), 256);
            rs->update();
            FAIL() << counter << " took 256";
        } catch (const platform::RuntimeError &e) {
            EXPECT_EQ(e.number(), platform::err::Overflow) << counter;
        }
        int rc = 0;
        rawRows(path, QStringLiteral("UPDATE Corbix SET %1 = 256").arg(QLatin1String(counter)), &rc);
        EXPECT_EQ(rc, SQLITE_CONSTRAINT_CHECK) << counter;
    }
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT OK, KO, ND FROM Corbix")),
              QStringList{QStringLiteral("255|<null>|<null>")});
}

TEST_F(ArchiveSchema, EmptyTextIsStoredAsNullAndReadAsEmpty)
{
    dao::Database db = dao::Database::open(path);
    auto rs = db.openRecordset(QStringLiteral("SELECT * FROM Corbix"));
    rs->addNew();
    rs->setValue(QStringLiteral("Posizione"), 3);
    rs->setValue(QStringLiteral("Data"), QDate(2024, 3, 4));
    rs->setValue(QStringLiteral("Progressivo"), 1);
    rs->setValue(QStringLiteral("FattoDa"), common::StrToNull(QString()));
    rs->update();
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT FattoDa IS NULL, NomeFile FROM Corbix")),
              QStringList{QStringLiteral("1|")});
    rs = db.openRecordset(QStringLiteral("SELECT * FROM Corbix"));
    EXPECT_TRUE(rs->value(QStringLiteral("FattoDa")).isNull());
    EXPECT_EQ(common::NullToStr(rs->value(QStringLiteral("FattoDa"))), QString());
}

TEST_F(ArchiveSchema, NeverOverwritesAnExistingFile)
{
    const QByteArray before = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    try {
        common::createArchive(path);
        FAIL() << "existing archive overwritten";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), platform::err::AlreadyExists);
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST(ProgramDatabase, HoldsTheRecordLayoutsWithTheirIndexes)
{
    testsupport::TempDir dir;
    const QString path = dir.file(QStringLiteral("Corbix.mdb"));
    common::createProgramDatabase(path);
    const dao::TableDef t = dao::Database::open(path).tableDef(QStringLiteral("Tracciati"));
    QStringList names;
    for (const dao::Field &f : t.fields())
        names << f.name;
    EXPECT_EQ(names.join(u' '), QStringLiteral("CodiceMsg Progressivo RifBRELK Trattamento Obbligatorio Numerico "
                                               "Troncabile Descrizione Picture RifMask1 RifMask2 Ripetizione "
                                               "RifBRELKErr"));
    EXPECT_EQ(t.field(QStringLiteral("Obbligatorio")).type, FieldType::Boolean);
    EXPECT_EQ(t.field(QStringLiteral("Ripetizione")).type, FieldType::Integer);
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT group_concat(name, ' ') FROM pragma_table_info('Tracciati') WHERE pk > 0")),
              QStringList{QStringLiteral("CodiceMsg Progressivo")});
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT group_concat(name, ' ') FROM pragma_index_info('Tracciati.Errore')")),
              QStringList{QStringLiteral("CodiceMsg RifMask1 RifMask2 Ripetizione")});
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE '\\_%' "
                                           "ESCAPE '\\'")),
              QStringList{QStringLiteral("Tracciati")});
}

TEST(AccountingDatabase, HoldsTheChartOfAccounts)
{
    testsupport::TempDir dir;
    const QString path = dir.file(QStringLiteral("Contabilita.mdb"));
    common::createAccountingDatabase(path);
    EXPECT_EQ(rawRows(path, QStringLiteral("SELECT group_concat(name, ' ') FROM pragma_table_info('PianoDeiConti')")),
              QStringList{QStringLiteral("Codice Descrizione natura parola")});
}

}  // namespace
