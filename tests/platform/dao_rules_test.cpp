#include "dao_fixture.h"

#include <QDate>

using namespace daotest;

namespace {

struct RuleCase {
    const char *what;
    QString column;
    QVariant value;
    int number;         // through the layer
    QString rawLiteral; // the same value written straight through SQLite
};

}  // namespace

// Each rule of a field, met by an insert through the layer with its number
// and by the same insert made by another program through plain SQLite.
TEST_F(DaoTest, EveryFieldRuleHasItsNumberAndHoldsInTheFileItself)
{
    insert("A1", "Primo");
    const RuleCase cases[] = {
        {"duplicate primary key", "Codice", "A1", 3022, "'A1'"},
        {"duplicate key differing in case", "Codice", "a1", 3022, "'a1'"},
        {"Null primary key", "Codice", QVariant(), 3058, "NULL"},
        {"text longer than its width", "Nota", "123456789012345678901", 3163, "'123456789012345678901'"},
        {"Byte above 255", "Contatore", 256, 6, "256"},
        {"Byte below 0", "Contatore", -1, 6, "-1"},
        {"Integer above 32767", "Piccolo", 32768, 6, "32768"},
        {"Integer below -32768", "Piccolo", -32769, 6, "-32769"},
        {"Long above 2^31-1", "Grande", 2147483648LL, 6, "2147483648"},
        {"Yes/No other than -1 and 0", "Attivo", 1, 0, "1"},
        {"date not in canonical form", "Data", QVariant(), 0, "'15/01/2026'"},
    };
    RawConnection other(path);
    int n = 0;
    for (const RuleCase &c : cases) {
        SCOPED_TRACE(c.what);
        const QString code = c.column == "Codice" ? QString() : QString("R%1").arg(n++);
        if (c.number != 0) {
            QVariantList params;
            QString sql;
            if (c.column == "Codice") {
                sql = "INSERT INTO Prova (Codice, Nome) VALUES (?, 'Altro')";
                params = {c.value};
            } else {
                sql = "INSERT INTO Prova (Codice, Nome, " + c.column + ") VALUES (?, ?, ?)";
                params = {code, code, c.value};
            }
            EXPECT_EQ(errorOf([&] { db.execute(sql, params, dao::FailOnError); }), c.number);
        }
        const QString raw = c.column == "Codice"
                                ? "INSERT INTO Prova (Codice, Nome) VALUES (" + c.rawLiteral + ", 'Altro')"
                                : "INSERT INTO Prova (Codice, Nome, " + c.column + ") VALUES ('" + code +
                                      "', '" + code + "', " + c.rawLiteral + ")";
        EXPECT_EQ(other.exec(raw), SQLITE_CONSTRAINT) << other.lastMessage.toStdString();
    }
    auto rs = db.openRecordset("SELECT COUNT(*) AS N FROM Prova");
    EXPECT_EQ(rs->value("N").toInt(), 1);
}

TEST_F(DaoTest, RequiredAndZeroLengthRules)
{
    RawConnection other(path);
    // Nome is required and refuses the empty text; Nota allows it.
    EXPECT_EQ(errorOf([&] {
                  db.execute("INSERT INTO Prova (Codice) VALUES ('B1')", {}, dao::FailOnError);
              }),
              3314);
    EXPECT_EQ(errorOf([&] {
                  db.execute("INSERT INTO Prova (Codice, Nome) VALUES ('B1', ?)", {QString("")},
                             dao::FailOnError);
              }),
              3315);
    EXPECT_EQ(other.exec("INSERT INTO Prova (Codice) VALUES ('B1')"), SQLITE_CONSTRAINT);
    EXPECT_EQ(other.exec("INSERT INTO Prova (Codice, Nome) VALUES ('B1', '')"), SQLITE_CONSTRAINT);

    db.execute("INSERT INTO Prova (Codice, Nome, Nota) VALUES ('B1', 'Uno', '')", {}, dao::FailOnError);
    auto rs = db.openRecordset("SELECT Nota, Testo FROM Prova WHERE Codice = 'B1'");
    EXPECT_FALSE(rs->value("Nota").isNull());
    EXPECT_EQ(rs->value("Nota").toString(), "");
    EXPECT_TRUE(rs->value("Testo").isNull());
}

