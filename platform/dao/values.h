#pragma once

#include "platform/dao/tabledef.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>

struct sqlite3_context;
struct sqlite3_stmt;
struct sqlite3_value;

namespace dao {

// A date as stored: "yyyy-MM-dd", or "yyyy-MM-dd HH:mm:ss" when it has a time.
QString storedDate(const QDateTime &value);
QString storedDate(const QDate &value);
// Reads "dd/MM/yyyy" (day and month of one or two digits, an optional time)
// and the stored forms.
std::optional<QDateTime> parseDateText(const QString &text);
// The day of such a text, read without the time zone.
std::optional<QDate> parseDayText(const QString &text);

// The value a field is written with; 3421 when it cannot take that value.
QVariant toStorage(const Field &field, const QVariant &value);
// A stored value as the program reads it: Yes/No as bool, dates as QDate or
// QDateTime, whole numbers as int or qlonglong, Null as a null QVariant.
QVariant fromStorage(const Field *field, const QVariant &stored);

// A value bound to a statement parameter: bool as -1/0, dates in stored form.
void bindValue(sqlite3_stmt *statement, int index, const QVariant &value);
QVariant columnValue(sqlite3_stmt *statement, int column);

// The first table the text of a statement names after FROM, INTO, UPDATE or
// TABLE, as it is spelled there.
QString tableNamedIn(const QString &sql);

// A table or field name quoted for SQLite.
QString quoteIdentifier(const QString &identifier);

// Jet's SQL dialect on top of SQLite's: "DELETE * FROM" and the bare
// words True and False (which are -1 and 0 here).
QString translateJetSql(const QString &sql);
// Whether a text matches a pattern as Jet's LIKE matches it, without
// regard to case: "*" any run of characters, "?" any one character, "#" one
// digit, "[...]" one character of a list or range ("[!...]" one not in it);
// every other character, SQLite's "%" and "_" and a "[" never closed among
// them, stands for itself.
bool jetLike(const QString &text, const QString &pattern);
// The SQL function JetLike(text, pattern) on jetLike, Null when either is
// Null. The system's queries match patterns through it, so SQLite's own LIKE
// keeps its meaning for SQL typed by the user.
void jetLikeFunction(sqlite3_context *context, int argc, sqlite3_value **argv);

// The query as the system writes it, values joined in: text between double
// quotes, dates through DateValue('dd/mm/yyyy'), numbers bare. For messages only.
QString sqlForDisplay(const QString &sql, const QVariantList &params);

// A field default expression as the value AddNew puts in the field; a null
// QVariant when there is none the layer can evaluate.
QVariant evaluateDefault(const Field &field);
// The same expression as an SQLite DEFAULT clause body; empty when it has none.
QString sqliteDefault(const Field &field);

}  // namespace dao
