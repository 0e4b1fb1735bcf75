#include "dao_fixture.h"

#include "platform/dao/values.h"

#include <QDate>

using namespace daotest;
using dao::RecordsetType;

class DaoRows : public DaoTest {
protected:
    void SetUp() override
    {
        DaoTest::SetUp();
        insert("A1", "Primo");
        insert("A2", "Secondo");
        insert("A3", "Terzo");
    }

    QStringList names(const QString &sql = "SELECT Nome FROM Prova ORDER BY Codice",
                      const QVariantList &params = {})
    {
        QStringList out;
        auto rs = db.openRecordset(sql, params);
        for (; !rs->eof(); rs->moveNext())
            out << rs->value("Nome").toString();
        return out;
    }
};

TEST_F(DaoRows, MovesCountAndPosition)
{
    for (RecordsetType type : {RecordsetType::Dynaset, RecordsetType::Snapshot}) {
        SCOPED_TRACE(int(type));
        auto rs = db.openRecordset("SELECT * FROM Prova ORDER BY Codice", {}, type);
        EXPECT_FALSE(rs->eof());
        EXPECT_EQ(rs->recordCount(), 3);
        EXPECT_EQ(rs->absolutePosition(), 0);
        rs->moveLast();
        EXPECT_EQ(rs->value("Codice").toString(), "A3");
        EXPECT_EQ(rs->absolutePosition(), 2);
        rs->moveNext();
        EXPECT_TRUE(rs->eof());
        EXPECT_EQ(rs->absolutePosition(), -1);
        EXPECT_EQ(errorOf([&] { rs->value("Codice"); }), 3021);
        EXPECT_EQ(errorOf([&] { rs->moveNext(); }), 3021);
        rs->moveFirst();
        rs->movePrevious();
        EXPECT_TRUE(rs->bof());
        rs->setAbsolutePosition(1);
        EXPECT_EQ(rs->value("nome").toString(), "Secondo");
        EXPECT_EQ(rs->value(1).toString(), "Secondo");
    }
    auto none = db.openRecordset("SELECT * FROM Prova WHERE Codice = 'Z'");
    EXPECT_TRUE(none->eof());
    EXPECT_TRUE(none->bof());
    EXPECT_EQ(none->recordCount(), 0);
    EXPECT_EQ(errorOf([&] { none->edit(); }), 3021);
    EXPECT_EQ(errorOf([&] { none->update(); }), 3020);
}

TEST_F(DaoRows, EditDeleteAndWhatTheOtherKindsSee)
{
    auto dynaset = db.openRecordset("SELECT * FROM Prova ORDER BY Codice");
    auto snapshot = db.openRecordset("SELECT * FROM Prova ORDER BY Codice", {}, RecordsetType::Snapshot);
    dynaset->edit();
    dynaset->setValue("Nome", "Cambiato");
    dynaset->update();
    EXPECT_EQ(dynaset->value("Nome").toString(), "Cambiato");
    EXPECT_EQ(snapshot->value("Nome").toString(), "Primo");
    EXPECT_EQ(errorOf([&] { snapshot->edit(); }), 3027);

    auto other = db.openRecordset("SELECT * FROM Prova ORDER BY Codice");
    dynaset->moveNext();
    dynaset->deleteCurrent();
    EXPECT_EQ(errorOf([&] { dynaset->value("Nome"); }), 3167);
    dynaset->moveNext();
    EXPECT_EQ(dynaset->value("Codice").toString(), "A3");
    other->moveNext();
    EXPECT_EQ(errorOf([&] { other->value("Nome"); }), 3167);  // deleted by another recordset
    EXPECT_EQ(names(), QStringList({"Cambiato", "Terzo"}));
}

TEST_F(DaoRows, NestedTransactionsRollBackAtEachDepth)
{
    // Each depth renames one row; rolling back at depth d keeps the renames
    // made above it and undoes those from d down.
    for (int rollbackAt = 1; rollbackAt <= 3; ++rollbackAt) {
        SCOPED_TRACE(rollbackAt);
        const char *codes[] = {"A1", "A2", "A3"};
        for (int d = 1; d <= 3; ++d) {
            db.beginTrans();
            EXPECT_EQ(db.transactionDepth(), d);
            db.execute("UPDATE Prova SET Nome = Nome || '*' WHERE Codice = ?", {codes[d - 1]},
                       dao::FailOnError);
        }
        for (int d = 3; d >= 1; --d) {
            if (d == rollbackAt)
                db.rollback();
            else
                db.commitTrans();
        }
        EXPECT_EQ(db.transactionDepth(), 0);
        QStringList expected = {"Primo", "Secondo", "Terzo"};
        for (int d = 1; d < rollbackAt; ++d)
            expected[d - 1] += "*";
        EXPECT_EQ(names(), expected);
        db.execute("UPDATE Prova SET Nome = REPLACE(Nome, '*', '')", {}, dao::FailOnError);
    }
    EXPECT_EQ(errorOf([&] { db.commitTrans(); }), 3034);
    EXPECT_EQ(errorOf([&] { db.rollback(); }), 3034);
}

