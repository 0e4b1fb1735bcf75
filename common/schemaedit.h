#pragma once

#include "platform/dao/database.h"

#include <QString>

namespace common {

// Layout changes for converting a database from one layout to the next. Each
// routine makes the table again in one transaction: on any failure the table
// is left exactly as it was and the result is negative.

// Copies a table's layout, never its rows, into the target (the source
// database when none is given). Flags: 2 replaces a table of the new name,
// 1 copies the indexes too. 0 done; -1 the new name exists (the source's
// own included) and replacing was not asked; -3 an error stopped the copy (a missing source table, or a
// source equal to the table it would replace); -4 the target is not open.
int CreateDBTable(dao::Database &source, const QString &sourceTable, const QString &newTable, int flags,
                  dao::Database *target = nullptr);

// Renames a field, keeping its data, type, size and rules; it moves to the
// end of the field order. 0 done; -1 no such table; -2 no such field; -3 a
// field was missing while the data was moved; minus the error number for any
// other error, after its message.
int ChangeDBFieldName(dao::Database &db, const QString &table, const QString &oldName, const QString &newName);

// Changes a field's type (Jet type code) and size, converting its data; it
// moves to the end of the field order. 0 done or the type is already that;
// -1, -2, -3 as above; minus the error number for any other error, after its
// message when showMessages is set.
int ChangeDBFieldType(dao::Database &db, const QString &table, const QString &field, long newType, int newSize,
                      bool showMessages);

// Widens or narrows a Text field in its place. 0 done; -1 no such table; -2
// no such field; -3 the field is not Text, or narrowing it would cut text it
// holds; minus the error number for any other error.
int ChangeDBFieldSize(dao::Database &db, const QString &table, const QString &field, int newSize);

// A field name the table does not have: "A", "A_", "A__", ...
QString NewDBFieldName(const dao::TableDef &table);

}  // namespace common
