#include "platform/dao/database.h"

#include "platform/dao/connection.h"
#include "platform/dao/recordset.h"
#include "platform/dao/values.h"
#include "platform/errors.h"

#include <QRegularExpression>

namespace dao {

using namespace platform::err;

Database::Database(QString name, std::shared_ptr<Connection> connection)
    : name_(std::move(name)), connection_(std::move(connection))
{
}

Database Database::open(const QString &path, const QString &shownName)
{
    return Database(shownName.isEmpty() ? path : shownName, Connection::acquire(path, false, shownName));
}

Database Database::create(const QString &path) { return Database(path, Connection::acquire(path, true)); }

bool Database::held(const QString &path) { return Connection::held(path); }

void Database::close() { connection_.reset(); }

Connection &Database::connection() const
{
    if (!connection_)
        platform::raise(ObjectInvalid);
    return *connection_;
}

int Database::execute(const QString &sql, const QVariantList &params, int options)
{
    QString statement = translateJetSql(sql);
    if (!(options & FailOnError)) {
        // Rows that would break a rule are passed over, the others written.
        static const QRegularExpression head(QStringLiteral("^(\\s*)(INSERT|UPDATE)\\b(?!\\s+OR\\b)"),
                                             QRegularExpression::CaseInsensitiveOption);
        statement.replace(head, QStringLiteral("\\1\\2 OR IGNORE"));
    }
    return connection().run(statement, params, Operation::Write);
}

int Database::recordsAffected() const { return connection().changes(); }

std::unique_ptr<Recordset> Database::openRecordset(const QString &sql, const QVariantList &params,
                                                   RecordsetType type, int options)
{
    connection();  // 3420 on a closed database
    return std::unique_ptr<Recordset>(new Recordset(connection_, sql, params, type, options));
}

std::vector<TableDef> Database::tableDefs() const
{
    std::vector<TableDef> tables;
    for (const QString &name : connection().tableNames())
        tables.push_back(*connection().findTable(name));
    return tables;
}

TableDef Database::tableDef(const QString &name) const
{
    auto table = connection().findTable(name);
    if (!table)
        platform::raise(ItemNotFound);
    return *table;
}

bool Database::hasTable(const QString &name) const { return connection().findTable(name).has_value(); }

void Database::appendTableDef(const TableDef &table) { connection().createTable(table); }

void Database::deleteTableDef(const QString &name) { connection().dropTable(name); }

void Database::renameTableDef(const QString &name, const QString &newName)
{
    connection().renameTable(name, newName);
}

void Database::appendField(const QString &table, const Field &field) { connection().addColumn(table, field); }

void Database::appendIndex(const QString &table, const Index &index)
{
    if (tableDef(table).hasIndex(index.name))
        platform::raise(platform::err::IndexAlreadyExists);
    connection().createIndex(table, index);
}

void Database::deleteIndex(const QString &table, const QString &index)
{
    TableDef def = tableDef(table);
    const Index existing = def.index(index);
    if (existing.primary) {
        def.removeIndex(index);
        QStringList columns;
        for (const Field &f : def.fields())
            columns << quoteIdentifier(f.name);
        connection().rebuildTable(def, columns.join(QStringLiteral(", ")));
        return;
    }
    Transaction t(*this);
    connection().dropIndex(def.name(), existing.name);
    def.removeIndex(index);
    connection().saveCatalog(def);
    t.commit();
}

void Database::beginTrans() { connection().beginTrans(); }

void Database::commitTrans() { connection().commitTrans(); }

void Database::rollback() { connection().rollback(); }

int Database::transactionDepth() const { return connection().depth(); }

Transaction::Transaction(Database &db) : db_(db) { db_.beginTrans(); }

Transaction::~Transaction()
{
    if (open_) {
        try {
            db_.rollback();
        } catch (...) {
            // Nothing more can be undone here.
        }
    }
}

void Transaction::commit()
{
    db_.commitTrans();
    open_ = false;
}

}  // namespace dao
