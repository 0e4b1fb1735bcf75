#include "platform/dao/connection.h"

#include "platform/dao/values.h"
#include "platform/errors.h"

#include <QRegularExpression>
#include <QStringList>

namespace dao {

using namespace platform::err;

namespace {

constexpr auto FieldCatalog = "_dao_fields";
constexpr auto IndexCatalog = "_dao_indexes";

QString quoted(const QString &identifier) { return quoteIdentifier(identifier); }

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

}  // namespace dao
