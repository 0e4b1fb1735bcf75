#pragma once

#include "platform/dao/tabledef.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace dao {

class Connection;
class Recordset;

// How long a read or the start of a transaction waits for another program's
// lock before it reports it: a few seconds, never zero, never endless.
inline constexpr int BusyWaitMs = 5000;

// How long a COMMIT waits for other programs' readers: the deadline of the
// procedure that runs it, for the guard's lifetime (the busy wait without
// one). Guards nest; the innermost one holds.
class CommitWait {
public:
    explicit CommitWait(int ms);
    ~CommitWait();
    CommitWait(const CommitWait &) = delete;
    CommitWait &operator=(const CommitWait &) = delete;
    static int current();

private:
    int previous_;
};

// The moment, on the program's monotonic clock, by which every wait of the
// data layer for another program's lock ends, for the guard's lifetime: the
// deadline of a procedure that retries its locks counts the layer's own
// waits. Guards nest; the earliest deadline holds.
class WaitDeadline {
public:
    explicit WaitDeadline(qint64 atMs);
    ~WaitDeadline();
    WaitDeadline(const WaitDeadline &) = delete;
    WaitDeadline &operator=(const WaitDeadline &) = delete;
    static qint64 current();  // the largest value when no guard is active

private:
    qint64 previous_;
};

enum class RecordsetType { Table = 1, Dynaset = 2, Snapshot = 4 };

// Option bits keep their values.
enum RecordsetOption : int {
    DenyWrite = 1,
    DenyRead = 2,
    ReadOnly = 4,
    FailOnError = 128,
};

// An open database file. Every Database opened on one file shares one
// connection, so nested opens inside the program never lock each other out.
class Database {
public:
    // Opens an existing file, never creating it: 3024 when missing, 3343 when
    // empty or not a database. The messages name the file shownName, the
    // name the program keeps for it, or the path when that is empty.
    static Database open(const QString &path, const QString &shownName = {});

    // Makes a new, empty database file; 3010 when the file exists already.
    static Database create(const QString &path);

    // Whether the process holds a connection to the file at the host path,
    // however it is spelt: nothing else may then open the file, as closing
    // any descriptor of it would drop the connection's locks.
    static bool held(const QString &path);

    Database() = default;

    // The name given at open (the path when none was).
    const QString &name() const { return name_; }
    bool isOpen() const { return connection_ != nullptr; }
    void close();

    // Runs an action query. Values go in as bound parameters ("?" in the text).
    // Without FailOnError the rows that would break a rule are skipped
    // silently, as Jet did; with it the whole statement fails.
    int execute(const QString &sql, const QVariantList &params = {}, int options = 0);
    int recordsAffected() const;

    std::unique_ptr<Recordset> openRecordset(const QString &sql, const QVariantList &params = {},
                                             RecordsetType type = RecordsetType::Dynaset,
                                             int options = 0);

    // Table definitions, in the order of creation, without the catalog.
    std::vector<TableDef> tableDefs() const;
    TableDef tableDef(const QString &name) const;  // 3265 when missing
    bool hasTable(const QString &name) const;
    void appendTableDef(const TableDef &table);      // 3010 when the name exists
    void deleteTableDef(const QString &name);        // 3265 when missing
    void renameTableDef(const QString &name, const QString &newName);
    void appendField(const QString &table, const Field &field);
    void appendIndex(const QString &table, const Index &index);
    void deleteIndex(const QString &table, const QString &index);

    // Nested transactions; an inner one is a savepoint.
    void beginTrans();
    void commitTrans();
    void rollback();
    int transactionDepth() const;

    Connection &connection() const;

private:
    explicit Database(QString name, std::shared_ptr<Connection> connection);

    QString name_;
    std::shared_ptr<Connection> connection_;
};

// Commits on commit(), rolls back when left any other way.
class Transaction {
public:
    explicit Transaction(Database &db);
    ~Transaction();
    void commit();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    Database &db_;
    bool open_ = true;
};

}  // namespace dao
