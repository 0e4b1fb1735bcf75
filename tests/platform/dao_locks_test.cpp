#include "dao_fixture.h"

#include "platform/clock.h"
#include "platform/dao/connection.h"
#include "support/doubles/fakeclock.h"
#include "support/otherprogram.h"

#include <optional>

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

// The table is the one SQLite reads, named as the archive defines it, not a
// word of the text after FROM; a connection that meets the lock before it
// could read the schema names the table its text names, and waits once.
TEST_F(DaoTest, LockMessageNamesTheTableTheStatementReads)
{
    insert("A1", "Primo");
    const QString read = "La tabella 'Prova' è bloccata in modo esclusivo da un altro utente e non può essere "
                         "letta ora.";
    const QString denied = "Impossibile bloccare la tabella 'Prova': attualmente in uso da parte di un altro "
                           "utente.";
    const struct {
        bool fresh;  // opened after the other program took its lock
        const char *sql;
        bool denying;
        int number;
        QString description;
    } cases[] = {
        {false, "SELECT * FROM prova", false, 3261, read},
        {false, "-- non FROM Altra\nSELECT Nome FROM Prova", false, 3261, read},
        {false, "SELECT 'INTO Altra' AS Frase, Nome FROM Prova", false, 3261, read},
        {false, "SELECT * FROM prova", true, 3262, denied},
        {true, "SELECT * FROM Prova", false, 3261, read},
        {true, "SELECT * FROM Prova", true, 3262, denied},
    };
    db.close();
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.fresh ? "fresh: " : "") + c.sql + (c.denying ? " (deny)" : ""));
        dao::Database ours;
        if (!c.fresh) {
            ours = dao::Database::open(path);
            ours.openRecordset("SELECT Nome FROM Prova")->close();
        }
        RawConnection other(path);
        ASSERT_EQ(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
        if (c.fresh)
            ours = dao::Database::open(path);
        platform::FakeClock clock;
        platform::ScopedClock installed(clock);
        try {
            ours.openRecordset(c.sql, {}, dao::RecordsetType::Dynaset, c.denying ? dao::DenyWrite | dao::DenyRead : 0);
            ADD_FAILURE() << "no lock met";
        } catch (const platform::RuntimeError &e) {
            EXPECT_EQ(e.number(), c.number);
            EXPECT_EQ(e.description().toStdString(), c.description.toStdString());
        }
        EXPECT_EQ(clock.monotonicMs(), dao::BusyWaitMs);
        ASSERT_EQ(other.exec("ROLLBACK"), SQLITE_OK);
        EXPECT_EQ(ours.openRecordset("SELECT Nome FROM Prova")->value("Nome").toString(), "Primo");
        ours.close();
    }
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
        EXPECT_EQ(testsupport::otherProcessWrites(path, QStringLiteral("UPDATE Prova SET Nome = 'Altro' WHERE Codice = 'A1'")), 0);
    }
}

namespace {

// A clock whose sleeps advance it, and that makes the other program let go
// once the waiting has lasted as long as asked.
class ReleasingClock : public platform::FakeClock {
public:
    void sleepMs(int ms) override
    {
        FakeClock::sleepMs(ms);
        if (letGo && monotonicMs() >= letGoAtMs) {
            letGo();
            letGo = nullptr;
        }
    }
    std::function<void()> letGo;
    qint64 letGoAtMs = 0;
};

bool inTransaction(dao::Database &db) { return sqlite3_get_autocommit(db.connection().handle()) == 0; }

}  // namespace

// A nested open of the file inside a transaction finds the process's
// connection: the lock our transaction holds stays, and the other program is
// kept out before and after it.
TEST_F(DaoTest, NestedOpensKeepTheLocksOfTheTransaction)
{
    insert("A1", "Primo");
    RawConnection other(path);
    {
        dao::Transaction tx(db);
        db.execute("UPDATE Prova SET Nome = 'Nostro'", {}, dao::FailOnError);
        EXPECT_EQ(other.exec("UPDATE Prova SET Nome = 'Altro'"), SQLITE_BUSY);
        for (int i = 0; i < 3; ++i) {
            dao::Database nested = dao::Database::open(dir.path() + "/./prova.mdb");
            nested.execute("UPDATE Prova SET Nome = Nome || '+'", {}, dao::FailOnError);
            nested.close();
            EXPECT_EQ(other.exec("UPDATE Prova SET Nome = 'Altro'"), SQLITE_BUSY) << "after nested open " << i;
            EXPECT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_BUSY);
        }
        tx.commit();
    }
    ASSERT_EQ(other.exec("SELECT Nome FROM Prova"), SQLITE_OK);
    EXPECT_EQ(other.lastRows, QStringList{"Nostro+++"});
    EXPECT_EQ(other.exec("PRAGMA integrity_check"), SQLITE_OK);
    EXPECT_EQ(other.lastRows, QStringList{"ok"});
}