TEST_F(DaoTest, TheNameOfTheFieldIsInTheMessage)
{
    try {
        db.execute("INSERT INTO Prova (Codice, Nome) VALUES ('C1', '')", {}, dao::FailOnError);
        FAIL();
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.description(), "Il campo 'Prova.Nome' non può essere una stringa di lunghezza zero.");
    }
}

TEST_F(DaoTest, WithoutFailOnErrorTheBrokenRowsAreSkipped)
{
    insert("A1", "Primo");
    const int changed =
        db.execute("INSERT INTO Prova (Codice, Nome) VALUES ('A1', 'Doppio')", {}, 0);
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(db.recordsAffected(), 0);
    EXPECT_EQ(db.execute("UPDATE Prova SET Nome = 'Nuovo' WHERE Codice = 'A1'"), 1);
    auto rs = db.openRecordset("SELECT Nome FROM Prova");
    EXPECT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value("Nome").toString(), "Nuovo");
}

TEST_F(DaoTest, RecordsetUpdateMeetsTheSameRules)
{
    insert("A1", "Primo");
    auto rs = db.openRecordset("SELECT * FROM Prova");
    rs->addNew();
    rs->setValue("Codice", "A2");
    rs->setValue("Nome", "Primo");
    EXPECT_EQ(errorOf([&] { rs->update(); }), 3022);
    rs->cancelUpdate();

    rs->addNew();
    rs->setValue("Codice", "A2");
    rs->setValue("Nome", "Secondo");
    rs->setValue("Contatore", 300);
    EXPECT_EQ(errorOf([&] { rs->update(); }), 6);
    EXPECT_EQ(errorOf([&] { rs->setValue("Contatore", "molti"); }), 3421);
    rs->setValue("Contatore", QVariant());
    rs->update();
    EXPECT_EQ(rs->recordCount(), 2);  // a dynaset keeps the rows it adds, at its end

    auto all = db.openRecordset("SELECT Codice, Contatore FROM Prova ORDER BY Codice");
    ASSERT_EQ(all->recordCount(), 2);
    all->moveLast();
    EXPECT_EQ(all->value("Codice").toString(), "A2");
    EXPECT_TRUE(all->value("Contatore").isNull());

    rs->addNew();
    EXPECT_EQ(rs->value("Contatore").toInt(), 0);  // AddNew fills in the defaults
    EXPECT_TRUE(rs->value("Nota").isNull());
    rs->setValue("Codice", "A3");
    rs->setValue("Nome", "Terzo");
    rs->update();
    auto added = db.openRecordset("SELECT Contatore FROM Prova WHERE Codice = 'A3'");
    EXPECT_EQ(added->value("Contatore").toInt(), 0);
}

TEST_F(DaoTest, ValuesAreStoredInTheirCanonicalForm)
{
    db.execute("INSERT INTO Prova (Codice, Nome, Attivo, Data, Importo) VALUES (?, ?, ?, ?, ?)",
               {"D1", "Date", true, QDate(2026, 3, 9), 12.5}, dao::FailOnError);
    {
        auto rs = db.openRecordset("SELECT * FROM Prova");
        rs->edit();
        rs->setValue("Grande", 2.5);
        rs->update();
    }
    sqlite3 *raw = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(raw, "SELECT Attivo, Data, Grande FROM Prova", -1, &st, nullptr);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(st, 0), -1);
    EXPECT_STREQ(reinterpret_cast<const char *>(sqlite3_column_text(st, 1)), "2026-03-09");
    EXPECT_EQ(sqlite3_column_int(st, 2), 2);  // whole numbers round half to even
    sqlite3_finalize(st);
    sqlite3_close(raw);

    auto rs = db.openRecordset("SELECT * FROM Prova");
    EXPECT_EQ(rs->value("Attivo").toBool(), true);
    EXPECT_EQ(rs->value("Data").toDate(), QDate(2026, 3, 9));
    EXPECT_DOUBLE_EQ(rs->value("Importo").toDouble(), 12.5);
}
