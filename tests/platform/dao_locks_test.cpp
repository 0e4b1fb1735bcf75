#include "dao_fixture.h"
#include <QProcess>

using namespace daotest;

namespace {

struct LockCase {
    const char *held;        // what the other program holds
    const char *operation;
    int number;              // 0: the operation goes through
};

int attempt(dao::Database &db, const QString &operation)
{
    return errorOf([&] {
        if (operation == "read") {
            auto rs = db.openRecordset("SELECT * FROM Prova");
            rs->moveLast();
        } else if (operation == "deny") {
            db.openRecordset("SELECT * FROM Prova", {}, dao::RecordsetType::Dynaset,
                             dao::DenyWrite | dao::DenyRead);
        } else if (operation == "write") {
            db.execute("UPDATE Prova SET Nome = 'Cambiato'", {}, dao::FailOnError);
        } else if (operation == "edit") {
            auto rs = db.openRecordset("SELECT * FROM Prova");
            rs->edit();
            rs->setValue("Nome", "Cambiato");
            rs->update();
        }
    });
}

}  // namespace

// Another program sharing the archive holds it locked: each operation fails
// with the number of the operation that met the lock.
TEST_F(DaoTest, LocksTakeTheNumberOfTheOperationThatMetThem)
{
    insert("A1", "Primo");
    const LockCase cases[] = {
        {"BEGIN IMMEDIATE", "read", 0},
        {"BEGIN IMMEDIATE", "deny", 3262},
        {"BEGIN IMMEDIATE", "write", 3218},
        {"BEGIN IMMEDIATE", "edit", 3218},
        {"BEGIN EXCLUSIVE", "read", 3261},
        {"BEGIN EXCLUSIVE", "deny", 3262},
        {"BEGIN EXCLUSIVE", "write", 3218},
    };
    for (const LockCase &c : cases) {
        SCOPED_TRACE(std::string(c.held) + " / " + c.operation);
        RawConnection other(path);
        ASSERT_EQ(other.exec(c.held), SQLITE_OK);
        EXPECT_EQ(attempt(db, c.operation), c.number);
        ASSERT_EQ(other.exec("ROLLBACK"), SQLITE_OK);
        EXPECT_EQ(attempt(db, c.operation), 0) << "after the other program let go";
        EXPECT_EQ(db.transactionDepth(), 0);
    }
}

TEST_F(DaoTest, LockMessageNamesTheTable)
{
    insert("A1", "Primo");
    RawConnection other(path);
    ASSERT_EQ(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    try {
        db.openRecordset("SELECT * FROM Prova");
        FAIL();
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), 3261);
        EXPECT_EQ(e.description(),
                  "La tabella 'Prova' è bloccata in modo esclusivo da un altro utente e non può essere "
                  "letta ora.");
    }
    other.exec("ROLLBACK");
}

// A recordset that denies others holds the write lock while it is open, so
// nobody can write between our check and our insert.
TEST_F(DaoTest, DenyingRecordsetHoldsTheWriteLockUntilClosed)
{
    insert("A1", "Primo");
    auto held = db.openRecordset("SELECT * FROM Prova", {}, dao::RecordsetType::Dynaset,
                                 dao::DenyWrite | dao::DenyRead);
    RawConnection other(path);
    EXPECT_EQ(other.exec("UPDATE Prova SET Nome = 'Altro'"), SQLITE_BUSY);

    // Our own writes through the same connection go through meanwhile.
    held->addNew();
    held->setValue("Codice", "A2");
    held->setValue("Nome", "Secondo");
    held->update();
    held->close();

    EXPECT_EQ(other.exec("UPDATE Prova SET Nome = Nome || '!'"), SQLITE_OK);
    auto rs = db.openRecordset("SELECT Nome FROM Prova ORDER BY Codice");
    EXPECT_EQ(rs->value("Nome").toString(), "Primo!");
    rs->moveNext();
    EXPECT_EQ(rs->value("Nome").toString(), "Secondo!");
}

TEST_F(DaoTest, DenyingRecordsetInsideATransactionKeepsItsWork)
{
    insert("A1", "Primo");
    dao::Transaction tx(db);
    {
        auto held = db.openRecordset("SELECT * FROM Prova", {}, dao::RecordsetType::Dynaset,
                                     dao::DenyWrite | dao::DenyRead);
        held->edit();
        held->setValue("Nome", "Dentro");
        held->update();
    }
    RawConnection other(path);
    EXPECT_EQ(other.exec("UPDATE Prova SET Nome = 'Altro'"), SQLITE_BUSY);
    tx.commit();
    auto rs = db.openRecordset("SELECT Nome FROM Prova");
    EXPECT_EQ(rs->value("Nome").toString(), "Dentro");
}

// Another program writing the file, as its own process, with no wait for a lock.
int otherProcessWrites(const QString &path, const QString &sql)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sqlite3,sys\nc=sqlite3.connect(sys.argv[1],timeout=0)\nc.execute(sys.argv[2])\n"
                                 "c.commit()"),
                  path, sql});
    python.waitForFinished(30000);
    return python.exitCode();
}

TEST_F(DaoTest, AStatementKeptForReuseHoldsNoLockBetweenUses)
{
    insert("A1", "Primo");
    insert("A2", "Secondo");
    for (int round = 0; round < 2; ++round) {
        // The same texts again: the second round runs the kept statements.
        auto rs = db.openRecordset("SELECT Nome FROM Prova WHERE Codice = ?", {QStringLiteral("A1")},
                                   dao::RecordsetType::Snapshot);
        EXPECT_EQ(rs->value("Nome").toString(), round == 0 ? "Primo" : "Altro");
        auto dynaset = db.openRecordset("SELECT * FROM Prova ORDER BY Codice");
        EXPECT_EQ(dynaset->value("Nome").toString(), round == 0 ? "Primo" : "Altro");
        db.execute("UPDATE Prova SET Nome = Nome WHERE Codice = ?", {QStringLiteral("A2")});
        // Read, left open, and the other program writes at once.
        EXPECT_EQ(otherProcessWrites(path, QStringLiteral("UPDATE Prova SET Nome = 'Altro' WHERE Codice = 'A1'")), 0);
    }
}
