#include "common/schemaedit.h"

#include "common/globals.h"
#include "common/runtimeerror.h"
#include "platform/dao/connection.h"
#include "platform/dao/values.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

#include <QStringList>
#include <algorithm>
#include <map>

namespace common {

using dao::Field;
using dao::FieldType;
using dao::Index;
using dao::TableDef;
using platform::RuntimeError;
namespace err = platform::err;

namespace {

// Minus the error's number, after the run-time error message naming the routine.
int runtimeFailure(const RuntimeError &e, const QString &routine, bool show)
{
    if (show)
        platform::msgBox(TestoErroreRuntime(e.number(), e.description())
                             + QStringLiteral("\r\nSi è verificato nella funzione '") + routine + u'\'',
                         NomeProgramma, platform::MsgIcon::Critical);
    return -e.number();
}

bool sameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

int lastOrdinal(const TableDef &table)
{
    int last = 0;
    for (const Field &f : table.fields())
        last = std::max(last, f.ordinalPosition);
    return last;
}

// The table with `field` replaced by `replacement` (which keeps the index
// entries of the field it replaces), and each new column with the old column
// its data comes from.
struct Rebuild {
    TableDef target;
    QStringList sources;
};

Rebuild replacingField(const TableDef &old, const QString &field, const Field &replacement)
{
    const QString oldName = old.field(field).name;
    const QString newName = replacement.name;
    Rebuild r{TableDef(old.name()), {}};
    // The field order follows the ordinal positions: the replacement keeps
    // the place of the field it replaces unless given another position.
    for (const Field &f : old.fields())
        r.target.appendField(sameName(f.name, oldName) ? replacement : f);
    for (const Field &f : r.target.fields())
        r.sources << dao::quoteIdentifier(sameName(f.name, newName) ? oldName : f.name);
    for (Index index : old.indexes()) {
        for (dao::IndexField &f : index.fields)
            if (sameName(f.name, oldName))
                f.name = newName;
        r.target.appendIndex(index);
    }
    return r;
}

void run(dao::Database &db, const Rebuild &r)
{
    db.connection().rebuildTable(r.target, r.sources.join(QStringLiteral(", ")));
}

bool isFieldType(long code)
{
    switch (code) {
    case long(FieldType::Boolean):
    case long(FieldType::Byte):
    case long(FieldType::Integer):
    case long(FieldType::Long):
    case long(FieldType::Double):
    case long(FieldType::Date):
    case long(FieldType::Text):
    case long(FieldType::Memo): return true;
    default: return false;
    }
}

void checkTextSize(int size)
{
    if (size < 1 || size > 255)
        platform::raise(err::InvalidArgument);
}

}  // namespace

int CreateDBTable(dao::Database &source, const QString &sourceTable, const QString &newTable, int flags,
                  dao::Database *target)
{
    const bool replace = flags >= 2;
    if (replace)
        flags -= 2;
    const bool copyIndexes = flags >= 1;
    if (target && !target->isOpen())
        return -4;
    dao::Database &destination = target ? *target : source;
    try {
        // The source is read in full before the target is touched.
        const TableDef from = source.tableDef(sourceTable);
        // A name that exists is refused without replace, even the source's own.
        if (!replace && destination.hasTable(newTable))
            return -1;
        if (&source.connection() == &destination.connection() && sameName(from.name(), newTable))
            return -3;
        TableDef copy(newTable);
        for (const Field &f : from.fields())
            copy.appendField(Field(f.name, f.type, f.size));
        if (copyIndexes) {
            for (const Index &i : from.indexes()) {
                Index index;
                index.name = i.name;
                index.fields = i.fields;
                index.unique = i.unique;
                index.primary = i.primary;
                copy.appendIndex(index);
            }
        }
        dao::Transaction transaction(destination);
        if (destination.hasTable(newTable)) {
            if (!replace)
                return -1;
            destination.deleteTableDef(newTable);
        }
        destination.appendTableDef(copy);
        transaction.commit();
        return 0;
    } catch (const RuntimeError &) {
        return -3;
    }
}

int ChangeDBFieldName(dao::Database &db, const QString &table, const QString &oldName, const QString &newName)
{
    const QString routine = QStringLiteral("ChangeDBFieldName");
    TableDef def;
    try {
        def = db.tableDef(table);
    } catch (const RuntimeError &e) {
        return e.number() == err::ItemNotFound ? -1 : runtimeFailure(e, routine, true);
    }
    if (!def.hasField(oldName))
        return -2;
    try {
        if (newName.trimmed().isEmpty())
            platform::raise(err::InvalidName, {newName});
        const Field &old = def.field(oldName);
        Field renamed(newName, old.type, old.size);
        renamed.allowZeroLength = old.allowZeroLength;
        renamed.attributes = old.attributes;
        renamed.defaultValue = old.defaultValue;
        renamed.required = old.required;
        renamed.validationRule = old.validationRule;
        renamed.validationText = old.validationText;
        renamed.ordinalPosition = lastOrdinal(def) + 1;
        const Rebuild rebuild = replacingField(def, oldName, renamed);
        dao::Transaction transaction(db);
        run(db, rebuild);
        transaction.commit();
        return 0;
    } catch (const RuntimeError &e) {
        return e.number() == err::ItemNotFound ? -3 : runtimeFailure(e, routine, true);
    }
}

int ChangeDBFieldType(dao::Database &db, const QString &table, const QString &field, long newType, int newSize,
                      bool showMessages)
{
    const QString routine = QStringLiteral("ChangeDBFieldType");
    TableDef def;
    try {
        def = db.tableDef(table);
    } catch (const RuntimeError &e) {
        return e.number() == err::ItemNotFound ? -1 : runtimeFailure(e, routine, showMessages);
    }
    if (!def.hasField(field))
        return -2;
    const Field old = def.field(field);
    if (long(old.type) == newType)
        return 0;
    try {
        if (!isFieldType(newType))
            platform::raise(err::InvalidArgument);
        const auto type = FieldType(newType);
        if (type == FieldType::Text)
            checkTextSize(newSize);
        Field changed = type == FieldType::Text ? Field(old.name, type, newSize) : Field(old.name, type);
        // The rules that do not apply to the new type are left behind.
        changed.allowZeroLength = (type == FieldType::Text || type == FieldType::Memo) && old.allowZeroLength;
        changed.defaultValue = old.defaultValue;
        try {
            dao::evaluateDefault(changed);
        } catch (const RuntimeError &) {
            changed.defaultValue.clear();
        }
        changed.required = old.required;
        changed.validationRule = old.validationRule;
        changed.validationText = old.validationText;
        changed.ordinalPosition = lastOrdinal(def) + 1;
        const Rebuild rebuild = replacingField(def, field, changed);
        dao::Transaction transaction(db);
        run(db, rebuild);
        transaction.commit();
        return 0;
    } catch (const RuntimeError &e) {
        return e.number() == err::ItemNotFound ? -3 : runtimeFailure(e, routine, showMessages);
    }
}

int ChangeDBFieldSize(dao::Database &db, const QString &table, const QString &field, int newSize)
{
    try {
        TableDef def;
        try {
            def = db.tableDef(table);
        } catch (const RuntimeError &e) {
            if (e.number() == err::ItemNotFound)
                return -1;
            throw;
        }
        if (!def.hasField(field))
            return -2;
        const Field old = def.field(field);
        if (old.type != FieldType::Text)
            return -3;
        checkTextSize(newSize);
        if (newSize == old.size)
            return 0;
        Field resized = old;
        resized.size = newSize;
        const Rebuild rebuild = replacingField(def, field, resized);
        dao::Transaction transaction(db);
        // Narrowing must not cut what the field holds.
        if (newSize < old.size
            && !db.connection()
                    .query(QStringLiteral("SELECT 1 FROM %1 WHERE length(%2) > ? LIMIT 1")
                               .arg(dao::quoteIdentifier(def.name()), dao::quoteIdentifier(old.name)),
                           {newSize}, dao::Operation::Read)
                    .empty())
            return -3;
        run(db, rebuild);
        transaction.commit();
        return 0;
    } catch (const RuntimeError &e) {
        return -e.number();
    }
}

QString NewDBFieldName(const dao::TableDef &table)
{
    QString name = QStringLiteral("A");
    while (table.hasField(name))
        name += u'_';
    return name;
}

}  // namespace common
