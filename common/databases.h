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

// Whether the file at the host path is the archive or the program database,
// however either is spelt, or any database the program holds open: a file
// read for another purpose (an answer to fetch) must be none of them, and is
// recognised so without being opened.
bool FileDiDatabase(const QString &host);

}  // namespace common