TEST_F(DaoRows, RecordsetOpenAcrossARollback)
{
    auto rs = db.openRecordset("SELECT * FROM Prova ORDER BY Codice");
    db.beginTrans();
    rs->moveNext();
    rs->edit();
    rs->setValue("Nome", "Prova");
    rs->update();
    db.execute("DELETE * FROM Prova WHERE Codice = 'A3'", {}, dao::FailOnError);
    db.rollback();

    EXPECT_EQ(rs->value("Nome").toString(), "Secondo");
    rs->moveNext();
    EXPECT_EQ(rs->value("Nome").toString(), "Terzo");
    rs->moveFirst();
    EXPECT_EQ(rs->value("Nome").toString(), "Primo");
    EXPECT_EQ(rs->recordCount(), 3);
}

TEST_F(DaoRows, TransactionGuardRollsBackWhenLeftByAnError)
{
    try {
        dao::Transaction tx(db);
        db.execute("UPDATE Prova SET Nome = 'Via'", {}, dao::FailOnError);
        insert("A1", "Doppio");  // 3022
        tx.commit();
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), 3022);
    }
    EXPECT_EQ(db.transactionDepth(), 0);
    EXPECT_EQ(names(), QStringList({"Primo", "Secondo", "Terzo"}));
}

TEST_F(DaoRows, DatesInSql)
{
    db.execute("UPDATE Prova SET Data = ? WHERE Codice = 'A1'", {QDate(2026, 1, 31)}, dao::FailOnError);
    db.execute("UPDATE Prova SET Data = ? WHERE Codice = 'A2'", {QDate(2026, 2, 1)}, dao::FailOnError);
    db.execute("UPDATE Prova SET Data = DateValue('3/2/2026') WHERE Codice = 'A3'", {}, dao::FailOnError);

    const struct {
        QString sql;
        QVariantList params;
        QStringList expected;
    } cases[] = {
        {"SELECT Nome FROM Prova WHERE Data >= DateValue('01/02/2026') ORDER BY Data", {},
         {"Secondo", "Terzo"}},
        {"SELECT Nome FROM Prova WHERE Data = DateValue(?)", {"31/01/2026"}, {"Primo"}},
        {"SELECT Nome FROM Prova WHERE Data = DateValue('2026-02-03')", {}, {"Terzo"}},
        {"SELECT Nome FROM Prova WHERE Data < ? ORDER BY Data", {QDate(2026, 2, 3)}, {"Primo", "Secondo"}},
        {"SELECT Nome FROM Prova ORDER BY Data DESC", {}, {"Terzo", "Secondo", "Primo"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        EXPECT_EQ(names(c.sql, c.params), c.expected);
    }
    auto rs = db.openRecordset("SELECT Data FROM Prova WHERE Codice = 'A3'");
    EXPECT_EQ(rs->value("Data").toDate(), QDate(2026, 2, 3));
}

TEST_F(DaoRows, TextComparesWithoutRegardToCase)
{
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE Nome = 'SECONDO'"), QStringList({"Secondo"}));
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE Codice = ?", {"a3"}), QStringList({"Terzo"}));
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE Nome LIKE 'p%'"), QStringList({"Primo"}));
}

TEST_F(DaoRows, BoundValuesAreOnlyText)
{
    // A value spelling a column name, or holding quotes, never changes the query.
    db.execute("UPDATE Prova SET Nota = ? WHERE Codice = 'A1'", {"Nome"}, dao::FailOnError);
    db.execute("UPDATE Prova SET Nota = ? WHERE Codice = 'A2'", {"x\" OR \"1\"=\"1"}, dao::FailOnError);
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE Nota = ?", {"Nome"}), QStringList({"Primo"}));
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE Nome = ?", {"x\" OR \"1\"=\"1"}), QStringList());
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE Nota = ?", {"x\" OR \"1\"=\"1"}), QStringList({"Secondo"}));
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE Nome = ?", {"' OR '1'='1"}), QStringList());
    EXPECT_EQ(errorOf([&] { names("SELECT Nome FROM Prova WHERE Nome = ? AND Nota = ?", {"x"}); }), 3061);
}

