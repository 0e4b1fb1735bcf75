#include "common/textfiles.h"

#include "platform/crashpoint.h"
#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace common {

QByteArray joinLines(const QList<QByteArray> &lines, const QByteArray &lineEnd)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + lineEnd;
    return out;
}

QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines << bytes.mid(start, i - start);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines << bytes.mid(start);
    return lines;
}

void openToRead(QFile &file)
{
    const QFileInfo info(file.fileName());
    if (!info.exists() || info.isDir())
        platform::raise(platform::err::FileNotFound);
    if (!file.open(QIODevice::ReadOnly))
        platform::raise(platform::err::PathFileAccess);
}

QByteArray readFile(const QString &hostPath)
{
    QFile file(hostPath);
    openToRead(file);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        platform::raise(platform::err::PathFileAccess);
    return bytes;
}

bool writeTemporary(const QString &hostPath, const QByteArray &bytes, bool replace, const platform::CreatedFile &created)
{
    if (!QFileInfo(QFileInfo(hostPath).absolutePath()).isDir())
        platform::raise(platform::err::PathNotFound);
    const auto presente = [](const QString &path) {
        const QFileInfo info(path);
        return info.exists() || info.isSymLink();
    };
    const QString temporaneo = nomeTemporaneo(hostPath);
    // A link under the temporary's name is no run's file, each being made
    // new: it goes, itself, whatever it points at.
    if (replace || QFileInfo(temporaneo).isSymLink())
        QFile::remove(temporaneo);
    else if (presente(hostPath))
        return false;
    platform::CheckedFile file(temporaneo);
    // Told its identity before it takes its name: a journal noting it has
    // done so before a stop dead can leave it.
    if (!file.open(QIODevice::NewOnly, created)) {
        // Another run holds the temporary, or has just given it its name.
        if (!replace && (presente(temporaneo) || presente(hostPath)))
            return false;
        file.raiseError();
    }
    CORBIX_PUNTO_DI_ARRESTO("file.creato");
    // The other run may have given the name between the look and the
    // creation: the name is then its own.
    if (!replace && presente(hostPath)) {
        file.close();
        QFile::remove(temporaneo);
        return false;
    }
    try {
        file.writeAll(bytes);
        file.finish();
    } catch (const platform::RuntimeError &) {
        file.close();
        QFile::remove(temporaneo);
        throw;
    }
    CORBIX_PUNTO_DI_ARRESTO("file.scritto");
    return true;
}

void takeFinalName(const QString &hostPath, bool replace)
{
    const QString nomeTemp = nomeTemporaneo(hostPath);
    const QByteArray from = QFile::encodeName(nomeTemp);
    const QByteArray to = QFile::encodeName(hostPath);
    // A link under the temporary's name is none of the program's files, which
    // are all made new: it is removed, never given the name.
    struct stat standing {};
    if (::lstat(from.constData(), &standing) == 0 && S_ISLNK(standing.st_mode)) {
        ::unlink(from.constData());
        platform::raise(platform::err::PathFileAccess);
    }
    // The name stands once the folder's entries are on the disk.
    const auto nominato = [&] {
        platform::syncFolder(QFileInfo(hostPath).absolutePath());
        CORBIX_PUNTO_DI_ARRESTO("file.nominato");
    };
    if (replace) {
        if (::rename(from.constData(), to.constData()) != 0)
            platform::raiseFileErrorOn(nomeTemp, errno);
        nominato();
        return;
    }
    // Renamed only where no file is: the name is taken exclusively.
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        nominato();
        return;
    }
    int errore = errno;
    // A file system that cannot rename so: a hard link is made only where no
    // file is, and a crash leaves at worst both names of one file.
    if (errore == EINVAL || errore == ENOSYS || errore == ENOTSUP)
        errore = ::link(from.constData(), to.constData()) == 0 ? 0 : errno;
    if (errore == EEXIST) {
        // Both names of one file: a run stopped between the two steps.
        struct stat temporaneo {}, finale {};
        if (::lstat(from.constData(), &temporaneo) == 0 && ::lstat(to.constData(), &finale) == 0
            && temporaneo.st_dev == finale.st_dev && temporaneo.st_ino == finale.st_ino)
            errore = 0;
    }
    if (errore == EEXIST)
        platform::raise(platform::err::FileAlreadyExists);
    if (errore != 0)
        platform::raiseFileErrorOn(nomeTemp, errore);
    CORBIX_PUNTO_DI_ARRESTO("file.collegato");
    ::unlink(from.constData());
    nominato();
}

}  // namespace common
