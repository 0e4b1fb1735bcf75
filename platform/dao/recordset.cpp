#include "platform/dao/recordset.h"

#include "platform/dao/connection.h"
#include "platform/dao/values.h"
#include "platform/errors.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <sqlite3.h>

namespace dao {

using namespace platform::err;

namespace {

constexpr auto KeyColumn = "_dao_key";

// The text that reads each row's key with it, for a query that reads one
// table plainly; empty for any other. Worked out once per text and thread:
// the same few queries are opened thousands of times.
QString keyedText(const QString &text)
{
    thread_local QHash<QString, QString> known;
    if (const auto found = known.constFind(text); found != known.cend())
        return *found;
    static const QRegularExpression head(QStringLiteral("^\\s*SELECT\\s+"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression notKeyed(
        QStringLiteral("\\b(JOIN|DISTINCT|GROUP\\s+BY|UNION|INTERSECT|EXCEPT|COUNT|SUM|MIN|MAX|AVG|TOTAL|GROUP_CONCAT)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    const auto headMatch = head.match(text);
    QString keyed;
    if (headMatch.hasMatch() && !notKeyed.match(text).hasMatch())
        keyed = QStringLiteral("SELECT _rowid_ AS %1, ").arg(QLatin1String(KeyColumn)) + text.mid(headMatch.capturedEnd());
    if (known.size() >= 256)
        known.clear();
    known.insert(text, keyed);
    return keyed;
}

// The condition that a row still holds these stored values, compared exactly
// (case included), its values appended to the statement's.
QString heldTo(const std::vector<QString> &columns, const std::vector<QVariant> &values, QVariantList &params)
{
    QString held;
    for (size_t i = 0; i < columns.size(); ++i) {
        held += QStringLiteral(" AND ") + quoteIdentifier(columns[i]) + QStringLiteral(" IS ? COLLATE BINARY");
        params << values[i];
    }
    return held;
}

}  // namespace

Recordset::Recordset(std::shared_ptr<Connection> connection, const QString &sql, const QVariantList &params,
                     RecordsetType type, int options)
    : connection_(std::move(connection)), sql_(sql), type_(type), options_(options)
{
    const QString text =
        type == RecordsetType::Table ? QStringLiteral("SELECT * FROM ") + quoteIdentifier(sql) : translateJetSql(sql);
    const bool denying = options & (DenyRead | DenyWrite);
    const Operation op = denying ? Operation::OpenDenying : Operation::Read;
    try {
        if (denying) {
            connection_->hold();
            holdsLock_ = true;
            // Its work is committed when it closes, within the deadline of
            // the procedure that opened it.
            commitWaitMs_ = CommitWait::current();
        }
        // The rows' keys come with them when the query reads one table plainly.
        const QString withKeys = keyedText(text);
        std::unique_ptr<Connection::Statement> statement;
        bool keyed = false;
        if (!withKeys.isEmpty()) {
            try {
                statement = std::make_unique<Connection::Statement>(*connection_, withKeys, op);
                keyed = true;
            } catch (const platform::RuntimeError &e) {
                // A join or a subquery has no single row key: read it as it is.
                if (platform::err::isLock(e.number()))
                    throw;
            }
        }
        if (!statement)
            statement = std::make_unique<Connection::Statement>(*connection_, text, op);
        statement->bind(params);
        // Stepping first takes the read lock that the definition lookups
        // below then share, instead of each taking and dropping one of its own.
        bool row = statement->step();

        sqlite3_stmt *st = statement->get();
        const int first = keyed ? 1 : 0;
        const int n = statement->columnCount();
        QString base;
        bool oneTable = keyed;
        std::vector<const char *> origins;
        for (int c = first; c < n; ++c) {
            const char *t = sqlite3_column_table_name(st, c);
            origins.push_back(sqlite3_column_origin_name(st, c));
            if (!t || !origins.back()) {
                oneTable = false;
                continue;
            }
            const QString table = QString::fromUtf8(t);
            if (base.isEmpty())
                base = table;
            else if (base.compare(table, Qt::CaseInsensitive) != 0)
                oneTable = false;
        }
        // Each table's definition is looked up once: a lookup is a query of
        // its own, and a recordset has several columns of one table.
        std::map<QString, std::optional<TableDef>> definitions;
        for (int c = first; c < n; ++c) {
            const QString name = QString::fromUtf8(sqlite3_column_name(st, c));
            const char *t = sqlite3_column_table_name(st, c);
            const char *origin = origins[size_t(c - first)];
            const std::optional<TableDef> *def = nullptr;
            if (t && origin) {
                const QString table = QString::fromUtf8(t);
                auto known = definitions.find(table);
                if (known == definitions.end())
                    known = definitions.emplace(table, connection_->findTable(table)).first;
                def = &known->second;
            }
            if (def && *def && (*def)->hasField(QString::fromUtf8(origin))) {
                Field f = (*def)->field(QString::fromUtf8(origin));
                f.name = name;
                fields_.push_back(f);
                typed_.push_back(true);
            } else {
                fields_.push_back(Field(name, FieldType::Memo));
                typed_.push_back(false);
            }
            columns_.push_back(origin ? QString::fromUtf8(origin) : name);
        }
        if (oneTable && !base.isEmpty())
            table_ = base;
        live_ = !table_.isEmpty() && type_ != RecordsetType::Snapshot;

        for (; row; row = statement->step()) {
            if (keyed)
                keys_.push_back(sqlite3_column_int64(st, 0));
            if (!live_) {
                std::vector<QVariant> values;
                values.reserve(size_t(n - first));
                for (int c = first; c < n; ++c)
                    values.push_back(columnValue(st, c));
                snapshot_.push_back(std::move(values));
            }
        }
    } catch (const platform::RuntimeError &e) {
        if (holdsLock_)
            connection_->release();
        // The lock is met before the statement names its table: name it here.
        if (platform::err::isLock(e.number()))
            platform::raiseAfterWait(e.number(), e.waitedMs(), {connection_->statementTable(text)});
        throw;
    } catch (...) {
        if (holdsLock_)
            connection_->release();
        throw;
    }
}

Recordset::~Recordset()
{
    try {
        close();
    } catch (...) {
        // A failure to end the lock has no one left to report to.
    }
}

void Recordset::close()
{
    if (!connection_)
        return;
    editMode_ = EditMode::None;
    auto connection = std::move(connection_);
    connection_.reset();
    if (holdsLock_) {
        holdsLock_ = false;
        CommitWait wait(commitWaitMs_);
        connection->release();
    }
}

int Recordset::count() const { return int(live_ ? keys_.size() : snapshot_.size()); }

bool Recordset::updatable() const { return live_ && !(options_ & ReadOnly); }

void Recordset::requireOpen() const
{
    if (!connection_)
        platform::raise(ObjectInvalid);
}

bool Recordset::eof() const
{
    requireOpen();
    return position_ >= count();
}

bool Recordset::bof() const
{
    requireOpen();
    return position_ < 0 || count() == 0;
}

int Recordset::recordCount() const
{
    requireOpen();
    return count();
}

int Recordset::absolutePosition() const { return eof() || bof() ? -1 : position_; }

void Recordset::setAbsolutePosition(int position)
{
    requireOpen();
    if (position < 0 || position >= count())
        platform::raise(InvalidArgument);
    moveTo(position);
}

void Recordset::moveTo(int position)
{
    editMode_ = EditMode::None;
    condition_.reset();
    currentDeleted_ = false;
    currentLoaded_ = false;
    position_ = position;
}

void Recordset::moveFirst()
{
    requireOpen();
    if (count() == 0)
        platform::raise(NoCurrentRecord);
    moveTo(0);
}

void Recordset::moveLast()
{
    requireOpen();
    if (count() == 0)
        platform::raise(NoCurrentRecord);
    moveTo(count() - 1);
}

void Recordset::moveNext()
{
    if (eof())
        platform::raise(NoCurrentRecord);
    // After a delete the row that followed already stands at this position.
    moveTo(currentDeleted_ ? position_ : position_ + 1);
}

void Recordset::movePrevious()
{
    if (bof())
        platform::raise(NoCurrentRecord);
    moveTo(position_ - 1);
}

bool Recordset::hasField(const QString &name) const
{
    for (const Field &f : fields_)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

int Recordset::columnOf(const QString &name) const
{
    for (size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    platform::raise(ItemNotFound);
}

void Recordset::requireCurrent() const
{
    if (eof() || bof())
        platform::raise(NoCurrentRecord);
    if (currentDeleted_)
        platform::raise(RecordDeleted);
}

std::vector<QVariant> Recordset::readRow(qint64 key, bool *found) const
{
    QStringList columns;
    for (const QString &c : columns_)
        columns << quoteIdentifier(c);
    const auto rows = connection_->query(QStringLiteral("SELECT ") + columns.join(QStringLiteral(", "))
                                             + QStringLiteral(" FROM ") + quoteIdentifier(table_)
                                             + QStringLiteral(" WHERE _rowid_ = ?"),
                                         {key}, Operation::Read);
    *found = !rows.empty();
    return rows.empty() ? std::vector<QVariant>() : rows.front();
}

void Recordset::loadCurrent() const
{
    requireCurrent();
    if (currentLoaded_)
        return;
    if (live_) {
        bool found = false;
        current_ = readRow(keys_[size_t(position_)], &found);
        if (!found) {
            // Another program deleted the row since the recordset was opened.
            platform::raise(RecordDeleted);
        }
    }
    currentLoaded_ = true;
}

const std::vector<QVariant> &Recordset::currentRow() const
{
    // A row read at open is read where it is kept, never copied.
    return live_ ? current_ : snapshot_[size_t(position_)];
}

QVariant Recordset::value(int column) const
{
    requireOpen();
    if (column < 0 || column >= int(fields_.size()))
        platform::raise(ItemNotFound);
    const Field *def = typed_[size_t(column)] ? &fields_[size_t(column)] : nullptr;
    if (editMode_ != EditMode::None)
        return fromStorage(def, buffer_[size_t(column)]);
    loadCurrent();
    return fromStorage(def, currentRow()[size_t(column)]);
}

QVariant Recordset::value(const QString &field) const
{
    requireOpen();
    return value(columnOf(field));
}

void Recordset::setValue(const QString &field, const QVariant &value)
{
    requireOpen();
    const int column = columnOf(field);
    if (editMode_ == EditMode::None)
        platform::raise(UpdateWithoutEdit);
    buffer_[size_t(column)] = toStorage(fields_[size_t(column)], value);
    assigned_[size_t(column)] = true;
}

void Recordset::edit()
{
    requireOpen();
    if (!updatable())
        platform::raise(platform::err::ReadOnly);
    currentLoaded_ = false;  // edit what the row holds now
    loadCurrent();
    buffer_ = currentRow();
    assigned_.assign(fields_.size(), false);
    editMode_ = EditMode::InProgress;
    condition_.reset();
}

Recordset::Image Recordset::image() const
{
    requireOpen();
    if (!live_)
        platform::raise(platform::err::ReadOnly);
    loadCurrent();
    return {keys_[size_t(position_)], columns_, current_};
}

// The same column, by name, with the same stored value of the same type.
bool Recordset::holds(const Image &image) const
{
    for (size_t i = 0; i < image.columns.size(); ++i) {
        const auto it = std::find_if(columns_.begin(), columns_.end(), [&](const QString &c) {
            return c.compare(image.columns[i], Qt::CaseInsensitive) == 0;
        });
        if (it == columns_.end())
            return false;
        const QVariant &now = current_[size_t(it - columns_.begin())];
        const QVariant &then = image.values[i];
        if (now.isNull() != then.isNull() || (!now.isNull() && (now.typeId() != then.typeId() || now != then)))
            return false;
    }
    return true;
}

Recordset::EditHeld Recordset::editUnchanged(const Image &image)
{
    requireOpen();
    if (!updatable())
        platform::raise(platform::err::ReadOnly);
    const auto it = std::find(keys_.begin(), keys_.end(), image.key);
    if (it == keys_.end())
        return EditHeld::Gone;
    moveTo(int(it - keys_.begin()));
    bool found = false;
    current_ = readRow(image.key, &found);
    if (!found)
        return EditHeld::Gone;
    currentLoaded_ = true;
    if (!holds(image))
        return EditHeld::Changed;
    buffer_ = current_;
    assigned_.assign(fields_.size(), false);
    editMode_ = EditMode::InProgress;
    condition_ = image;
    return EditHeld::Begun;
}

void Recordset::addNew()
{
    requireOpen();
    if (!updatable())
        platform::raise(platform::err::ReadOnly);
    buffer_.clear();
    for (const Field &f : fields_)
        buffer_.push_back(evaluateDefault(f));
    assigned_.assign(fields_.size(), false);
    condition_.reset();
    editMode_ = EditMode::Add;
}

void Recordset::cancelUpdate()
{
    requireOpen();
    if (editMode_ == EditMode::None)
        platform::raise(UpdateWithoutEdit);
    editMode_ = EditMode::None;
}

void Recordset::update()
{
    requireOpen();
    if (editMode_ == EditMode::None)
        platform::raise(UpdateWithoutEdit);
    QStringList columns;
    QVariantList values;
    for (size_t i = 0; i < fields_.size(); ++i) {
        const bool write = assigned_[i] || (editMode_ == EditMode::Add && !buffer_[i].isNull());
        if (!write)
            continue;
        columns << quoteIdentifier(columns_[i]);
        values << buffer_[i];
    }
    const QString table = quoteIdentifier(table_);
    if (editMode_ == EditMode::InProgress) {
        if (!columns.isEmpty()) {
            const qint64 key = keys_[size_t(position_)];
            values << key;
            // Held to an image, the row is written only while it still holds
            // the image's values, compared exactly (case included).
            const QString held = condition_ ? heldTo(condition_->columns, condition_->values, values) : QString();
            const int changed = connection_->run(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ")
                                                     + columns.join(QStringLiteral(" = ?, "))
                                                     + QStringLiteral(" = ? WHERE _rowid_ = ?") + held,
                                                 values, Operation::Write);
            if (changed == 0) {
                bool found = false;
                if (condition_)
                    readRow(key, &found);
                platform::raise(found ? DataChanged : RecordDeleted);
            }
            lastModified_ = key;
        }
        currentLoaded_ = false;
    } else {
        if (columns.isEmpty()) {
            connection_->run(QStringLiteral("INSERT INTO ") + table + QStringLiteral(" DEFAULT VALUES"), {},
                             Operation::Write);
        } else {
            QStringList marks;
            for (int i = 0; i < columns.size(); ++i)
                marks << QStringLiteral("?");
            connection_->run(QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (")
                                 + columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (")
                                 + marks.join(QStringLiteral(", ")) + u')',
                             values, Operation::Write);
        }
        const qint64 key = sqlite3_last_insert_rowid(connection_->handle());
        // The new row joins the end; the current row stays the one it was.
        if (position_ >= count())
            ++position_;
        keys_.push_back(key);
        lastModified_ = key;
    }
    editMode_ = EditMode::None;
    condition_.reset();
}

void Recordset::deleteCurrent()
{
    requireOpen();
    if (!updatable())
        platform::raise(platform::err::ReadOnly);
    requireCurrent();
    editMode_ = EditMode::None;
    const qint64 key = keys_[size_t(position_)];
    // A row this recordset has read is deleted only while it still holds what
    // was read of it, compared exactly as an update held to an image: SQLite
    // gives a new row the rowid of a deleted last row, so the key alone may
    // by now name another program's row.
    QVariantList values{key};
    const QString held = live_ && currentLoaded_ ? heldTo(columns_, current_, values) : QString();
    const int changed = connection_->run(QStringLiteral("DELETE FROM ") + quoteIdentifier(table_)
                                             + QStringLiteral(" WHERE _rowid_ = ?") + held,
                                         values, Operation::Write);
    if (changed == 0) {
        bool found = false;
        if (!held.isEmpty())
            readRow(key, &found);
        platform::raise(found ? DataChanged : RecordDeleted);
    }
    keys_.erase(keys_.begin() + position_);
    currentDeleted_ = true;
    currentLoaded_ = false;
}

}  // namespace dao