// A recordset that denies others reading and writing keeps the other
// program from reading too, opened alone or inside a transaction, across
// nested opens, until it is closed.
TEST_F(DaoTest, DenyingRecordsetKeepsOtherProgramsFromReading)
{
    insert("A1", "Primo");
    RawConnection other(path);
    for (const bool inside : {false, true}) {
        SCOPED_TRACE(inside ? "inside a transaction" : "alone");
        std::optional<dao::Transaction> tx;
        if (inside) {
            tx.emplace(db);
            db.execute("UPDATE Prova SET Nome = 'Dentro'", {}, dao::FailOnError);
            EXPECT_EQ(other.exec("SELECT Nome FROM Prova"), SQLITE_OK) << "a write lock lets readers in";
        }
        auto held = db.openRecordset("SELECT * FROM Prova", {}, dao::RecordsetType::Dynaset,
                                     dao::DenyWrite | dao::DenyRead);
        EXPECT_EQ(other.exec("SELECT Nome FROM Prova"), SQLITE_BUSY);
        dao::Database::open(path).close();
        EXPECT_EQ(other.exec("SELECT Nome FROM Prova"), SQLITE_BUSY) << "after a nested open";
        held->close();
        if (tx)
            tx->commit();
        ASSERT_EQ(other.exec("SELECT Nome FROM Prova"), SQLITE_OK);
        EXPECT_EQ(other.lastRows, QStringList{inside ? "Dentro" : "Primo"});
    }
}

// The other program holds a read transaction. Our commit is refused at its
// deadline: the transaction is then over, its lock released and nothing of
// it written, now or with the next commit. A rollback never commits: it
// neither waits nor fails.
TEST_F(DaoTest, ARefusedCommitIsRolledBackAndARollbackNeverCommits)
{
    insert("A1", "Primo");
    for (const bool commit : {true, false}) {
        SCOPED_TRACE(commit ? "commit" : "rollback");
        platform::FakeClock clock;
        platform::ScopedClock installed(clock);
        RawConnection other(path);
        ASSERT_EQ(other.exec("BEGIN; SELECT * FROM Prova"), SQLITE_OK);
        db.beginTrans();
        db.execute("UPDATE Prova SET Nome = 'Rifiutato'", {}, dao::FailOnError);
        EXPECT_EQ(errorOf([&] { commit ? db.commitTrans() : db.rollback(); }), commit ? 3218 : 0);
        // Without a deadline of its procedure, a commit waits the busy wait.
        EXPECT_EQ(clock.monotonicMs(), commit ? dao::BusyWaitMs : 0);
        EXPECT_FALSE(inTransaction(db));
        EXPECT_EQ(db.transactionDepth(), 0);
        ASSERT_EQ(other.exec("COMMIT"), SQLITE_OK);
        EXPECT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK) << "no lock of ours is left";
        ASSERT_EQ(other.exec("ROLLBACK"), SQLITE_OK);
    }
    dao::Transaction next(db);
    insert("A2", "Secondo");
    next.commit();
    RawConnection other(path);
    ASSERT_EQ(other.exec("SELECT Nome FROM Prova ORDER BY Codice"), SQLITE_OK);
    EXPECT_EQ(other.lastRows, (QStringList{"Primo", "Secondo"}));
}

