#include "common/schemaedit.h"

#include "platform/dao/connection.h"
#include "platform/dao/recordset.h"
#include "platform/dao_fixture.h"
#include "platform/messagebox.h"
#include "support/doubles/recordingmessagebox.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace common;
using dao::Field;
using dao::FieldType;
using dao::TableDef;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

// Rows as another program sees them, through the plain SQLite C API; Null as "NULL".
std::vector<QStringList> rawRows(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::vector<QStringList> rows;
    sqlite3_exec(
        db, sql.toUtf8().constData(),
        [](void *out, int n, char **values, char **) {
            QStringList row;
            for (int i = 0; i < n; ++i)
                row << (values[i] ? QString::fromUtf8(values[i]) : QStringLiteral("NULL"));
            static_cast<std::vector<QStringList> *>(out)->push_back(row);
            return 0;
        },
        &rows, nullptr);
    sqlite3_close(db);
    return rows;
}

QStringList rawColumns(const QString &path, const QString &table)
{
    QStringList names;
    for (const QStringList &row : rawRows(path, "SELECT name FROM pragma_table_info('" + table + "')"))
        names << row[0];
    return names;
}

QStringList fieldNames(const TableDef &table)
{
    QStringList names;
    for (const Field &f : table.fields())
        names << f.name;
    return names;
}

// Makes one kind of statement on one table fail when it is prepared, so that
// a routine meets an error halfway through its work.
class FailHalfway {
public:
    FailHalfway(dao::Database &db, int action, QString table) : db_(db), action_(action), table_(std::move(table))
    {
        sqlite3_set_authorizer(db_.connection().handle(), &FailHalfway::authorize, this);
    }
    ~FailHalfway() { sqlite3_set_authorizer(db_.connection().handle(), nullptr, nullptr); }

    int denied = 0;

private:
    static int authorize(void *self, int action, const char *name, const char *, const char *, const char *)
    {
        auto *f = static_cast<FailHalfway *>(self);
        if (action == f->action_ && name && f->table_.compare(QString::fromUtf8(name), Qt::CaseInsensitive) == 0) {
            ++f->denied;
            return SQLITE_DENY;
        }
        return SQLITE_OK;
    }

    dao::Database &db_;
    int action_;
    QString table_;
};

Message runtimeError(int number, const QString &description, const QString &routine)
{
    return {"Errore di Run-time " + QString::number(number) + "\r\n" + description + "\r\nSi è verificato nella funzione '"
                + routine + "'",
            "Corbix", MsgIcon::Critical, MsgButtons::OK, 1};
}

class SchemaEditTest : public daotest::DaoTest {
protected:
    void SetUp() override
    {
        DaoTest::SetUp();
        db.execute("INSERT INTO Prova (Codice, Nome, Nota, Attivo, Piccolo, Grande, Importo, Data, Testo) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                   {"A1", "Primo", "abcdefgh", true, 12, 123, 1.5, QDate(2026, 1, 15), "lungo"}, dao::FailOnError);
        db.execute("INSERT INTO Prova (Codice, Nome, Nota) VALUES (?, ?, ?)", {"B2", "Secondo", ""},
                   dao::FailOnError);
        before = snapshot();
    }

    // The table as the file holds it: its SQL, its rows, the layer's definition.
    struct Snapshot {
        std::vector<QStringList> schema;
        std::vector<QStringList> rows;
        QStringList fields;
        bool operator==(const Snapshot &) const = default;
    };
    Snapshot snapshot(const QString &table = "Prova")
    {
        return {rawRows(path, "SELECT type, name, sql FROM sqlite_master WHERE tbl_name = '" + table
                                  + "' ORDER BY name"),
                rawRows(path, "SELECT * FROM \"" + table + "\" ORDER BY 1"), fieldNames(db.tableDef(table))};
    }

    platform::RecordingMessageBoxService boxes;
    platform::ScopedMessageBoxService guard{boxes};
    Snapshot before;
};

const QStringList SampleFields = {"Codice", "Nome", "Nota", "Attivo", "Contatore",
                                  "Piccolo", "Grande", "Importo", "Data", "Testo"};

}  // namespace

