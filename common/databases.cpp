#include "common/databases.h"

#include "common/globals.h"
#include "common/textfiles.h"
#include "platform/drives.h"
#include "platform/errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

namespace common {

dao::Database ApriDatabase(const QString &percorso) { return dao::Database::open(platform::hostPath(percorso), percorso); }

dao::Database ApriArchivio() { return ApriDatabase(PercorsoArchivio); }

namespace {

const QString NomeDatabaseProgramma = QStringLiteral("Corbix.mdb");

bool presente(const QString &host)
{
    const QFileInfo info(host);
    return info.exists() || info.isSymLink();
}

// Where the installed program keeps the shipped program database.
QString DistribuitoInstallato()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" CORBIX_DATI_DA_BIN "/")
                           + NomeDatabaseProgramma);
}

}  // namespace

dao::Database ApriDatabaseProgramma()
{
    return dao::Database::open(platform::pathInFolder(CartellaProgramma, NomeDatabaseProgramma));
}

QString DatabaseProgrammaDistribuito()
{
    for (const QString &percorso :
         {DistribuitoInstallato(), QStringLiteral(CORBIX_DATI_DI_COMPILAZIONE "/") + NomeDatabaseProgramma})
        if (QFileInfo(percorso).isFile())
            return percorso;
    return QString();
}

bool PreparaDatabaseProgramma()
{
    if (presente(platform::pathInFolder(CartellaProgramma, NomeDatabaseProgramma)))
        return false;
    const QString distribuito = DatabaseProgrammaDistribuito();
    if (distribuito.isEmpty())
        platform::raise(platform::err::DatabaseFileNotFound, {DistribuitoInstallato()});
    const QByteArray contenuto = readFile(distribuito);
    const QString copia = QDir(CartellaProgramma).filePath(NomeDatabaseProgramma);
    // A temporary of the copy that a stopped run left is this workstation's
    // own: the program folder is no one else's.
    writeTemporary(copia, contenuto, true);
    try {
        takeFinalName(copia, false);
    } catch (const platform::RuntimeError &e) {
        QFile::remove(nomeTemporaneo(copia));
        // A program database that came meanwhile is the folder's own.
        if (e.number() == platform::err::FileAlreadyExists)
            return false;
        throw;
    }
    return true;
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
           || stesso([] { return platform::pathInFolder(CartellaProgramma, NomeDatabaseProgramma); });
}

}  // namespace common
