#pragma once

#include "platform/dao/database.h"
#include "platform/dao/recordset.h"

#include <QString>
#include <QVariant>
#include <chrono>
#include <memory>

namespace common {

// What the callers wait for a table that another program holds locked.
inline constexpr std::chrono::milliseconds TimeoutOneMinute{60'000};
inline constexpr std::chrono::milliseconds TimeoutTenSeconds{10'000};

// Opens the query as a dynaset that denies others reading and writing,
// trying again while the table is locked until the timeout has passed.
// 0 opened (rs then holds the recordset); -1 the table is not defined; -2
// still locked at the deadline; -3 any other error. On a failure the user has
// been told why and rs is left as it was.
int OpenRecordsetRetry(dao::Database &db, std::unique_ptr<dao::Recordset> &rs, const QString &sql,
                       const QVariantList &params, std::chrono::milliseconds timeout);

// A field's value as a screen shows it: Null is the empty text; numbers and
// dates in the regional form ("12,5", "04/03/2024").
QString NullToStr(const QVariant &value);
// A screen's text as a field takes it: the empty text is Null, a text of
// blanks stays as it is.
QVariant StrToNull(const QString &text);

}  // namespace common