TEST(SchemaEdit, NewDBFieldName)
{
    struct Case {
        QStringList fields;
        const char *name;
    } cases[] = {
        {{"Codice"}, "A"},
        {{"A", "A_"}, "A__"},
        {{"a"}, "A_"},
        {{"A_", "B"}, "A"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TableDef t("T");
        for (const QString &f : c.fields)
            t.appendField(Field(f, FieldType::Text, 5));
        EXPECT_EQ(NewDBFieldName(t), c.name);
    }
}

TEST_F(SchemaEditTest, CreateDBTableCopiesTheLayoutWithTheIndexesAndNoRows)
{
    EXPECT_EQ(CreateDBTable(db, "prova", "Copia", 1), 0);
    const TableDef copy = db.tableDef("Copia");
    EXPECT_EQ(fieldNames(copy), SampleFields);
    for (const Field &f : copy.fields()) {
        SCOPED_TRACE(f.name.toStdString());
        EXPECT_EQ(f.type, db.tableDef("Prova").field(f.name).type);
        EXPECT_EQ(f.size, db.tableDef("Prova").field(f.name).size);
        EXPECT_FALSE(f.required);
        EXPECT_TRUE(f.defaultValue.isEmpty());
    }
    ASSERT_EQ(copy.indexes().size(), 2u);
    EXPECT_EQ(copy.indexes()[0].name, "PrimaryKey");
    EXPECT_TRUE(copy.indexes()[0].primary);
    EXPECT_EQ(copy.indexes()[0].fields[0].name, "Codice");
    EXPECT_EQ(copy.indexes()[1].name, "Nome");
    EXPECT_TRUE(copy.indexes()[1].unique);
    EXPECT_TRUE(rawRows(path, "SELECT * FROM Copia").empty());
    EXPECT_EQ(rawColumns(path, "Copia"), SampleFields);
    EXPECT_EQ(rawRows(path, "SELECT count(*) FROM sqlite_master WHERE tbl_name = 'Copia' AND type = 'index'"),
              (std::vector<QStringList>{{"2"}}));
    EXPECT_EQ(snapshot(), before);

    // The unique index holds in the copy.
    db.execute("INSERT INTO Copia (Codice, Nome) VALUES ('X', 'Uno')", {}, dao::FailOnError);
    EXPECT_EQ(daotest::errorOf([&] {
                  db.execute("INSERT INTO Copia (Codice, Nome) VALUES ('Y', 'Uno')", {}, dao::FailOnError);
              }),
              3022);
}

TEST_F(SchemaEditTest, CreateDBTableWithoutIndexesOrIntoAnotherDatabase)
{
    EXPECT_EQ(CreateDBTable(db, "Prova", "Nuda", 0), 0);
    EXPECT_TRUE(db.tableDef("Nuda").indexes().empty());

    dao::Database other = dao::Database::create(dir.file("altro.mdb"));
    EXPECT_EQ(CreateDBTable(db, "Prova", "Prova", 1, &other), 0);
    EXPECT_EQ(fieldNames(other.tableDef("Prova")), SampleFields);
    EXPECT_EQ(other.tableDef("Prova").indexes().size(), 2u);

    dao::Database closed;
    EXPECT_EQ(CreateDBTable(db, "Prova", "Terza", 1, &closed), -4);
    EXPECT_FALSE(db.hasTable("Terza"));
}

TEST_F(SchemaEditTest, CreateDBTableRefusesWhatWouldLoseATable)
{
    ASSERT_EQ(CreateDBTable(db, "Prova", "Copia", 1), 0);
    db.execute("INSERT INTO Copia (Codice, Nome) VALUES ('X', 'Uno')", {}, dao::FailOnError);
    const Snapshot copy = snapshot("Copia");

    struct Case {
        const char *source;
        const char *target;
        int flags;
        int result;
    } cases[] = {
        {"Prova", "Copia", 0, -1},    // exists, no replacing asked
        {"Prova", "COPIA", 1, -1},    // names compare without regard to case
        {"Manca", "Copia", 2, -3},    // the source is checked before the target is touched
        {"Manca", "Copia", 3, -3},
        {"Copia", "Copia", 2, -3},    // a table cannot replace itself
        {"Copia", "copia", 3, -3},
        {"Copia", "Copia", 0, -1},    // without replacing, its own name exists like any other
        {"Copia", "COPIA", 1, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.source << " " << c.target << " " << c.flags);
        EXPECT_EQ(CreateDBTable(db, c.source, c.target, c.flags), c.result);
        EXPECT_EQ(snapshot("Copia"), copy);
    }
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SchemaEditTest, CreateDBTableReplacesATable)
{
    ASSERT_EQ(CreateDBTable(db, "Prova", "Copia", 0), 0);
    db.execute("INSERT INTO Copia (Codice, Nome) VALUES ('X', 'Uno')", {}, dao::FailOnError);
    EXPECT_EQ(CreateDBTable(db, "Prova", "Copia", 3), 0);
    EXPECT_TRUE(rawRows(path, "SELECT * FROM Copia").empty());
    EXPECT_EQ(db.tableDef("Copia").indexes().size(), 2u);
}

TEST_F(SchemaEditTest, CreateDBTableFailingHalfwayKeepsTheTableItWasReplacing)
{
    ASSERT_EQ(CreateDBTable(db, "Prova", "Copia", 1), 0);
    db.execute("INSERT INTO Copia (Codice, Nome) VALUES ('X', 'Uno')", {}, dao::FailOnError);
    const Snapshot copy = snapshot("Copia");
    {
        FailHalfway failure(db, SQLITE_CREATE_TABLE, "Copia");
        EXPECT_EQ(CreateDBTable(db, "Prova", "Copia", 3), -3);
        EXPECT_EQ(failure.denied, 1);
    }
    EXPECT_EQ(snapshot("Copia"), copy);
    EXPECT_EQ(db.transactionDepth(), 0);
}

TEST_F(SchemaEditTest, ChangeDBFieldNameKeepsTheDataTheRulesAndTheIndex)
{
    EXPECT_EQ(ChangeDBFieldName(db, "Prova", "nome", "Denominazione"), 0);
    const TableDef t = db.tableDef("Prova");
    QStringList expected = SampleFields;
    expected.removeAll("Nome");
    expected << "Denominazione";
    EXPECT_EQ(fieldNames(t), expected);
    EXPECT_EQ(rawColumns(path, "Prova"), expected);
    const Field &f = t.field("Denominazione");
    EXPECT_EQ(f.type, FieldType::Text);
    EXPECT_EQ(f.size, 10);
    EXPECT_TRUE(f.required);
    EXPECT_EQ(rawRows(path, "SELECT Codice, Denominazione FROM Prova ORDER BY Codice"),
              (std::vector<QStringList>{{"A1", "Primo"}, {"B2", "Secondo"}}));
    ASSERT_TRUE(t.hasIndex("Nome"));
    EXPECT_EQ(t.index("Nome").fields[0].name, "Denominazione");
    EXPECT_EQ(daotest::errorOf([&] {
                  db.execute("INSERT INTO Prova (Codice, Denominazione) VALUES ('C3', 'Primo')", {}, dao::FailOnError);
              }),
              3022);
    EXPECT_EQ(daotest::errorOf([&] {
                  db.execute("INSERT INTO Prova (Codice) VALUES ('C3')", {}, dao::FailOnError);
              }),
              3314);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SchemaEditTest, ChangeDBFieldNameFailures)
{
    struct Case {
        const char *table;
        const char *oldName;
        const char *newName;
        int result;
    } cases[] = {
        {"Manca", "Nome", "X", -1},
        {"Prova", "Manca", "X", -2},
        {"Prova", "Nome", "codice", -3191},
        {"Prova", "Nome", "", -3125},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.newName);
        EXPECT_EQ(ChangeDBFieldName(db, c.table, c.oldName, c.newName), c.result);
        EXPECT_EQ(snapshot(), before);
    }
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0], runtimeError(3191, "Impossibile definire il campo 'codice' più di una volta.",
                                           "ChangeDBFieldName"));
    EXPECT_EQ(boxes.shown[1], runtimeError(3125, "'' non è un nome valido.", "ChangeDBFieldName"));
}

