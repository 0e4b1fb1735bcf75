#include "platform/dao/connection.h"

#include "platform/dao/values.h"

#include <sqlite3.h>

namespace dao {

namespace {

// Keeps the first table the statement being compiled reads, writes, makes or
// changes; SQLite's own tables, which a CREATE writes first, are passed over.
int noteFirstTable(void *first, int action, const char *detail1, const char *detail2, const char *, const char *)
{
    auto &table = *static_cast<QString *>(first);
    if (!table.isEmpty())
        return SQLITE_OK;
    const char *name = nullptr;
    switch (action) {
    case SQLITE_READ:
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
    case SQLITE_CREATE_TABLE:
    case SQLITE_CREATE_TEMP_TABLE:
    case SQLITE_DROP_TABLE:
    case SQLITE_DROP_TEMP_TABLE:
        name = detail1;
        break;
    case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_TEMP_INDEX:
    case SQLITE_DROP_INDEX:
    case SQLITE_DROP_TEMP_INDEX:
    case SQLITE_ALTER_TABLE:
        name = detail2;
        break;
    default:
        break;
    }
    if (name && sqlite3_strnicmp(name, "sqlite_", 7) != 0)
        table = QString::fromUtf8(name);
    return SQLITE_OK;
}

}  // namespace

QString Connection::statementTable(const QString &sql)
{
    // The statement is compiled once more, never run, with the authorizer
    // listening. Meeting a lock here must not wait a second time: the
    // caller has already waited for it.
    QString table;
    sqlite3_busy_handler(db_, nullptr, nullptr);
    sqlite3_set_authorizer(db_, &noteFirstTable, &table);
    sqlite3_stmt *statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_prepare_v2(db_, utf8.constData(), int(utf8.size()), &statement, nullptr);
    sqlite3_finalize(statement);
    sqlite3_set_authorizer(db_, nullptr, nullptr);
    sqlite3_busy_handler(db_, &Connection::busyHandler, this);
    // A connection that has not read the schema yet cannot compile anything
    // while another program holds the file locked: the text names the table.
    return table.isEmpty() ? tableNamedIn(sql) : table;
}

}  // namespace dao
