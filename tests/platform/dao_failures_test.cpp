#include "dao_fixture.h"

#include "platform/dao/connection.h"
#include "platform/dao/errormap.h"
#include "support/smalldisk.h"

#include <cerrno>

using namespace daotest;

namespace {

const QString kUpdate = QStringLiteral("UPDATE Prova SET Nome = 'X'");

QString reserved(int rc)
{
    return QStringLiteral("Errore riservato (%1); non esiste alcun messaggio per questo errore.").arg(rc);
}

}  // namespace

// Every result SQLite can give the layer becomes one of the program's
// numbers with its Italian text; SQLite's own words never reach a message.
TEST_F(DaoTest, EverySqliteResultHasItsNumberAndItalianText)
{
    const QString readOnly = QStringLiteral("Impossibile aprire il file '%1'. Il file è di sola lettura o non si "
                                            "dispone dei permessi per modificarlo.")
                                 .arg(path);
    const struct {
        int rc;
        int number;
        QString text;
    } cases[] = {
        {SQLITE_ERROR, 3075,
         QStringLiteral("Errore di sintassi (operatore mancante) nell'espressione della query '%1'.").arg(kUpdate)},
        {SQLITE_INTERNAL, 3000, reserved(SQLITE_INTERNAL)},
        {SQLITE_PERM, 3051, readOnly},
        {SQLITE_ABORT, 3000, reserved(SQLITE_ABORT)},
        {SQLITE_BUSY, 3218, QStringLiteral("Impossibile aggiornare. Attualmente bloccato.")},
        {SQLITE_LOCKED, 3218, QStringLiteral("Impossibile aggiornare. Attualmente bloccato.")},
        {SQLITE_NOMEM, 7, QStringLiteral("Memoria insufficiente.")},
        {SQLITE_READONLY, 3051, readOnly},
        {SQLITE_INTERRUPT, 3000, reserved(SQLITE_INTERRUPT)},
        {SQLITE_IOERR, 3043, QStringLiteral("Errore del disco o della rete.")},
        {SQLITE_IOERR_WRITE, 3043, QStringLiteral("Errore del disco o della rete.")},
        {SQLITE_IOERR_FSYNC, 3043, QStringLiteral("Errore del disco o della rete.")},
        {SQLITE_IOERR_NOMEM, 7, QStringLiteral("Memoria insufficiente.")},
        {SQLITE_CORRUPT, 3049,
         QStringLiteral("Impossibile aprire il database '%1'. Il file potrebbe essere danneggiato.").arg(path)},
        {SQLITE_NOTFOUND, 3000, reserved(SQLITE_NOTFOUND)},
        {SQLITE_FULL, 3026, QStringLiteral("Spazio su disco insufficiente.")},
        {SQLITE_CANTOPEN, 3051, readOnly},
        {SQLITE_PROTOCOL, 3000, reserved(SQLITE_PROTOCOL)},
        {SQLITE_EMPTY, 3000, reserved(SQLITE_EMPTY)},
        {SQLITE_SCHEMA, 3000, reserved(SQLITE_SCHEMA)},
        {SQLITE_TOOBIG, 3163,
         QStringLiteral("Il campo è troppo piccolo per accettare la quantità di dati che si è tentato di "
                        "aggiungere. Provare a inserire o a incollare una quantità minore di dati.")},
        {SQLITE_CONSTRAINT, 3000, reserved(SQLITE_CONSTRAINT)},
        {SQLITE_CONSTRAINT_FOREIGNKEY, 3000, reserved(SQLITE_CONSTRAINT_FOREIGNKEY)},
        {SQLITE_MISMATCH, 3464, QStringLiteral("Tipo di dati non corrispondente nell'espressione criterio.")},
        {SQLITE_MISUSE, 3000, reserved(SQLITE_MISUSE)},
        {SQLITE_NOLFS, 3000, reserved(SQLITE_NOLFS)},
        {SQLITE_AUTH, 3000, reserved(SQLITE_AUTH)},
        {SQLITE_FORMAT, 3000, reserved(SQLITE_FORMAT)},
        {SQLITE_RANGE, 3000, reserved(SQLITE_RANGE)},
        {SQLITE_NOTADB, 3343, QStringLiteral("Formato di database '%1' non riconosciuto.").arg(path)},
        {SQLITE_NOTICE, 3000, reserved(SQLITE_NOTICE)},
        {SQLITE_WARNING, 3000, reserved(SQLITE_WARNING)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rc);
        try {
            db.connection().fail(c.rc, dao::Operation::Write, kUpdate);
        } catch (const platform::RuntimeError &e) {
            EXPECT_EQ(e.number(), c.number);
            EXPECT_EQ(e.description(), c.text);
        }
    }
}

