#pragma once

#include "platform/dao/database.h"
#include "platform/dao/tabledef.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

namespace dao {

enum class EditMode { None = 0, InProgress = 1, Add = 2 };

// The rows of a query. It holds the keys of its rows, never a live cursor: a
// dynaset reads the current row again whenever it moves onto it, so it sees
// what others changed; a snapshot keeps the values read at open.
class Recordset {
public:
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    bool eof() const;
    bool bof() const;
    int recordCount() const;
    int absolutePosition() const;  // -1 when there is no current row
    void setAbsolutePosition(int position);

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();

    // The result columns, with their definitions where they come from a table.
    const std::vector<Field> &fields() const { return fields_; }
    bool hasField(const QString &name) const;

    // A field of the current row (or of the row being edited); 3265 when the
    // name is not a column, 3021 without a current row.
    QVariant value(const QString &field) const;
    QVariant value(int column) const;
    void setValue(const QString &field, const QVariant &value);

    // The current row as it was read, with its key: what a later edit of that
    // very row can be held to. 3021 without a current row, 3027 when the rows
    // have no keys.
    struct Image {
        qint64 key = 0;
        std::vector<QString> columns;
        std::vector<QVariant> values;
    };
    Image image() const;

    void edit();
    // Makes the row of an image current and begins its edit, only while the
    // row still holds the image's values; nothing is begun when it is not
    // among this recordset's rows or is gone (Gone), or was changed (Changed).
    // The update then writes it only if it still holds them at that instant
    // (3197 when it was changed, 3167 when it is gone), so a change made
    // meanwhile by another program is never overwritten.
    enum class EditHeld { Begun, Gone, Changed };
    EditHeld editUnchanged(const Image &image);
    void addNew();
    void update();
    void cancelUpdate();
    // Deletes the current row. A row read since the recordset moved onto it
    // is deleted only while it still holds every value then read: 3167 when
    // it is gone, 3197 when it was changed or replaced under the same key,
    // and nothing is deleted.
    void deleteCurrent();
    EditMode editMode() const { return editMode_; }

    // The key of the last row added or changed.
    std::optional<qint64> lastModified() const { return lastModified_; }

    bool updatable() const;
    const QString &sql() const { return sql_; }

    void close();
    bool isOpen() const { return connection_ != nullptr; }

private:
    friend class Database;
    Recordset(std::shared_ptr<Connection> connection, const QString &sql, const QVariantList &params,
              RecordsetType type, int options);

    int count() const;
    void moveTo(int position);
    int columnOf(const QString &field) const;
    void requireOpen() const;
    void requireCurrent() const;
    // Reads the current row the first time it is asked for and keeps it: a
    // cache, which the const readers fill.
    void loadCurrent() const;
    const std::vector<QVariant> &currentRow() const;
    std::vector<QVariant> readRow(qint64 key, bool *found) const;
    bool holds(const Image &image) const;

    std::shared_ptr<Connection> connection_;
    QString sql_;
    RecordsetType type_;
    int options_;
    bool holdsLock_ = false;
    int commitWaitMs_ = BusyWaitMs;  // the deadline of the procedure that opened it

    QString table_;                    // the one table the rows come from, if any
    bool live_ = false;                // rows read again from table_ by key
    std::vector<QString> columns_;     // column of the base table behind each field
    std::vector<Field> fields_;
    std::vector<bool> typed_;          // whether fields_ holds the column's definition
    std::vector<qint64> keys_;
    std::vector<std::vector<QVariant>> snapshot_;  // values read at open (snapshots, joins)

    int position_ = 0;
    bool currentDeleted_ = false;
    mutable std::vector<QVariant> current_;
    mutable bool currentLoaded_ = false;

    EditMode editMode_ = EditMode::None;
    std::vector<QVariant> buffer_;
    std::vector<bool> assigned_;
    std::optional<Image> condition_;   // what the row must still hold for the update
    std::optional<qint64> lastModified_;
};

}  // namespace dao
