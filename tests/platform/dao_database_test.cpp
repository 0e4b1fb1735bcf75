#include "dao_fixture.h"

#include "platform/dao/connection.h"

#include <QDir>
#include <QFile>

using namespace daotest;
using dao::Database;
using dao::FieldType;

TEST(DaoOpen, RefusesWhatIsNotADatabaseAndNeverCreates)
{
    testsupport::TempDir dir;
    const QString missing = dir.file("manca.mdb");
    const QString empty = dir.write("vuoto.mdb", "");
    const QString text = dir.write("testo.mdb", "[Corbix]\r\nArchivio=C:\\Dogana\\\r\n");
    const QString shortHeader = dir.write("corto.mdb", "SQLite format 3");

    struct Case {
        QString path;
        int number;
        QString description;
    } cases[] = {
        {missing, 3024, "Impossibile trovare il file '" + missing + "'."},
        {empty, 3343, "Formato di database '" + empty + "' non riconosciuto."},
        {text, 3343, "Formato di database '" + text + "' non riconosciuto."},
        {shortHeader, 3343, "Formato di database '" + shortHeader + "' non riconosciuto."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        try {
            Database::open(c.path);
            FAIL() << "opened";
        } catch (const platform::RuntimeError &e) {
            EXPECT_EQ(e.number(), c.number);
            EXPECT_EQ(e.description(), c.description);
        }
    }
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(QFile(empty).size(), 0);
}

TEST(DaoOpen, CreateRefusesAnExistingFile)
{
    testsupport::TempDir dir;
    const QString path = dir.write("esiste.mdb", "dati");
    EXPECT_EQ(errorOf([&] { Database::create(path); }), 3010);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "dati");
}

TEST_F(DaoTest, OneConnectionPerFileWhateverTheSpelling)
{
    QDir(dir.path()).mkdir("sub");
    Database again = Database::open(dir.path() + "/./prova.mdb");
    Database third = Database::open(dir.path() + "/sub/../prova.mdb");
    EXPECT_EQ(&again.connection(), &db.connection());
    EXPECT_EQ(&third.connection(), &db.connection());
    // A transaction opened through one handle is seen by the others.
    db.beginTrans();
    EXPECT_EQ(again.transactionDepth(), 1);
    db.rollback();
}

TEST_F(DaoTest, UsesTheRollbackJournal)
{
    auto rs = db.openRecordset("PRAGMA journal_mode", {}, dao::RecordsetType::Snapshot);
    EXPECT_EQ(rs->value(0).toString().toLower(), "delete");
}

TEST_F(DaoTest, TableDefinitionReadsBackAsItWasMade)
{
    db.close();
    Database reopened = Database::open(path);
    const dao::TableDef t = reopened.tableDef("prova");
    EXPECT_EQ(t.name(), "Prova");

    QStringList names;
    for (const auto &f : t.fields())
        names << f.name;
    EXPECT_EQ(names, QStringList({"Codice", "Nome", "Nota", "Attivo", "Contatore", "Piccolo", "Grande",
                                  "Importo", "Data", "Testo"}));

    const dao::Field &code = t.field("CODICE");
    EXPECT_EQ(code.type, FieldType::Text);
    EXPECT_EQ(code.size, 5);
    EXPECT_TRUE(code.required);
    EXPECT_FALSE(code.allowZeroLength);
    EXPECT_TRUE(t.field("Nota").allowZeroLength);
    EXPECT_EQ(t.field("Contatore").type, FieldType::Byte);
    EXPECT_EQ(t.field("Contatore").defaultValue, "0");
    EXPECT_EQ(t.field("Data").type, FieldType::Date);
    EXPECT_EQ(t.field("Testo").type, FieldType::Memo);
    EXPECT_EQ(t.field("Attivo").type, FieldType::Boolean);

    const dao::Index *pk = t.primaryIndex();
    ASSERT_NE(pk, nullptr);
    EXPECT_EQ(pk->name, "PrimaryKey");
    ASSERT_EQ(pk->fields.size(), 1u);
    EXPECT_EQ(pk->fields[0].name, "Codice");
    EXPECT_TRUE(t.index("nome").unique);
    EXPECT_FALSE(t.index("nome").primary);
}