// A COMMIT waits for readers as long as its procedure's deadline allows,
// and goes through when the reader lets go in time.
TEST_F(DaoTest, ACommitWaitsForReadersUntilItsProceduresDeadline)
{
    insert("A1", "Primo");
    struct Case {
        int deadlineMs;
        qint64 readerLeavesAtMs;  // 0: it never does
        int number;
    };
    const Case cases[] = {{15000, 0, 3218}, {15000, 14000, 0}, {60000, 50000, 0}, {60000, 0, 3218}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.deadlineMs);
        SCOPED_TRACE(c.readerLeavesAtMs);
        ReleasingClock clock;
        platform::ScopedClock installed(clock);
        RawConnection other(path);
        ASSERT_EQ(other.exec("BEGIN; SELECT * FROM Prova"), SQLITE_OK);
        if (c.readerLeavesAtMs) {
            clock.letGoAtMs = c.readerLeavesAtMs;
            clock.letGo = [&] { other.exec("COMMIT"); };
        }
        dao::CommitWait deadline(c.deadlineMs);
        db.beginTrans();
        db.execute("UPDATE Prova SET Nome = 'Atteso'", {}, dao::FailOnError);
        EXPECT_EQ(errorOf([&] { db.commitTrans(); }), c.number);
        EXPECT_FALSE(inTransaction(db));
        if (c.number)
            EXPECT_EQ(clock.monotonicMs(), c.deadlineMs);
        else
            EXPECT_LT(clock.monotonicMs(), c.readerLeavesAtMs + 100);
        other.exec("COMMIT");
        ASSERT_EQ(other.exec("SELECT Nome FROM Prova"), SQLITE_OK);
        EXPECT_EQ(other.lastRows, QStringList{c.number ? "Primo" : "Atteso"});
        db.execute("UPDATE Prova SET Nome = 'Primo'", {}, dao::FailOnError);
    }
}

// A read, or the start of a transaction, meeting another program's lock
// waits a few seconds for it: it goes through when the lock ends in time,
// and reports the lock at the end of the wait.
TEST_F(DaoTest, ReadsAndBeginsWaitAFewSecondsForTheOtherProgram)
{
    insert("A1", "Primo");
    const struct {
        const char *held;
        const char *operation;
        int number;
    } cases[] = {{"BEGIN EXCLUSIVE", "read", 3261},
                 {"BEGIN IMMEDIATE", "begin", 3218},
                 {"BEGIN IMMEDIATE", "deny", 3262},
                 {"BEGIN EXCLUSIVE", "write", 3218}};
    for (const auto &c : cases) {
        for (const bool letsGo : {false, true}) {
            SCOPED_TRACE(std::string(c.operation) + (letsGo ? " let go" : " held"));
            ReleasingClock clock;
            platform::ScopedClock installed(clock);
            RawConnection other(path);
            ASSERT_EQ(other.exec(c.held), SQLITE_OK);
            if (letsGo) {
                clock.letGoAtMs = dao::BusyWaitMs - 1000;
                clock.letGo = [&] { other.exec("ROLLBACK"); };
            }
            const int number = QLatin1String(c.operation) == QLatin1String("begin")
                                   ? errorOf([&] { dao::Transaction(db).commit(); })
                                   : attempt(db, c.operation);
            EXPECT_EQ(number, letsGo ? 0 : c.number);
            EXPECT_EQ(clock.monotonicMs(), letsGo ? dao::BusyWaitMs - 1000 : dao::BusyWaitMs);
            EXPECT_FALSE(inTransaction(db));
            other.exec("ROLLBACK");
        }
    }
}

// A procedure's deadline cuts the layer's own wait for a lock short, and the
// lock reports how long it was waited for: its procedure's silent wait
// counts that time.
TEST_F(DaoTest, TheWaitForALockEndsAtItsProceduresDeadlineAndIsReported)
{
    insert("A1", "Primo");
    const struct {
        const char *operation;
        qint64 deadlineMs;  // from the start; 0: none
        qint64 waitedMs;
    } cases[] = {{"read", 0, dao::BusyWaitMs}, {"read", 3020, 3020}, {"write", 1000, 1000},
                 {"deny", 4999, 4999},         {"write", -10, 0},     {"deny", 7000, dao::BusyWaitMs}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.operation) + " " + std::to_string(c.deadlineMs));
        platform::FakeClock clock;
        platform::ScopedClock installed(clock);
        clock.advanceMs(100000);
        RawConnection other(path);
        ASSERT_EQ(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
        std::optional<dao::WaitDeadline> deadline;
        if (c.deadlineMs)
            deadline.emplace(clock.monotonicMs() + c.deadlineMs);
        qint64 waited = -1;
        try {
            if (QLatin1String(c.operation) == QLatin1String("read"))
                db.openRecordset("SELECT * FROM Prova");
            else if (QLatin1String(c.operation) == QLatin1String("deny"))
                db.openRecordset("SELECT * FROM Prova", {}, dao::RecordsetType::Dynaset, dao::DenyWrite | dao::DenyRead);
            else
                db.execute("UPDATE Prova SET Nome = 'Cambiato'", {}, dao::FailOnError);
        } catch (const platform::RuntimeError &e) {
            EXPECT_TRUE(platform::err::isLock(e.number())) << e.number();
            waited = e.waitedMs();
        }
        EXPECT_EQ(waited, c.waitedMs);
        other.exec("ROLLBACK");
    }
}
