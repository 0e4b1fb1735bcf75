#include "common/databases.h"

#include "common/globals.h"
#include "platform/drives.h"
#include "platform/errors.h"

#include <QFileInfo>
#include <functional>

namespace common {

dao::Database ApriDatabase(const QString &percorso) { return dao::Database::open(platform::hostPath(percorso), percorso); }

dao::Database ApriArchivio() { return ApriDatabase(PercorsoArchivio); }

dao::Database ApriDatabaseProgramma()
{
    return dao::Database::open(platform::pathInFolder(CartellaProgramma, QStringLiteral("Corbix.mdb")));
}

bool FileDiDatabase(const QString &host)
{
    const QString file = QFileInfo(host).canonicalFilePath();
    if (file.isEmpty())
        return false;
    if (dao::Database::held(file))
        return true;
    const auto stesso = [&file](const std::function<QString()> &percorso) {
        try {
            return QFileInfo(percorso()).canonicalFilePath() == file;
        } catch (const platform::RuntimeError &) {
            return false;  // its drive is not ready: it is not this file
        }
    };
    return stesso([] { return platform::hostPath(PercorsoArchivio); })
           || stesso([] { return platform::pathInFolder(CartellaProgramma, QStringLiteral("Corbix.mdb")); });
}

}  // namespace common
