#include "platform/dao/connection.h"

#include "platform/clock.h"
#include "platform/dao/values.h"
#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <sqlite3.h>

namespace dao {

using namespace platform::err;

namespace {

constexpr auto FieldCatalog = "_dao_fields";
constexpr auto IndexCatalog = "_dao_indexes";

QString quoted(const QString &identifier) { return quoteIdentifier(identifier); }

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

// The table a statement works on, for lock messages.
// "Table.Field" as the rule messages name a field, spelled as defined.
QString qualifiedField(const std::optional<TableDef> &def, const QString &table, const QString &field)
{
    if (!def)
        return table.isEmpty() ? field : table + u'.' + field;
    return def->name() + u'.' + (def->hasField(field) ? def->field(field).name : field);
}

QString sqliteType(const Field &f)
{
    switch (f.type) {
    case FieldType::Boolean: return QStringLiteral("YESNO");
    case FieldType::Byte: return QStringLiteral("BYTE");
    case FieldType::Integer: return QStringLiteral("SHORT");
    case FieldType::Long: return QStringLiteral("LONG");
    case FieldType::Double: return QStringLiteral("DOUBLE");
    case FieldType::Date: return QStringLiteral("DATETIME");
    case FieldType::Text: return QStringLiteral("VARCHAR(%1)").arg(f.size > 0 ? f.size : 255);
    case FieldType::Memo: return QStringLiteral("LONGTEXT");
    }
    return QStringLiteral("LONGTEXT");
}

// A column created outside the layer: its type read back from the declaration.
Field fieldFromDeclaration(const QString &name, const QString &declared)
{
    const QString t = declared.toUpper();
    static const QRegularExpression width(QStringLiteral("\\((\\d+)\\)"));
    Field f(name, FieldType::Memo);
    f.allowZeroLength = true;
    if (t == QLatin1String("YESNO") || t.startsWith(QLatin1String("BOOL")) || t == QLatin1String("BIT"))
        f.type = FieldType::Boolean;
    else if (t == QLatin1String("BYTE") || t == QLatin1String("TINYINT"))
        f.type = FieldType::Byte;
    else if (t == QLatin1String("SHORT") || t == QLatin1String("SMALLINT"))
        f.type = FieldType::Integer;
    else if (t == QLatin1String("LONG") || t.contains(QLatin1String("INT")))
        f.type = FieldType::Long;
    else if (t.contains(QLatin1String("DOUB")) || t.contains(QLatin1String("REAL"))
             || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("NUMERIC")))
        f.type = FieldType::Double;
    else if (t.startsWith(QLatin1String("DATE")))
        f.type = FieldType::Date;
    else if (t.contains(QLatin1String("CHAR"))) {
        f.type = FieldType::Text;
        const auto m = width.match(t);
        f.size = m.hasMatch() ? m.captured(1).toInt() : 255;
    }
    if (f.type != FieldType::Text && f.type != FieldType::Memo)
        f.allowZeroLength = false;
    return f;
}

int defaultSize(FieldType type)
{
    switch (type) {
    case FieldType::Boolean: return 1;
    case FieldType::Byte: return 1;
    case FieldType::Integer: return 2;
    case FieldType::Long: return 4;
    case FieldType::Double: return 8;
    case FieldType::Date: return 8;
    case FieldType::Text: return 255;
    case FieldType::Memo: return 0;
    }
    return 0;
}

// The column as the file itself holds its rules: every constraint is named
// "<field>:<rule>" so that a failure maps back to its own error number.
QString columnDefinition(const Field &f, bool inPrimaryKey)
{
    const QString q = quoted(f.name);
    auto named = [&](const QString &rule, const QString &check) {
        return QStringLiteral(" CONSTRAINT ") + quoted(f.name + u':' + rule) + QStringLiteral(" CHECK (")
               + check + u')';
    };
    QString def = q + u' ' + sqliteType(f);
    if (f.required || inPrimaryKey)
        def += QStringLiteral(" NOT NULL");
    const QString dflt = sqliteDefault(f);
    if (!dflt.isEmpty())
        def += QStringLiteral(" DEFAULT ") + dflt;
    switch (f.type) {
    case FieldType::Boolean:
        def += named(QStringLiteral("yes-no"), q + QStringLiteral(" IN (-1, 0)"));
        break;
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long: {
        const qint64 lo = f.type == FieldType::Byte ? 0 : f.type == FieldType::Integer ? -32768 : -2147483648LL;
        const qint64 hi = f.type == FieldType::Byte ? 255 : f.type == FieldType::Integer ? 32767 : 2147483647LL;
        def += named(QStringLiteral("type"), QStringLiteral("typeof(%1) IN ('integer', 'null')").arg(q));
        def += named(QStringLiteral("range"), QStringLiteral("%1 BETWEEN %2 AND %3").arg(q).arg(lo).arg(hi));
        break;
    }
    case FieldType::Double:
        def += named(QStringLiteral("type"), QStringLiteral("typeof(%1) IN ('integer', 'real', 'null')").arg(q));
        break;
    case FieldType::Date:
        def += named(QStringLiteral("date"),
                     QStringLiteral("%1 IS NULL OR (typeof(%1) = 'text' AND (date(%1) IS %1 OR datetime(%1) IS %1))")
                         .arg(q));
        break;
    case FieldType::Text:
        def += QStringLiteral(" COLLATE NOCASE");
        def += named(QStringLiteral("width"), QStringLiteral("length(%1) <= %2").arg(q).arg(f.size > 0 ? f.size : 255));
        if (!f.allowZeroLength)
            def += named(QStringLiteral("zero-length"), q + QStringLiteral(" <> ''"));
        break;
    case FieldType::Memo:
        def += QStringLiteral(" COLLATE NOCASE");
        if (!f.allowZeroLength)
            def += named(QStringLiteral("zero-length"), q + QStringLiteral(" <> ''"));
        break;
    }
    return def;
}

QString indexColumns(const Index &index)
{
    QStringList cols;
    for (const IndexField &f : index.fields)
        cols << quoted(f.name) + (f.descending ? QStringLiteral(" DESC") : QString());
    return cols.join(QStringLiteral(", "));
}

QString encodeIndexFields(const Index &index)
{
    QStringList parts;
    for (const IndexField &f : index.fields)
        parts << (f.descending ? u'-' : u'+') + f.name;
    return parts.join(u';');
}

std::vector<IndexField> decodeIndexFields(const QString &text)
{
    std::vector<IndexField> out;
    for (const QString &part : text.split(u';', Qt::SkipEmptyParts))
        out.push_back({part.mid(1), part.startsWith(u'-')});
    return out;
}

QString sqliteIndexName(const QString &table, const QString &index) { return table + u'.' + index; }

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

// ---------------------------------------------------------------- errors

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
            const auto def = findTable(table);
            if (def && def->inPrimaryKey(field))
                platform::raise(NullInIndex);
            platform::raise(FieldRequired, {qualifiedField(def, table, field)});
        }
        if (rc == SQLITE_CONSTRAINT_CHECK) {
            // "CHECK constraint failed: Field:rule"
            const QString name = message.section(QStringLiteral("failed:"), 1).trimmed();
            const int colon = int(name.lastIndexOf(u':'));
            const QString table = statementTable(sql);
            const QString field = qualifiedField(findTable(table), table, name.left(colon));
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

// ---------------------------------------------------------------- catalog

int Connection::schemaVersion()
{
    return query(QStringLiteral("PRAGMA schema_version"), {}, Operation::Read).at(0).at(0).toInt();
}

void Connection::ensureCatalog()
{
    run(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (TableName TEXT NOT NULL COLLATE NOCASE, "
                       "FieldName TEXT NOT NULL COLLATE NOCASE, Position INTEGER NOT NULL, "
                       "OrdinalPosition INTEGER NOT NULL, Type INTEGER NOT NULL, Size INTEGER NOT NULL, "
                       "Required INTEGER NOT NULL, AllowZeroLength INTEGER NOT NULL, DefaultValue TEXT, "
                       "ValidationRule TEXT, ValidationText TEXT, Attributes INTEGER NOT NULL, "
                       "PRIMARY KEY (TableName, FieldName))")
            .arg(QLatin1String(FieldCatalog)),
        {}, Operation::Write);
    run(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (TableName TEXT NOT NULL COLLATE NOCASE, "
                       "IndexName TEXT NOT NULL COLLATE NOCASE, Position INTEGER NOT NULL, Fields TEXT NOT NULL, "
                       "IsPrimary INTEGER NOT NULL, IsUnique INTEGER NOT NULL, IgnoreNulls INTEGER NOT NULL, "
                       "PRIMARY KEY (TableName, IndexName))")
            .arg(QLatin1String(IndexCatalog)),
        {}, Operation::Write);
}

std::vector<QString> Connection::tableNames()
{
    std::vector<QString> names;
    for (const auto &row :
         query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
                              "ESCAPE '\\' AND name NOT LIKE '\\_dao\\_%' ESCAPE '\\' ORDER BY rowid"),
               {}, Operation::Read))
        names.push_back(row[0].toString());
    return names;
}

