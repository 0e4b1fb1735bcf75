#pragma once

#include "platform/dao/database.h"

#include <QStringList>
#include <initializer_list>
#include <string>

namespace testsupport {

// A hash of every row of the tables, every column as text ("<null>" for
// Null), in the archive's order: two archives hold the same rows exactly when
// their hashes agree.
std::string tablesSha(dao::Database db, std::initializer_list<const char *> tables);

// Every row a query reads, its columns as text ("<null>" for Null) joined
// by "|".
QStringList rowsOf(dao::Database db, const QString &sql);

}  // namespace testsupport