TEST_F(DaoTest, MissingNamesHaveTheirNumbers)
{
    const dao::TableDef t = db.tableDef("Prova");
    EXPECT_EQ(errorOf([&] { t.field("Manca"); }), 3265);
    EXPECT_EQ(errorOf([&] { t.index("Manca"); }), 3265);
    EXPECT_EQ(errorOf([&] { db.tableDef("Manca"); }), 3265);
    EXPECT_EQ(errorOf([&] { db.deleteTableDef("Manca"); }), 3265);
    EXPECT_EQ(errorOf([&] { db.openRecordset("SELECT * FROM Manca"); }), 3011);
    EXPECT_EQ(errorOf([&] { db.execute("DELETE FROM Manca", {}, dao::FailOnError); }), 3011);
    EXPECT_EQ(errorOf([&] { db.appendTableDef(sampleTable()); }), 3010);

    auto rs = db.openRecordset("SELECT * FROM Prova");
    EXPECT_EQ(errorOf([&] { rs->value("Manca"); }), 3265);
}

// A second statement after the first is refused whole, not passed over:
// nothing of the text runs.
TEST_F(DaoTest, TextAfterTheStatementIsRefused)
{
    insert("A", "Primo");
    EXPECT_EQ(errorOf([&] { db.execute("DELETE FROM Prova; DELETE FROM Prova", {}, dao::FailOnError); }), 3142);
    EXPECT_EQ(errorOf([&] { db.execute("DELETE FROM Prova; garbage", {}, dao::FailOnError); }), 3142);
    EXPECT_EQ(errorOf([&] { db.openRecordset("SELECT * FROM Prova; SELECT 1"); }), 3142);
    EXPECT_EQ(db.openRecordset("SELECT * FROM Prova")->recordCount(), 1);

    EXPECT_EQ(errorOf([&] { db.execute("UPDATE Prova SET Nome = 'Secondo';  -- fatto\n ", {}, dao::FailOnError); }), 0);
    EXPECT_EQ(db.openRecordset("SELECT Nome FROM Prova")->value("Nome"), QVariant("Secondo"));
}

TEST_F(DaoTest, CatalogStaysOutOfTheTableDefinitions)
{
    QStringList names;
    for (const auto &t : db.tableDefs())
        names << t.name();
    EXPECT_EQ(names, QStringList({"Prova"}));
}

TEST_F(DaoTest, FieldsAndIndexesAppendedLater)
{
    dao::Field extra("Aggiunto", FieldType::Text, 3);
    extra.defaultValue = "\"A:\"";
    db.appendField("Prova", extra);
    EXPECT_EQ(errorOf([&] { db.appendField("Prova", extra); }), 3191);

    dao::Index byCount;
    byCount.name = "Contatore";
    byCount.fields = {{"Contatore", true}};
    db.appendIndex("Prova", byCount);
    EXPECT_EQ(errorOf([&] { db.appendIndex("Prova", byCount); }), 3284);

    insert("A1", "Primo");
    auto rs = db.openRecordset("SELECT * FROM Prova");
    EXPECT_EQ(rs->value("Aggiunto").toString(), "A:");

    const dao::TableDef t = db.tableDef("Prova");
    EXPECT_EQ(t.fields().back().name, "Aggiunto");
    EXPECT_TRUE(t.index("Contatore").fields[0].descending);

    db.deleteIndex("Prova", "Contatore");
    EXPECT_FALSE(db.tableDef("Prova").hasIndex("Contatore"));
    db.renameTableDef("Prova", "Rinominata");
    EXPECT_TRUE(db.hasTable("RINOMINATA"));
    EXPECT_FALSE(db.hasTable("Prova"));
}

TEST_F(DaoTest, TableMadeOutsideTheLayerIsReadFromTheFile)
{
    RawConnection other(path);
    ASSERT_EQ(other.exec("CREATE TABLE Esterna (Id INTEGER, Descrizione VARCHAR(20))"), SQLITE_OK);
    ASSERT_TRUE(db.hasTable("esterna"));
    const dao::TableDef t = db.tableDef("Esterna");
    ASSERT_EQ(t.fields().size(), 2u);
    EXPECT_EQ(t.fields()[1].name, "Descrizione");
    EXPECT_EQ(t.fields()[1].type, FieldType::Text);
}
