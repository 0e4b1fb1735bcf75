#pragma once

#include "platform/dao/database.h"
#include "platform/dao/tabledef.h"

#include <QString>
#include <vector>

// The layout of the archive, of the program database and of the accounting
// database. The program never makes tables while it runs: these serve the
// test fixtures and the sample-data tool, which need databases exactly as the
// sibling modules leave them.
namespace common {

// The text in Paragen.Versione that names this layout of the archive.
inline const QString ArchiveVersionMarker = QStringLiteral("BRELK.0011");

// The tables of the archive, in the order they are made.
std::vector<dao::TableDef> archiveTables();
// The record layouts of the program database.
dao::TableDef tracciatiTable();
// The chart of accounts of the accounting database.
dao::TableDef pianoDeiContiTable();

// Each makes a new database file with its tables and the rows a new one
// holds, in one transaction: 3010 when the file exists already, and a
// failure leaves no file behind.
dao::Database createArchive(const QString &path);
dao::Database createProgramDatabase(const QString &path);
dao::Database createAccountingDatabase(const QString &path);

}  // namespace common