TEST_F(DaoRows, NullAndTheEmptyTextStayApart)
{
    db.execute("UPDATE Prova SET Nota = '' WHERE Codice = 'A1'", {}, dao::FailOnError);
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE Nota IS NULL ORDER BY Codice"),
              QStringList({"Secondo", "Terzo"}));
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE Nota = ''"), QStringList({"Primo"}));
    auto rs = db.openRecordset("SELECT * FROM Prova ORDER BY Codice");
    rs->moveNext();
    rs->edit();
    rs->setValue("Nota", QVariant());
    rs->setValue("Attivo", QVariant());
    rs->update();
    EXPECT_TRUE(rs->value("Nota").isNull());
    EXPECT_TRUE(rs->value("Attivo").isNull());
}

TEST_F(DaoRows, JetDialectAndWildcards)
{
    db.execute("UPDATE Prova SET Attivo = True WHERE Codice <> 'A2'", {}, dao::FailOnError);
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE Attivo = False OR Attivo IS NULL"), QStringList({"Secondo"}));
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE Nome = 'True'"), QStringList());
    EXPECT_EQ(db.execute("DELETE * FROM Prova WHERE Attivo = True", {}, dao::FailOnError), 2);
    EXPECT_EQ(names(), QStringList({"Secondo"}));
}

