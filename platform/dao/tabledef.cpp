#include "platform/dao/tabledef.h"

#include "platform/errors.h"

#include <algorithm>

namespace dao {

using namespace platform::err;

Field::Field(QString n, FieldType t, int s) : name(std::move(n)), type(t), size(s)
{
    if (size == 0) {
        switch (type) {
        case FieldType::Boolean:
        case FieldType::Byte: size = 1; break;
        case FieldType::Integer: size = 2; break;
        case FieldType::Long: size = 4; break;
        case FieldType::Double:
        case FieldType::Date: size = 8; break;
        case FieldType::Text: size = 255; break;
        case FieldType::Memo: break;
        }
    }
}

bool Index::covers(const QString &field) const
{
    return std::any_of(fields.begin(), fields.end(),
                       [&](const IndexField &f) { return f.name.compare(field, Qt::CaseInsensitive) == 0; });
}

namespace {
template <typename List>
auto findByName(List &list, const QString &name)
{
    return std::find_if(list.begin(), list.end(),
                        [&](const auto &item) { return item.name.compare(name, Qt::CaseInsensitive) == 0; });
}
}  // namespace

const Field &TableDef::field(const QString &name) const
{
    auto it = findByName(fields_, name);
    if (it == fields_.end())
        platform::raise(ItemNotFound);
    return *it;
}

Field &TableDef::field(const QString &name)
{
    auto it = findByName(fields_, name);
    if (it == fields_.end())
        platform::raise(ItemNotFound);
    return *it;
}

const Index &TableDef::index(const QString &name) const
{
    auto it = findByName(indexes_, name);
    if (it == indexes_.end())
        platform::raise(ItemNotFound);
    return *it;
}

bool TableDef::hasField(const QString &name) const { return findByName(fields_, name) != fields_.end(); }

bool TableDef::hasIndex(const QString &name) const { return findByName(indexes_, name) != indexes_.end(); }

Field &TableDef::appendField(Field field)
{
    if (hasField(field.name))
        platform::raise(DuplicateField, {field.name});
    fields_.push_back(std::move(field));
    const QString name = fields_.back().name;
    sortFields();
    return this->field(name);
}

Index &TableDef::appendIndex(Index index)
{
    if (hasIndex(index.name))
        platform::raise(IndexAlreadyExists);
    if (index.fields.empty())
        platform::raise(NoFields, {index.name});
    if (index.primary) {
        if (primaryIndex())
            platform::raise(PrimaryKeyExists);
        index.unique = true;
    }
    indexes_.push_back(std::move(index));
    return indexes_.back();
}

void TableDef::removeIndex(const QString &name)
{
    auto it = findByName(indexes_, name);
    if (it == indexes_.end())
        platform::raise(ItemNotFound);
    indexes_.erase(it);
}

const Index *TableDef::primaryIndex() const
{
    auto it = std::find_if(indexes_.begin(), indexes_.end(), [](const Index &i) { return i.primary; });
    return it == indexes_.end() ? nullptr : &*it;
}

bool TableDef::inPrimaryKey(const QString &field) const
{
    const Index *pk = primaryIndex();
    return pk && pk->covers(field);
}

void TableDef::sortFields()
{
    std::stable_sort(fields_.begin(), fields_.end(),
                     [](const Field &a, const Field &b) { return a.ordinalPosition < b.ordinalPosition; });
}

}  // namespace dao
