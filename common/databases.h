#pragma once

#include "platform/dao/database.h"

namespace common {

// A database named by its path as the program keeps it (a Windows path is
// reached through the drive table); its messages name it so.
dao::Database ApriDatabase(const QString &percorso);
// The archive named by PercorsoArchivio.
dao::Database ApriArchivio();
// The program database Corbix.mdb in the program folder, its name found
// without regard to case.
dao::Database ApriDatabaseProgramma();

// The host path of the program database the program ships, read-only: in
// the program's data folder beside its own (../share/corbix/ from bin/), or
// else in the build tree for a program run where it was built; empty when
// neither holds it.
QString DatabaseProgrammaDistribuito();
// Puts a copy of the shipped program database in the program folder when the
// folder holds none (its name found without regard to case): the copy is
// the user's to change, written whole, and its name is taken only where no
// file is, never over one. True when the copy was made, false when the
// folder had its own. 3024 when the shipped file is missing, the file error
// of the step that failed otherwise, nothing left behind.
bool PreparaDatabaseProgramma();

// Whether the file at the host path is the archive or the program database,
// however either is spelt, or any database the program holds open: a file
// read for another purpose (an answer to fetch) must be none of them, and is
// recognised so without being opened.
bool FileDiDatabase(const QString &host);

}  // namespace common