TEST(JetLike, PatternsMatchAsJetsLike)
{
    const struct {
        const char *text;
        const char *pattern;
        bool match;
    } cases[] = {
        {"Genova", "*NOV*", true},       {"Genova", "gen?va", true},    {"Genova", "gen?", false},
        {"", "*", true},                 {"abc", "", false},            {"a*c", "a[*]c", true},
        {"abc", "a[*]c", false},         {"50%", "*%*", true},          {"500", "*%*", false},
        {"A_B", "*_*", true},            {"AB", "*_*", false},          {"C:\\DIR", "*\\D*", true},
        {"CD", "*\\D*", false},          {"A1B", "A#B", true},          {"AXB", "A#B", false},
        {"b", "[a-c]", true},            {"B", "[a-c]", true},          {"d", "[a-c]", false},
        {"d", "[!a-c]", true},           {"b", "[!a-c]", false},        {"x", "[xyz]", true},
        {"à", "À", true},                {"a[b", "a[b", true},          {"ab", "a[]b", true},
        {"X.0000", "*.0000", true},      {"X10000", "*.0000", false},   {"aXbXc", "*X*X*", true},
        {"aXbc", "*X*X*", false},        {"mississippi", "*sip*i", true}, {"?", "[?]", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(dao::jetLike(QString::fromUtf8(c.text), QString::fromUtf8(c.pattern)), c.match)
            << c.text << " LIKE " << c.pattern;
}

TEST_F(DaoRows, QueriesMatchJetPatternsAndLikeStaysSQLites)
{
    db.execute("UPDATE Prova SET Nota = '10% _x_' WHERE Codice = 'A2'", {}, dao::FailOnError);
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE JetLike(Nota, ?)", {"*%*"}), QStringList({"Secondo"}));
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE JetLike(Nome, ?) ORDER BY Codice", {"*_*"}), QStringList());
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE JetLike(Nome, ?) ORDER BY Codice", {"[p-s]*"}),
              QStringList({"Primo", "Secondo"}));
    // A Null column matches no pattern.
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE NOT JetLike(Nota, ?) ORDER BY Codice", {"*"}), QStringList());
    // SQLite's own LIKE, as the SQL console types it, keeps its wildcards.
    EXPECT_EQ(names("SELECT Nome FROM Prova WHERE Nome LIKE '_erzo'"), QStringList({"Terzo"}));
}

TEST_F(DaoRows, AnEditHeldToAnImageWritesOnlyThatUnchangedRow)
{
    auto browse = db.openRecordset("SELECT * FROM Prova ORDER BY Codice");
    browse->moveNext();
    const dao::Recordset::Image shown = browse->image();
    auto write = [&](const dao::Recordset::Image &image) {
        auto rs = db.openRecordset("SELECT * FROM Prova");
        if (rs->editUnchanged(image) != dao::Recordset::EditHeld::Begun)
            return false;
        rs->setValue("Nome", "Nuovo");
        rs->update();
        return true;
    };
    testsupport::OtherProgram other(path);

    // Changed by another program (only in case): not written.
    ASSERT_EQ(other.exec("UPDATE Prova SET Nome = 'SECONDO' WHERE Codice = 'A2'"), SQLITE_OK);
    EXPECT_FALSE(write(shown));
    EXPECT_EQ(db.openRecordset("SELECT * FROM Prova")->editUnchanged(shown), dao::Recordset::EditHeld::Changed);
    // Back as shown: written, and no other row.
    ASSERT_EQ(other.exec("UPDATE Prova SET Nome = 'Secondo' WHERE Codice = 'A2'"), SQLITE_OK);
    EXPECT_TRUE(write(shown));
    EXPECT_EQ(names(), QStringList({"Primo", "Nuovo", "Terzo"}));
    // The row no longer holds what was shown.
    EXPECT_FALSE(write(shown));

    // A change made between the start of the edit and the update.
    browse->moveLast();
    auto rs = db.openRecordset("SELECT * FROM Prova");
    ASSERT_EQ(rs->editUnchanged(browse->image()), dao::Recordset::EditHeld::Begun);
    rs->setValue("Nome", "Perso");
    ASSERT_EQ(other.exec("UPDATE Prova SET Nota = 'altro' WHERE Codice = 'A3'"), SQLITE_OK);
    EXPECT_EQ(errorOf([&] { rs->update(); }), 3197);
    // Deleted between the start of the edit and the update.
    const dao::Recordset::Image changed = [&] {
        auto again = db.openRecordset("SELECT * FROM Prova ORDER BY Codice");
        again->moveLast();
        return again->image();
    }();
    ASSERT_EQ(rs->editUnchanged(changed), dao::Recordset::EditHeld::Begun);
    rs->setValue("Nome", "Perso");
    ASSERT_EQ(other.exec("DELETE FROM Prova WHERE Codice = 'A3'"), SQLITE_OK);
    EXPECT_EQ(errorOf([&] { rs->update(); }), 3167);
    // Gone, or not among the recordset's rows.
    EXPECT_EQ(rs->editUnchanged(browse->image()), dao::Recordset::EditHeld::Gone);
    auto first = db.openRecordset("SELECT * FROM Prova WHERE Codice = 'A1'");
    EXPECT_EQ(first->editUnchanged(shown), dao::Recordset::EditHeld::Gone);
    EXPECT_EQ(names(), QStringList({"Primo", "Nuovo"}));
}

TEST_F(DaoRows, JoinsAreReadOnlySnapshotsOfTheirRows)
{
    auto rs = db.openRecordset(
        "SELECT a.Nome, COUNT(*) AS N FROM Prova a, Prova b WHERE a.Codice >= b.Codice GROUP BY a.Nome "
        "ORDER BY N");
    ASSERT_EQ(rs->recordCount(), 3);
    rs->moveLast();
    EXPECT_EQ(rs->value("Nome").toString(), "Terzo");
    EXPECT_EQ(rs->value("N").toInt(), 3);
    EXPECT_EQ(errorOf([&] { rs->edit(); }), 3027);
}

TEST(DaoValues, QueryShownAsTheSystemWritesIt)
{
    EXPECT_EQ(dao::sqlForDisplay("SELECT * FROM Bollette WHERE Numero = ? AND Data = ? AND Nome = ?",
                                 {42, QDate(2026, 3, 9), "O'Brien"}),
              "SELECT * FROM Bollette WHERE Numero = 42 AND Data = DateValue('09/03/2026') AND Nome = "
              "\"O'Brien\"");
    EXPECT_EQ(dao::sqlForDisplay("SELECT '?' FROM T WHERE A = ?", {"x"}), "SELECT '?' FROM T WHERE A = \"x\"");
    // A value the query hands to DateValue itself is shown once inside it.
    EXPECT_EQ(dao::sqlForDisplay("SELECT * FROM Corbix WHERE Data = DateValue(?) AND X = datevalue( ?) AND P = ?",
                                 {QDate(2026, 12, 10), "31/01/2026", 7}),
              "SELECT * FROM Corbix WHERE Data = DateValue('10/12/2026') AND X = datevalue( '31/01/2026') AND P = 7");
}
