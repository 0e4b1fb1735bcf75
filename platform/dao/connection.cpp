#include "platform/dao/connection.h"

#include "platform/busywait.h"
#include "platform/clock.h"
#include "platform/dao/values.h"
#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <limits>
#include <sqlite3.h>

namespace dao {

using namespace platform::err;

namespace {

std::map<QString, std::weak_ptr<Connection>> &registry()
{
    static std::map<QString, std::weak_ptr<Connection>> connections;
    return connections;
}

// DateValue(text): the date of a "dd/mm/yyyy" or stored text, as stored.
void dateValueFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])));
    // Only the day is wanted: no date and time of local time is made, which
    // would read the system's time zone on every call.
    const auto day = parseDayText(text);
    if (!day) {
        sqlite3_result_error(context, "dao:3464", -1);
        return;
    }
    const QByteArray out = storedDate(*day).toUtf8();
    sqlite3_result_text(context, out.constData(), int(out.size()), SQLITE_TRANSIENT);
}

}  // namespace

// ---------------------------------------------------------------- statements

Connection::Statement::Statement(Connection &connection, const QString &sql, Operation op)
    : connection_(connection), sql_(sql), op_(op)
{
    stmt_ = connection.statements_.take(sql);
    if (stmt_)
        return;
    const QByteArray utf8 = sql.toUtf8();
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(connection.db_, utf8.constData(), int(utf8.size()) + 1, &stmt_, &tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        connection.fail(rc, op, sql);
    }
    // SQLite compiles the first statement alone and would pass over the rest
    // without a word; text after the end of the statement is refused, so what
    // runs is always the whole of what was written. Blanks and comments may follow.
    if (tail && *tail) {
        sqlite3_stmt *next = nullptr;
        const int tailRc = sqlite3_prepare_v2(connection.db_, tail, -1, &next, nullptr);
        sqlite3_finalize(next);
        if (tailRc != SQLITE_OK || next) {
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
            platform::raise(CharactersAfterEnd);
        }
    }
}

Connection::Statement::~Statement() { connection_.statements_.give(sql_, stmt_); }

void Connection::Statement::bind(const QVariantList &params)
{
    const int expected = sqlite3_bind_parameter_count(stmt_);
    if (expected != params.size())
        platform::raise(TooFewParameters, {QString::number(expected)});
    for (int i = 0; i < params.size(); ++i)
        bindValue(stmt_, i + 1, params[i]);
}

bool Connection::Statement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE) {
        // Its rows are read: the statement lets go of the file at once, not
        // when it goes back to the cache.
        sqlite3_reset(stmt_);
        return false;
    }
    connection_.fail(sqlite3_extended_errcode(connection_.db_), op_, sql_);
}

int Connection::Statement::columnCount() const { return sqlite3_column_count(stmt_); }

// ---------------------------------------------------------------- opening

bool Connection::held(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return false;
    auto it = registry().find(canonical);
    return it != registry().end() && !it->second.expired();
}

std::shared_ptr<Connection> Connection::acquire(const QString &path, bool create, const QString &shownName)
{
    const QFileInfo info(path);
    const QString name = shownName.isEmpty() ? path : shownName;
    // The process's own connection is found before the file is touched: SQLite's
    // locks belong to the process, and closing any other descriptor of the file
    // would drop every lock our transactions hold on it.
    if (!create) {
        auto it = registry().find(info.canonicalFilePath());
        if (it != registry().end())
            if (auto existing = it->second.lock())
                return existing;
    }
    if (create) {
        if (info.exists())
            platform::raise(AlreadyExists, {name});
    } else {
        if (!info.exists() || !info.isFile())
            platform::raise(DatabaseFileNotFound, {name});
    }
    // Nobody in the process holds the file: its header may be read here.
    // SQLite would take an empty file for a new database, and opening must
    // not need the file's lock.
    bool walHeader = false;
    if (!create) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            platform::raise(PathFileAccess);
        const QByteArray header = file.read(100);
        if (header.size() < 100 || !header.startsWith(QByteArray("SQLite format 3\0", 16)))
            platform::raise(UnrecognizedDatabaseFormat, {name});
        walHeader = header[18] == 2 || header[19] == 2;
    }
    sqlite3 *db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        platform::raise(rc == SQLITE_CANTOPEN ? DatabaseFileNotFound : UnrecognizedDatabaseFormat, {name});
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_create_function(db, "DateValue", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, dateValueFunction,
                            nullptr, nullptr);
    sqlite3_create_function(db, "JetLike", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, jetLikeFunction, nullptr,
                            nullptr);
    std::shared_ptr<Connection> connection(new Connection(QFileInfo(path).canonicalFilePath(), name, db));
    sqlite3_busy_handler(db, &Connection::busyHandler, connection.get());
    if (create) {
        connection->run(QStringLiteral("PRAGMA journal_mode=DELETE"), {}, Operation::Write);
        connection->ensureCatalog();
    } else if (walHeader) {
        try {
            connection->run(QStringLiteral("PRAGMA journal_mode=DELETE"), {}, Operation::Write);
        } catch (const platform::RuntimeError &) {
            platform::raise(FileInUse, {name});
        }
    }
    registry()[connection->path_] = connection;
    return connection;
}

