#include "common/databases.h"

#include "common/globals.h"
#include "platform/drives.h"

namespace common {

dao::Database ApriArchivio() { return dao::Database::open(platform::hostPath(PercorsoArchivio)); }

dao::Database ApriDatabaseProgramma() { return dao::Database::open(CartellaProgramma + QStringLiteral("Corbix.mdb")); }

}  // namespace common