std::optional<TableDef> Connection::findTable(const QString &name)
{
    const int version = schemaVersion();
    if (version != cachedVersion_) {
        cache_.clear();
        cachedVersion_ = version;
    }
    const QString key = name.toLower();
    auto cached = cache_.find(key);
    if (cached != cache_.end())
        return cached->second;

    const auto master = query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? "
                                             "COLLATE NOCASE AND name NOT LIKE '\\_dao\\_%' ESCAPE '\\'"),
                              {name}, Operation::Read);
    if (master.empty())
        return std::nullopt;
    const QString realName = master[0][0].toString();
    const bool hasCatalog = !query(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = ?"),
                                   {QLatin1String(FieldCatalog)}, Operation::Read)
                                 .empty();
    TableDef table(realName);
    std::map<QString, std::vector<QVariant>> props;
    if (hasCatalog) {
        for (auto &row : query(QStringLiteral("SELECT FieldName, OrdinalPosition, Type, Size, Required, "
                                              "AllowZeroLength, DefaultValue, ValidationRule, ValidationText, "
                                              "Attributes FROM %1 WHERE TableName = ?")
                                   .arg(QLatin1String(FieldCatalog)),
                               {realName}, Operation::Read))
            props[row[0].toString().toLower()] = row;
    }
    std::vector<QString> pkColumns;
    for (const auto &col : query(QStringLiteral("SELECT name, type, \"notnull\", pk FROM pragma_table_info(?)"),
                                 {realName}, Operation::Read)) {
        const QString colName = col[0].toString();
        Field f;
        auto p = props.find(colName.toLower());
        if (p != props.end()) {
            const auto &r = p->second;
            f = Field(colName, FieldType(r[2].toInt()), r[3].toInt());
            f.ordinalPosition = r[1].toInt();
            f.required = r[4].toInt() != 0;
            f.allowZeroLength = r[5].toInt() != 0;
            f.defaultValue = r[6].toString();
            f.validationRule = r[7].toString();
            f.validationText = r[8].toString();
            f.attributes = r[9].toLongLong();
        } else {
            f = fieldFromDeclaration(colName, col[1].toString());
            f.required = col[2].toInt() != 0;
            if (f.size == 0)
                f.size = defaultSize(f.type);
        }
        if (col[3].toInt() > 0)
            pkColumns.push_back(colName);
        table.appendField(f);
    }
    bool catalogIndexes = false;
    if (hasCatalog) {
        for (const auto &row : query(QStringLiteral("SELECT IndexName, Fields, IsPrimary, IsUnique, IgnoreNulls FROM "
                                                    "%1 WHERE TableName = ? ORDER BY Position")
                                         .arg(QLatin1String(IndexCatalog)),
                                     {realName}, Operation::Read)) {
            Index index;
            index.name = row[0].toString();
            index.fields = decodeIndexFields(row[1].toString());
            index.primary = row[2].toInt() != 0;
            index.unique = row[3].toInt() != 0;
            index.ignoreNulls = row[4].toInt() != 0;
            table.appendIndex(index);
            catalogIndexes = true;
        }
    }
    if (!catalogIndexes && props.empty()) {
        // A table made outside the layer: its keys as SQLite holds them.
        if (!pkColumns.empty()) {
            Index pk;
            pk.name = QStringLiteral("PrimaryKey");
            pk.primary = pk.unique = true;
            for (const QString &c : pkColumns)
                pk.fields.push_back({c, false});
            table.appendIndex(pk);
        }
        for (const auto &idx : query(QStringLiteral("SELECT name, \"unique\", origin FROM pragma_index_list(?)"),
                                     {realName}, Operation::Read)) {
            if (idx[2].toString() == QLatin1String("pk"))
                continue;
            Index index;
            index.name = idx[0].toString().section(u'.', -1);
            index.unique = idx[1].toInt() != 0;
            for (const auto &c : query(QStringLiteral("SELECT name, desc FROM pragma_index_xinfo(?) WHERE key = 1"),
                                       {idx[0]}, Operation::Read))
                index.fields.push_back({c[0].toString(), c[1].toInt() != 0});
            if (!table.hasIndex(index.name))
                table.appendIndex(index);
        }
    }
    cache_[key] = table;
    return table;
}