Connection::Connection(QString path, QString shownName, sqlite3 *db)
    : path_(std::move(path)), shownName_(std::move(shownName)), db_(db)
{
    // A run that writes back thousands of declarations in one transaction
    // touches more pages than SQLite's default cache holds, and spilling them
    // to the file midway costs far more than the memory.
    sqlite3_exec(db_, "PRAGMA cache_size = -16384", nullptr, nullptr, nullptr);
}

Connection::~Connection()
{
    statements_.clear();
    if (baseActive_)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
    auto it = registry().find(path_);
    if (it != registry().end() && it->second.expired())
        registry().erase(it);
}

// ---------------------------------------------------------------- running

int Connection::run(const QString &sql, const QVariantList &params, Operation op)
{
    Statement statement(*this, sql, op);
    statement.bind(params);
    while (statement.step()) {
    }
    lastChanges_ = sqlite3_changes(db_);
    if (op == Operation::Write && baseActive_ && depth_ == 0)
        baseWritten_ = true;
    return lastChanges_;
}

std::vector<std::vector<QVariant>> Connection::query(const QString &sql, const QVariantList &params, Operation op)
{
    Statement statement(*this, sql, op);
    statement.bind(params);
    std::vector<std::vector<QVariant>> rows;
    const int n = statement.columnCount();
    while (statement.step()) {
        std::vector<QVariant> row;
        row.reserve(size_t(n));
        for (int c = 0; c < n; ++c)
            row.push_back(columnValue(statement.get(), c));
        rows.push_back(std::move(row));
    }
    return rows;
}

// ---------------------------------------------------------------- transactions

namespace {
int &commitWaitSlot()
{
    static int ms = BusyWaitMs;
    return ms;
}
}  // namespace

CommitWait::CommitWait(int ms) : previous_(commitWaitSlot()) { commitWaitSlot() = ms; }

CommitWait::~CommitWait() { commitWaitSlot() = previous_; }

int CommitWait::current() { return commitWaitSlot(); }

namespace {
qint64 &waitDeadlineSlot()
{
    static qint64 atMs = std::numeric_limits<qint64>::max();
    return atMs;
}
}  // namespace

WaitDeadline::WaitDeadline(qint64 atMs) : previous_(waitDeadlineSlot())
{
    waitDeadlineSlot() = std::min(previous_, atMs);
}

WaitDeadline::~WaitDeadline() { waitDeadlineSlot() = previous_; }

qint64 WaitDeadline::current() { return waitDeadlineSlot(); }

// Another program's lock is waited for on the program's one clock, up to the
// limit of what is being done (a few seconds; a COMMIT, its procedure's), and
// never past the deadline of the procedure that waits.
int Connection::busyHandler(void *self, int attempts)
{
    auto *connection = static_cast<Connection *>(self);
    const qint64 now = platform::clock().monotonicMs();
    if (attempts == 0)
        connection->busySince_ = now;
    const qint64 end = std::min(connection->busySince_ + connection->waitLimitMs_, WaitDeadline::current());
    if (now >= end) {
        // The lock is reported next, with the time it was waited for.
        connection->waitedMs_ = now - connection->busySince_;
        return 0;
    }
    const int rest = int(std::min<qint64>(platform::LockRetryPauseMs, end - now));
    if (now - connection->busySince_ < platform::BusyWait::ShownAfterMs && !platform::BusyWait::active()) {
        platform::clock().sleepMs(rest);
        return 1;
    }
    // A wait the user notices, or one inside a longer wait, shows the busy
    // cursor and keeps the windows painted, with their input thrown away.
    // Painting runs no query: the screens paint from the values they hold.
    const platform::BusyWait busy;
    platform::BusyWait::sleepMs(rest);
    return 1;
}

