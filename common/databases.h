#pragma once

#include "platform/dao/database.h"

namespace common {

// The archive named by PercorsoArchivio, reached through the drive table.
dao::Database ApriArchivio();
// The program database Corbix.mdb in the program folder.
dao::Database ApriDatabaseProgramma();

}  // namespace common
