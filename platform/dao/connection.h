#pragma once

#include "platform/dao/database.h"
#include "platform/dao/statementcache.h"
#include "platform/dao/tabledef.h"
#include "platform/errors.h"

#include <QString>
#include <QVariant>
#include <map>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace dao {

// What a statement was doing when it failed: a lock takes its number from it.
enum class Operation { Read, OpenDenying, Write };

// One SQLite connection to one file, shared by every Database opened on it.
class Connection {
public:
    // The file at the host path; its messages name it shownName (the name
    // the program keeps for it), the path itself when that is empty.
    static std::shared_ptr<Connection> acquire(const QString &path, bool create, const QString &shownName = {});
    // Whether a connection of the process is open on the file at the host path.
    static bool held(const QString &path);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3 *handle() const { return db_; }
    const QString &path() const { return path_; }

    // A prepared statement, taken from the connection's cache and given back
    // to it (reset, its bindings cleared) when it goes out of scope.
    class Statement {
    public:
        Statement(Connection &connection, const QString &sql, Operation op);
        ~Statement();
        Statement(const Statement &) = delete;
        Statement &operator=(const Statement &) = delete;
        sqlite3_stmt *get() const { return stmt_; }
        void bind(const QVariantList &params);
        bool step();  // true while a row is there; at the end the statement is reset
        int columnCount() const;

    private:
        Connection &connection_;
        sqlite3_stmt *stmt_ = nullptr;
        QString sql_;
        Operation op_;
    };

    // Runs a statement to its end; returns the rows changed.
    int run(const QString &sql, const QVariantList &params, Operation op);
    std::vector<std::vector<QVariant>> query(const QString &sql, const QVariantList &params,
                                             Operation op);
    int changes() const { return lastChanges_; }

    // What SQLite said of a failure, read at once: a later call takes its place.
    // The failures are mapped to the program's errors in errormap.cpp.
    struct Failure {
        int rc;
        QString message;
        int systemErrno;
    };
    Failure failure(int rc) const;
    // The failure as the program's error: its number and Italian text.
    // Not const: naming the field of a failed constraint reads the catalog.
    [[noreturn]] void fail(int rc, Operation op, const QString &sql);
    [[noreturn]] void fail(const Failure &failure, Operation op, const QString &sql);
    // The table a statement reads or writes first, as SQLite names it while
    // compiling the statement; the one its text names where the statement
    // cannot be compiled now. For the messages of a failed statement.
    QString statementTable(const QString &sql);

    // The catalog of table definitions and the changes to the schema
    // (schemacatalog.cpp).
    std::vector<QString> tableNames();
    std::optional<TableDef> findTable(const QString &name);
    void createTable(const TableDef &table);
    void dropTable(const QString &name);
    void renameTable(const QString &name, const QString &newName);
    void addColumn(const QString &table, const Field &field);
    void createIndex(const QString &table, const Index &index);
    void dropIndex(const QString &table, const QString &index);
    // Makes the table again as target, filling it with the select list read
    // from the old table; atomic.
    void rebuildTable(const TableDef &target, const QString &selectList);
    // Records the properties of a table that SQLite cannot hold.
    void saveCatalog(const TableDef &table);

    // Transactions and the write lock held by recordsets that deny others.
    void beginTrans();
    void commitTrans();
    void rollback();
    int depth() const { return depth_; }
    void hold();     // 3262 when another program holds the database
    void release();

private:
    Connection(QString path, QString shownName, sqlite3 *db);
    // Runs work in a transaction of its own (a savepoint inside an open one),
    // undone whole when it throws.
    template <class Work>
    void atomically(Work &&work)
    {
        beginTrans();
        try {
            work();
        } catch (...) {
            rollback();
            throw;
        }
        commitTrans();
    }
    void ensureCatalog();
    // The outermost transaction, under the write lock; a recordset that
    // denies others takes the exclusive lock (readers kept out too).
    void enterBase(int lockNumber, bool exclusive);
    void takeExclusiveLock(int lockNumber);
    void leaveBase();
    // Ends the outermost transaction undone, whatever it held.
    void abandonBase();
    [[noreturn]] void raiseFor(const Failure &failure, Operation op, const QString &sql);
    // Whether SQLite itself undid the open transaction after a failure; the
    // layer's levels then end without SQL, and a commit reports the failure.
    bool lostBySqlite() const;
    void endLost(bool report);
    static int busyHandler(void *self, int attempts);
    // How long the last wait that gave up had lasted; read once.
    qint64 takeWaited() const;
    int schemaVersion();

    QString path_;
    QString shownName_;
    sqlite3 *db_;
    int lastChanges_ = 0;
    int depth_ = 0;
    int holds_ = 0;
    bool baseActive_ = false;
    bool baseExclusive_ = false;
    bool baseWritten_ = false;   // written outside any savepoint: kept by a rollback
    int waitLimitMs_ = BusyWaitMs;
    qint64 busySince_ = 0;
    mutable qint64 waitedMs_ = 0;
    std::optional<platform::RuntimeError> lost_;  // what ended a transaction SQLite undid
    int cachedVersion_ = -1;
    std::map<QString, TableDef> cache_;
    StatementCache statements_{db_};
};

}  // namespace dao