qint64 Connection::takeWaited() const
{
    const qint64 waited = waitedMs_;
    waitedMs_ = 0;
    return waited;
}

void Connection::enterBase(int lockNumber, bool exclusive)
{
    if (baseActive_) {
        if (exclusive && !baseExclusive_)
            takeExclusiveLock(lockNumber);
        return;
    }
    const char *begin = exclusive ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE";
    const int rc = sqlite3_exec(db_, begin, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
            platform::raiseAfterWait(lockNumber, takeWaited(), {QString()});
        fail(rc, Operation::Write, QString::fromLatin1(begin));
    }
    baseActive_ = true;
    baseExclusive_ = exclusive;
    baseWritten_ = false;
}

// A transaction already open holds the write lock only; readers of other
// programs still come in. Writing a page out of the cache takes the
// exclusive lock, which SQLite then keeps to the end of the transaction: the
// header page is made dirty by writing back the value it holds.
void Connection::takeExclusiveLock(int lockNumber)
{
    const QVariant version = query(QStringLiteral("PRAGMA user_version"), {}, Operation::Write).at(0).at(0);
    run(QStringLiteral("PRAGMA user_version = %1").arg(version.toLongLong()), {}, Operation::Write);
    const int rc = sqlite3_db_cacheflush(db_);
    if (rc != SQLITE_OK) {
        if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
            platform::raiseAfterWait(lockNumber, takeWaited(), {QString()});
        fail(rc, Operation::Write, QStringLiteral("COMMIT"));
    }
    baseExclusive_ = true;
}

void Connection::leaveBase()
{
    if (!baseActive_ || depth_ > 0 || holds_ > 0)
        return;
    // Readers of other programs may hold the file: the commit waits for them
    // as long as the procedure that runs it allows.
    waitLimitMs_ = CommitWait::current();
    const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    waitLimitMs_ = BusyWaitMs;
    if (rc == SQLITE_OK) {
        baseActive_ = false;
        return;
    }
    // The commit's own error is read before the rollback, whose error would
    // take its place. A refused commit is undone at once: left open, it would
    // keep every other program out and reach the archive with the next commit.
    const Failure refused = failure(rc);
    abandonBase();
    fail(refused, Operation::Write, QStringLiteral("COMMIT"));
}

void Connection::abandonBase()
{
    if (!sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    baseActive_ = false;
    lost_.reset();
    cachedVersion_ = -1;
    cache_.clear();
}

bool Connection::lostBySqlite() const { return baseActive_ && sqlite3_get_autocommit(db_) != 0; }

void Connection::endLost(bool report)
{
    const platform::RuntimeError error =
        lost_.value_or(platform::RuntimeError(ReservedError, platform::errorDescription(ReservedError, {"0"})));
    if (depth_ == 0 && holds_ == 0)
        abandonBase();
    if (report)
        throw error;
}

void Connection::beginTrans()
{
    if (lostBySqlite())
        endLost(true);
    enterBase(CouldNotUpdateLocked, false);
    ++depth_;
    run(QStringLiteral("SAVEPOINT dao_%1").arg(depth_), {}, Operation::Write);
}

void Connection::commitTrans()
{
    if (depth_ == 0)
        platform::raise(CommitWithoutBegin);
    if (lostBySqlite()) {
        --depth_;
        endLost(true);
    }
    run(QStringLiteral("RELEASE dao_%1").arg(depth_), {}, Operation::Write);
    --depth_;
    leaveBase();
}

void Connection::rollback()
{
    if (depth_ == 0)
        platform::raise(CommitWithoutBegin);
    if (lostBySqlite()) {
        --depth_;
        endLost(false);
        return;
    }
    run(QStringLiteral("ROLLBACK TO dao_%1").arg(depth_), {}, Operation::Write);
    run(QStringLiteral("RELEASE dao_%1").arg(depth_), {}, Operation::Write);
    --depth_;
    cachedVersion_ = -1;
    cache_.clear();
    // A rollback never commits: the outermost one ends the transaction undone,
    // unless a recordset that denied others wrote outside it meanwhile.
    if (depth_ == 0 && holds_ == 0 && baseActive_ && !baseWritten_)
        abandonBase();
    else
        leaveBase();
}

void Connection::hold()
{
    enterBase(CouldNotLockTableDenied, true);
    ++holds_;
}

void Connection::release()
{
    if (holds_ == 0)
        return;
    --holds_;
    if (lostBySqlite())
        endLost(true);
    leaveBase();
}

}  // namespace dao
