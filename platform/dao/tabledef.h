#pragma once

#include <QString>
#include <QVariant>
#include <vector>

namespace dao {

// The field types keep their type codes.
enum class FieldType : int {
    Boolean = 1,
    Byte = 2,
    Integer = 3,
    Long = 4,
    Double = 7,
    Date = 8,
    Text = 10,
    Memo = 12,
};

struct Field {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;               // width of a Text field; the storage size of the others
    bool required = false;
    bool allowZeroLength = false;
    QString defaultValue;       // an expression: "\"A:\"", "0", "True", "Date()"
    QString validationRule;
    QString validationText;
    int ordinalPosition = 0;
    long attributes = 0;

    Field() = default;
    Field(QString name, FieldType type, int size = 0);
};

struct IndexField {
    QString name;
    bool descending = false;
};

struct Index {
    QString name;
    std::vector<IndexField> fields;
    bool primary = false;
    bool unique = false;
    bool ignoreNulls = false;

    bool covers(const QString &field) const;
};

class TableDef {
public:
    TableDef() = default;
    explicit TableDef(QString name) : name_(std::move(name)) {}

    const QString &name() const { return name_; }
    void setName(const QString &name) { name_ = name; }

    // Fields in ordinal order (ties keep the order they were appended in).
    const std::vector<Field> &fields() const { return fields_; }
    const std::vector<Index> &indexes() const { return indexes_; }

    // Looked up without regard to case; 3265 when missing.
    const Field &field(const QString &name) const;
    Field &field(const QString &name);
    const Index &index(const QString &name) const;
    bool hasField(const QString &name) const;
    bool hasIndex(const QString &name) const;

    // Fields keep a stable order by ordinal position. 3191 for a field name
    // already present, 3284 for an index name already present.
    Field &appendField(Field field);
    Index &appendIndex(Index index);
    void removeIndex(const QString &name);

    const Index *primaryIndex() const;
    bool inPrimaryKey(const QString &field) const;

private:
    void sortFields();

    QString name_;
    std::vector<Field> fields_;
    std::vector<Index> indexes_;
};

}  // namespace dao