void Connection::saveCatalog(const TableDef &table)
{
    ensureCatalog();
    run(QStringLiteral("DELETE FROM %1 WHERE TableName = ?").arg(QLatin1String(FieldCatalog)), {table.name()},
        Operation::Write);
    run(QStringLiteral("DELETE FROM %1 WHERE TableName = ?").arg(QLatin1String(IndexCatalog)), {table.name()},
        Operation::Write);
    int position = 0;
    for (const Field &f : table.fields())
        run(QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)").arg(QLatin1String(FieldCatalog)),
            {table.name(), f.name, position++, f.ordinalPosition, int(f.type), f.size, f.required ? 1 : 0,
             f.allowZeroLength ? 1 : 0, f.defaultValue, f.validationRule, f.validationText,
             qlonglong(f.attributes)},
            Operation::Write);
    position = 0;
    for (const Index &i : table.indexes())
        run(QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?, ?, ?, ?)").arg(QLatin1String(IndexCatalog)),
            {table.name(), i.name, position++, encodeIndexFields(i), i.primary ? 1 : 0,
             (i.unique || i.primary) ? 1 : 0, i.ignoreNulls ? 1 : 0},
            Operation::Write);
}

void Connection::createTable(const TableDef &table)
{
    if (table.name().isEmpty() || table.name().startsWith(QLatin1String("_dao_"), Qt::CaseInsensitive))
        platform::raise(InvalidName, {table.name()});
    if (findTable(table.name()))
        platform::raise(AlreadyExists, {table.name()});
    if (table.fields().empty())
        platform::raise(NoFields, {table.name()});
    QStringList parts;
    for (const Field &f : table.fields())
        parts << columnDefinition(f, table.inPrimaryKey(f.name));
    if (const Index *pk = table.primaryIndex())
        parts << QStringLiteral("CONSTRAINT ") + quoted(pk->name) + QStringLiteral(" PRIMARY KEY (") + indexColumns(*pk)
                     + u')';
    atomically([&] {
        run(QStringLiteral("CREATE TABLE ") + quoted(table.name()) + QStringLiteral(" (\n  ")
                + parts.join(QStringLiteral(",\n  ")) + QStringLiteral("\n)"),
            {}, Operation::Write);
        for (const Index &index : table.indexes())
            if (!index.primary)
                createIndex(table.name(), index);
        saveCatalog(table);
    });
}