// What the system said of a failed open or write decides between a full
// disk, a refusal and any other fault of the disk.
TEST(DaoErrorNumbers, TheSystemsErrorDecidesAFailedWrite)
{
    const struct {
        int rc;
        int systemErrno;
        int number;
    } cases[] = {
        {SQLITE_IOERR_WRITE, ENOSPC, 3026}, {SQLITE_IOERR_FSYNC, EDQUOT, 3026}, {SQLITE_CANTOPEN, ENOSPC, 3026},
        {SQLITE_FULL, 0, 3026},             {SQLITE_IOERR_WRITE, EROFS, 3051},  {SQLITE_CANTOPEN, EACCES, 3051},
        {SQLITE_IOERR_WRITE, EIO, 3043},    {SQLITE_IOERR_READ, 0, 3043},        {SQLITE_CORRUPT, ENOSPC, 3049},
    };
    for (const auto &c : cases)
        EXPECT_EQ(dao::errorNumberFor(c.rc, c.systemErrno), c.number) << c.rc << " " << c.systemErrno;
}

// The archive's disk fills: every write and every COMMIT ends with 3026 and
// its Italian text (the commit's own error, not that of the rollback that
// follows it), the file is left as it was, and the same work goes through
// once space is freed.
TEST(DaoFullDisk, EveryWriteAndCommitIsToldAsAFullDiskAndGoesThroughOnceSpaceIsFreed)
{
    testsupport::SmallDisk disk(1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason().toStdString();
    const QString path = disk.file(QStringLiteral("archivio.mdb"));
    {
        dao::Database created = dao::Database::create(path);
        created.appendTableDef(sampleTable());
        created.execute("INSERT INTO Prova (Codice, Nome) VALUES ('A1', 'Primo')", {}, dao::FailOnError);
    }
    dao::Database db = dao::Database::open(path);
    const QString large(200, u'x');
    const struct {
        const char *how;
        std::function<void()> work;
    } cases[] = {
        {"statement",
         [&] {
             db.execute("INSERT INTO Prova (Codice, Nome, Testo) VALUES ('B1', 'Secondo', ?)", {large},
                        dao::FailOnError);
         }},
        {"transaction",
         [&] {
             dao::Transaction tx(db);
             for (int i = 0; i < 400; ++i)
                 db.execute("INSERT INTO Prova (Codice, Nome, Testo) VALUES (?, ?, ?)",
                            {QStringLiteral("C%1").arg(i), QStringLiteral("N%1").arg(i), large}, dao::FailOnError);
             db.execute("UPDATE Prova SET Nota = 'cambiata' WHERE Codice = 'A1'", {}, dao::FailOnError);
             tx.commit();
         }},
        {"nested transaction",
         [&] {
             dao::Transaction outer(db);
             {
                 dao::Transaction inner(db);
                 db.execute("UPDATE Prova SET Testo = ? WHERE Codice = 'A1'", {large}, dao::FailOnError);
                 inner.commit();
             }
             outer.commit();
         }},
        {"denying recordset",
         [&] {
             auto rs = db.openRecordset("SELECT * FROM Prova", {}, dao::RecordsetType::Dynaset,
                                        dao::DenyRead | dao::DenyWrite);
             rs->addNew();
             rs->setValue("Codice", "D1");
             rs->setValue("Nome", "Quarto");
             rs->setValue("Testo", large);
             rs->update();
             rs->close();
         }},
    };
    RawConnection other(path);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        ASSERT_EQ(other.exec("SELECT Codice, Nota, length(Testo) FROM Prova ORDER BY Codice"), SQLITE_OK);
        const QStringList before = other.lastRows;
        disk.fill();
        int number = 0;
        QString text;
        try {
            c.work();
        } catch (const platform::RuntimeError &e) {
            number = e.number();
            text = e.description();
        }
        EXPECT_EQ(number, 3026);
        EXPECT_EQ(text, QStringLiteral("Spazio su disco insufficiente."));
        EXPECT_EQ(db.transactionDepth(), 0);
        ASSERT_EQ(other.exec("SELECT Codice, Nota, length(Testo) FROM Prova ORDER BY Codice"), SQLITE_OK);
        EXPECT_EQ(other.lastRows, before);
        EXPECT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK) << "no lock of ours is left";
        other.exec("ROLLBACK");

        disk.free();
        EXPECT_EQ(errorOf(c.work), 0);
        ASSERT_EQ(other.exec("SELECT Codice, Nota, length(Testo) FROM Prova ORDER BY Codice"), SQLITE_OK);
        EXPECT_NE(other.lastRows, before) << "the work is in the archive";
    }
    ASSERT_EQ(other.exec("PRAGMA integrity_check"), SQLITE_OK);
    EXPECT_EQ(other.lastRows, QStringList{"ok"});
}
