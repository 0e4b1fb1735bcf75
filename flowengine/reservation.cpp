#include "flowengine/reservation.h"

#include "common/globals.h"
#include "common/textfiles.h"
#include "flowengine/collectionpoint.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/filewriters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace flowengine {

QString NomeBloccoRiservazione(const QDate &data, qint32 progressivo)
{
    return QStringLiteral("Riservata ") + data.toString(QStringLiteral("yyyyMMdd")) + u'-'
           + QString::number(progressivo) + QLatin1String(common::MarcaTemporaneo);
}

void RimuoviBlocchiAbbandonati()
{
    const QDir temp(platform::hostPath(common::OpzioniCorbix.Centrale + CartellaTemp));
    const QString prefisso = QStringLiteral("Riservata ");
    for (const QString &nome : temp.entryList({prefisso + u'*'}, QDir::Files | QDir::Hidden)) {
        const QString chiave = nome.mid(prefisso.size()).chopped(qstrlen(common::MarcaTemporaneo));
        const QDate data = QDate::fromString(chiave.section(u'-', 0, 0), QStringLiteral("yyyyMMdd"));
        bool numero = false;
        const qint32 progressivo = chiave.section(u'-', 1).toInt(&numero);
        if (!data.isValid() || !numero || nome != NomeBloccoRiservazione(data, progressivo))
            continue;
        // Taken only when free, and given up at once: its file goes.
        BloccoRiservazione::prendi(data, progressivo);
    }
}

std::unique_ptr<BloccoRiservazione> BloccoRiservazione::prendi(const QDate &data, qint32 progressivo)
{
    const QString temp = platform::hostPath(common::OpzioniCorbix.Centrale + CartellaTemp);
    if (!QFileInfo(temp).isDir())
        platform::raise(platform::err::PathNotFound);
    const QString host = QDir(temp).filePath(NomeBloccoRiservazione(data, progressivo));
    const QByteArray percorso = QFile::encodeName(host);
    for (;;) {
        // Opened by every workstation that contends for it, never through a
        // link another planted under its name.
        const int fd = ::open(percorso.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0)
            platform::raiseFileErrorOn(host, errno);
        int esito;
        while ((esito = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
        }
        if (esito != 0) {
            const int errore = errno;
            ::close(fd);
            if (errore == EWOULDBLOCK)
                return nullptr;
            platform::raise(platform::err::PathFileAccess);
        }
        // The holder before may have removed the file between its opening
        // and the lock: a lock on a file no longer at the name holds nothing.
        struct stat aperto {}, presente {};
        if (::fstat(fd, &aperto) == 0 && ::lstat(percorso.constData(), &presente) == 0
            && aperto.st_dev == presente.st_dev && aperto.st_ino == presente.st_ino)
            return std::unique_ptr<BloccoRiservazione>(new BloccoRiservazione(host, fd));
        ::close(fd);
    }
}

BloccoRiservazione::BloccoRiservazione(QString host, int fd)
    : host_(std::move(host)), fd_(fd)
{
}

void BloccoRiservazione::rilascia()
{
    if (fd_ < 0)
        return;
    // Removed while still held, so that no one locks the file once it is
    // no longer the reservation's.
    ::unlink(QFile::encodeName(host_).constData());
    ::close(fd_);
    fd_ = -1;
}

}  // namespace flowengine
