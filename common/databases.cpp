#include "common/databases.h"

#include "common/globals.h"
#include "platform/drives.h"

namespace common {

dao::Database ApriDatabase(const QString &percorso) { return dao::Database::open(platform::hostPath(percorso), percorso); }

dao::Database ApriArchivio() { return ApriDatabase(PercorsoArchivio); }

dao::Database ApriDatabaseProgramma()
{
    return dao::Database::open(platform::pathInFolder(CartellaProgramma, QStringLiteral("Corbix.mdb")));
}

}  // namespace common
