#include "platform/dao/errormap.h"

#include "platform/dao/connection.h"
#include "platform/dao/values.h"
#include "platform/errors.h"

#include <QRegularExpression>
#include <cerrno>
#include <sqlite3.h>

namespace dao {

using namespace platform::err;

namespace {

// "Table.Field" as the rule messages name a field, spelled as defined.
QString qualifiedField(const std::optional<TableDef> &def, const QString &table, const QString &field)
{
    if (!def)
        return table.isEmpty() ? field : table + u'.' + field;
    return def->name() + u'.' + (def->hasField(field) ? def->field(field).name : field);
}

}  // namespace

int errorNumberFor(int rc, int systemErrno)
{
    const int primary = rc & 0xff;
    // An open or a write the system refused: what it said decides.
    if (primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN || primary == SQLITE_FULL) {
        if (systemErrno == ENOSPC || systemErrno == EDQUOT)
            return DiskFull;
        if (systemErrno == EACCES || systemErrno == EPERM || systemErrno == EROFS)
            return DatabaseReadOnly;
    }
    switch (primary) {
    case SQLITE_FULL: return DiskFull;
    case SQLITE_IOERR: return rc == SQLITE_IOERR_NOMEM ? OutOfMemory : DiskOrNetworkError;
    case SQLITE_NOMEM: return OutOfMemory;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return CouldNotUpdateLocked;
    case SQLITE_CORRUPT: return DatabaseCorrupt;
    case SQLITE_NOTADB: return UnrecognizedDatabaseFormat;
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN: return DatabaseReadOnly;
    case SQLITE_TOOBIG: return FieldTooSmall;
    case SQLITE_MISMATCH: return DataTypeMismatch;
    case SQLITE_ERROR: return SyntaxErrorInExpression;
    default: return ReservedError;
    }
}

Connection::Failure Connection::failure(int rc) const
{
    return {rc, QString::fromUtf8(sqlite3_errmsg(db_)), sqlite3_system_errno(db_)};
}

void Connection::fail(int rc, Operation op, const QString &sql) { fail(failure(rc), op, sql); }

void Connection::fail(const Failure &failure, Operation op, const QString &sql)
{
    try {
        raiseFor(failure, op, sql);
    } catch (const platform::RuntimeError &e) {
        // After some failures (a full disk, an I/O error) SQLite undoes the
        // whole transaction itself: what ends it later reports this.
        if (baseActive_ && sqlite3_get_autocommit(db_) && !lost_)
            lost_ = e;
        throw;
    }
}

void Connection::raiseFor(const Failure &failure, Operation op, const QString &sql)
{
    const int rc = failure.rc;
    const QString &message = failure.message;
    const int primary = rc & 0xff;
    static const QRegularExpression daoNumber(QStringLiteral("^dao:(\\d+)"));
    const auto custom = daoNumber.match(message);
    if (custom.hasMatch())
        platform::raise(custom.captured(1).toInt(), {sql});
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
        const QString table = statementTable(sql);
        const qint64 waited = takeWaited();
        switch (op) {
        case Operation::Read: platform::raiseAfterWait(CouldNotLockTable, waited, {table});
        case Operation::OpenDenying: platform::raiseAfterWait(CouldNotLockTableDenied, waited, {table});
        case Operation::Write: platform::raiseAfterWait(CouldNotUpdateLocked, waited, {table});
        }
    }
    if (primary == SQLITE_CONSTRAINT) {
        if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
            platform::raise(DuplicateKey);
        if (rc == SQLITE_CONSTRAINT_NOTNULL) {
            // "NOT NULL constraint failed: Table.Field"
            const QString target = message.section(u':', 1).trimmed();
            const QString table = target.section(u'.', 0, 0);
            const QString field = target.section(u'.', 1);
            auto self = this;
            const auto def = self->findTable(table);
            if (def && def->inPrimaryKey(field))
                platform::raise(NullInIndex);
            platform::raise(FieldRequired, {qualifiedField(def, table, field)});
        }
        if (rc == SQLITE_CONSTRAINT_CHECK) {
            // "CHECK constraint failed: Field:rule"
            const QString name = message.section(QStringLiteral("failed:"), 1).trimmed();
            const int colon = int(name.lastIndexOf(u':'));
            const QString table = statementTable(sql);
            const QString field = qualifiedField(findTable(table), table,
                                                 name.left(colon));
            const QString rule = name.mid(colon + 1);
            if (rule == QLatin1String("width"))
                platform::raise(FieldTooSmall, {field});
            if (rule == QLatin1String("zero-length"))
                platform::raise(ZeroLengthNotAllowed, {field});
            if (rule == QLatin1String("range"))
                platform::raise(Overflow);
            platform::raise(DataTypeConversion, {field});
        }
        platform::raise(ReservedError, {QString::number(rc)});
    }
    if (primary == SQLITE_ERROR) {
        if (message.startsWith(QLatin1String("cannot commit")) || message.startsWith(QLatin1String("cannot rollback")))
            platform::raise(CommitWithoutBegin);
        if (message.startsWith(QLatin1String("no such table: ")))
            platform::raise(ObjectNotFound, {message.mid(15)});
        if (message.startsWith(QLatin1String("no such column: ")))
            platform::raise(TooFewParameters, {QStringLiteral("1")});
        if (message.startsWith(QLatin1String("ambiguous column name: ")))
            platform::raise(AmbiguousField, {message.mid(23)});
        if (message.startsWith(QLatin1String("table ")) && message.endsWith(QLatin1String("already exists")))
            platform::raise(AlreadyExists, {statementTable(sql)});
        if (message.contains(QLatin1String("syntax error")) || message.contains(QLatin1String("incomplete input"))
            || message.contains(QLatin1String("unrecognized token")))
            platform::raise(SyntaxErrorInExpression, {sql});
    }
    // Every other result has its number and its Italian text; the engine's
    // own English words never reach a message.
    const int number = errorNumberFor(rc, failure.systemErrno);
    switch (number) {
    case SyntaxErrorInExpression: platform::raise(number, {sql});
    case ReservedError: platform::raise(number, {QString::number(rc)});
    default: platform::raise(number, {shownName_});
    }
}

}  // namespace dao