TEST_F(SchemaEditTest, ChangeDBFieldNameFailingHalfwayLeavesTheTableAsItWas)
{
    {
        FailHalfway failure(db, SQLITE_INSERT, "Prova");
        const int result = ChangeDBFieldName(db, "Prova", "Nome", "Denominazione");
        EXPECT_EQ(failure.denied, 1);
        EXPECT_EQ(result, -3000);
    }
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(db.transactionDepth(), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("Errore di Run-time 3000\r\n"));
    EXPECT_TRUE(boxes.shown[0].text.endsWith("\r\nSi è verificato nella funzione 'ChangeDBFieldName'"));
}

TEST_F(SchemaEditTest, ChangeDBFieldTypeConvertsTheData)
{
    EXPECT_EQ(ChangeDBFieldType(db, "Prova", "grande", long(FieldType::Text), 10, true), 0);
    EXPECT_EQ(ChangeDBFieldType(db, "Prova", "Nota", long(FieldType::Memo), 0, true), 0);
    const TableDef t = db.tableDef("Prova");
    QStringList expected = SampleFields;
    expected.removeAll("Grande");
    expected.removeAll("Nota");
    expected << "Grande" << "Nota";
    EXPECT_EQ(fieldNames(t), expected);
    EXPECT_EQ(rawColumns(path, "Prova"), expected);
    EXPECT_EQ(t.field("Grande").type, FieldType::Text);
    EXPECT_EQ(t.field("Grande").size, 10);
    EXPECT_EQ(t.field("Nota").type, FieldType::Memo);
    EXPECT_TRUE(t.field("Nota").allowZeroLength);
    EXPECT_EQ(rawRows(path, "SELECT Codice, Grande, typeof(Grande), Nota FROM Prova ORDER BY Codice"),
              (std::vector<QStringList>{{"A1", "123", "text", "abcdefgh"}, {"B2", "NULL", "null", ""}}));
    auto rs = db.openRecordset("SELECT Grande FROM Prova WHERE Codice = 'A1'");
    EXPECT_EQ(rs->value("Grande"), QVariant("123"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SchemaEditTest, ChangeDBFieldTypeOfTheSameTypeChangesNothing)
{
    EXPECT_EQ(ChangeDBFieldType(db, "Prova", "Nome", long(FieldType::Text), 50, true), 0);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(db.tableDef("Prova").field("Nome").size, 10);
}

TEST_F(SchemaEditTest, ChangeDBFieldTypeFailures)
{
    struct Case {
        const char *table;
        const char *field;
        long type;
        int size;
        bool show;
        int result;
    } cases[] = {
        {"Manca", "Nome", 4, 0, true, -1},
        {"Prova", "Manca", 4, 0, true, -2},
        {"Prova", "Nome", 99, 0, true, -3001},
        {"Prova", "Grande", 10, 300, true, -3001},
        // "Primo" is no number: the copy fails on its first row.
        {"Prova", "Nome", 4, 0, true, -3421},
        {"Prova", "Nome", 4, 0, false, -3421},
        // 1.5 is no Yes/No value.
        {"Prova", "Importo", 1, 0, false, -3421},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.field << " " << c.type);
        EXPECT_EQ(ChangeDBFieldType(db, c.table, c.field, c.type, c.size, c.show), c.result);
        EXPECT_EQ(snapshot(), before);
    }
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[0], runtimeError(3001, "Argomento non valido.", "ChangeDBFieldType"));
    EXPECT_EQ(boxes.shown[1], runtimeError(3001, "Argomento non valido.", "ChangeDBFieldType"));
    EXPECT_EQ(boxes.shown[2].text.section("\r\n", 0, 0), "Errore di Run-time 3421");
    EXPECT_EQ(db.transactionDepth(), 0);
}