void Connection::dropTable(const QString &name)
{
    const auto table = findTable(name);
    if (!table)
        platform::raise(ItemNotFound);
    atomically([&] {
        run(QStringLiteral("DROP TABLE ") + quoted(table->name()), {}, Operation::Write);
        ensureCatalog();
        run(QStringLiteral("DELETE FROM %1 WHERE TableName = ?").arg(QLatin1String(FieldCatalog)), {table->name()},
            Operation::Write);
        run(QStringLiteral("DELETE FROM %1 WHERE TableName = ?").arg(QLatin1String(IndexCatalog)), {table->name()},
            Operation::Write);
    });
}

void Connection::renameTable(const QString &name, const QString &newName)
{
    auto table = findTable(name);
    if (!table)
        platform::raise(ItemNotFound);
    if (findTable(newName) && newName.compare(name, Qt::CaseInsensitive) != 0)
        platform::raise(AlreadyExists, {newName});
    atomically([&] {
        run(QStringLiteral("ALTER TABLE ") + quoted(table->name()) + QStringLiteral(" RENAME TO ") + quoted(newName),
            {}, Operation::Write);
        // SQLite index names are global; they follow the table's name.
        for (const Index &index : table->indexes())
            if (!index.primary)
                dropIndex(table->name(), index.name);
        ensureCatalog();
        run(QStringLiteral("DELETE FROM %1 WHERE TableName = ?").arg(QLatin1String(FieldCatalog)), {table->name()},
            Operation::Write);
        run(QStringLiteral("DELETE FROM %1 WHERE TableName = ?").arg(QLatin1String(IndexCatalog)), {table->name()},
            Operation::Write);
        table->setName(newName);
        for (const Index &index : table->indexes())
            if (!index.primary)
                run(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                        .arg(index.unique ? QStringLiteral("UNIQUE ") : QString(),
                             quoted(sqliteIndexName(newName, index.name)), quoted(newName), indexColumns(index)),
                    {}, Operation::Write);
        saveCatalog(*table);
    });
}

void Connection::addColumn(const QString &tableName, const Field &field)
{
    auto table = findTable(tableName);
    if (!table)
        platform::raise(ItemNotFound);
    table->appendField(field);
    if (field.required && sqliteDefault(field).isEmpty()
        && !query(QStringLiteral("SELECT 1 FROM ") + quoted(table->name()) + QStringLiteral(" LIMIT 1"), {},
                  Operation::Read)
                .empty())
        platform::raise(FieldRequired, {field.name});
    atomically([&] {
        run(QStringLiteral("ALTER TABLE ") + quoted(table->name()) + QStringLiteral(" ADD COLUMN ")
                + columnDefinition(field, false),
            {}, Operation::Write);
        saveCatalog(*table);
    });
}

void Connection::createIndex(const QString &tableName, const Index &index)
{
    auto table = findTable(tableName);
    if (!table)
        platform::raise(ItemNotFound);
    if (index.primary) {
        // SQLite cannot add a primary key to a table: the table is made again.
        if (table->primaryIndex())
            platform::raise(PrimaryKeyExists);
        TableDef target = *table;
        target.appendIndex(index);
        QStringList columns;
        for (const Field &f : table->fields())
            columns << quoted(f.name);
        rebuildTable(target, columns.join(QStringLiteral(", ")));
        return;
    }
    const bool catalogued = table->hasIndex(index.name);
    for (const IndexField &f : index.fields)
        table->field(f.name);  // 3265 for a field the table lacks
    QString where;
    if (index.ignoreNulls) {
        QStringList notNull;
        for (const IndexField &f : index.fields)
            notNull << quoted(f.name) + QStringLiteral(" IS NOT NULL");
        where = QStringLiteral(" WHERE ") + notNull.join(QStringLiteral(" AND "));
    }
    atomically([&] {
        run(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)%5")
                .arg(index.unique ? QStringLiteral("UNIQUE ") : QString(),
                     quoted(sqliteIndexName(table->name(), index.name)), quoted(table->name()),
                     indexColumns(index), where),
            {}, Operation::Write);
        if (!catalogued) {
            table->appendIndex(index);
            saveCatalog(*table);
        }
    });
}

void Connection::rebuildTable(const TableDef &target, const QString &selectList)
{
    const auto old = findTable(target.name());
    if (!old)
        platform::raise(ItemNotFound);
    const QString scratch = QStringLiteral("_dao_rebuild");
    atomically([&] {
        run(QStringLiteral("ALTER TABLE ") + quoted(old->name()) + QStringLiteral(" RENAME TO ") + quoted(scratch), {},
            Operation::Write);
        for (const Index &index : old->indexes())
            if (!index.primary)
                dropIndex(old->name(), index.name);
        createTable(target);
        QStringList columns;
        for (const Field &f : target.fields())
            columns << quoted(f.name);
        run(QStringLiteral("INSERT INTO ") + quoted(target.name()) + QStringLiteral(" (") + columns.join(QStringLiteral(", "))
                + QStringLiteral(") SELECT ") + selectList + QStringLiteral(" FROM ") + quoted(scratch),
            {}, Operation::Write);
        run(QStringLiteral("DROP TABLE ") + quoted(scratch), {}, Operation::Write);
    });
}

void Connection::dropIndex(const QString &tableName, const QString &indexName)
{
    run(QStringLiteral("DROP INDEX IF EXISTS ") + quoted(sqliteIndexName(tableName, indexName)), {}, Operation::Write);
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
    platform::clock().sleepMs(int(std::min<qint64>(platform::LockRetryPauseMs, end - now)));
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