TEST_F(SchemaEditTest, ChangeDBFieldSizeWidensInPlace)
{
    EXPECT_EQ(ChangeDBFieldSize(db, "Prova", "nome", 30), 0);
    const TableDef t = db.tableDef("Prova");
    EXPECT_EQ(fieldNames(t), SampleFields);
    EXPECT_EQ(rawColumns(path, "Prova"), SampleFields);
    EXPECT_EQ(t.field("Nome").size, 30);
    EXPECT_TRUE(t.field("Nome").required);
    EXPECT_EQ(before.rows, snapshot().rows);
    db.execute("INSERT INTO Prova (Codice, Nome) VALUES ('C3', ?)", {QString(30, u'x')}, dao::FailOnError);
    EXPECT_EQ(daotest::errorOf([&] {
                  db.execute("INSERT INTO Prova (Codice, Nome) VALUES ('D4', ?)", {QString(31, u'x')},
                             dao::FailOnError);
              }),
              3163);
    EXPECT_EQ(daotest::errorOf([&] {
                  db.execute("INSERT INTO Prova (Codice, Nome) VALUES ('E5', 'primo')", {}, dao::FailOnError);
              }),
              3022);
}

TEST_F(SchemaEditTest, ChangeDBFieldSizeNarrowsOnlyWhatFits)
{
    EXPECT_EQ(ChangeDBFieldSize(db, "Prova", "Nota", 7), -3);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(ChangeDBFieldSize(db, "Prova", "Nota", 8), 0);
    EXPECT_EQ(db.tableDef("Prova").field("Nota").size, 8);
    EXPECT_TRUE(db.tableDef("Prova").field("Nota").allowZeroLength);
    EXPECT_EQ(before.rows, snapshot().rows);
}

TEST_F(SchemaEditTest, ChangeDBFieldSizeFailures)
{
    struct Case {
        const char *table;
        const char *field;
        int size;
        int result;
    } cases[] = {
        {"Manca", "Nome", 20, -1}, {"Prova", "Manca", 20, -2}, {"Prova", "Testo", 20, -3},
        {"Prova", "Grande", 20, -3}, {"Prova", "Nome", 0, -3001}, {"Prova", "Nome", 256, -3001},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.field << " " << c.size);
        EXPECT_EQ(ChangeDBFieldSize(db, c.table, c.field, c.size), c.result);
        EXPECT_EQ(snapshot(), before);
    }
    {
        FailHalfway failure(db, SQLITE_INSERT, "Prova");
        EXPECT_EQ(ChangeDBFieldSize(db, "Prova", "Nome", 20), -3000);
        EXPECT_EQ(failure.denied, 1);
    }
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(boxes.shown.empty());
}
