#include "platform/filewriters.h"

#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

// Raises the error of a step that failed with systemErrno on a file of the
// folder: 76 when the folder itself is gone.
[[noreturn]] void raiseIn(const QString &hostFolder, int systemErrno)
{
    if (systemErrno == ENOENT && !QFileInfo(hostFolder).isDir())
        raise(err::PathNotFound);
    raiseFileError(systemErrno);
}

QString folderOf(const QString &hostPath) { return QFileInfo(hostPath).absolutePath(); }

// The file a name stands for when its link is to be followed: a symbolic
// link's target, so that writing the file replaces what the link points at
// and keeps the link.
QString finalTarget(const QString &hostPath)
{
    QFileInfo info(hostPath);
    for (int depth = 0; depth < 32 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? hostPath : info.filePath();
}

}  // namespace

QString nomeTemporaneo(const QString &hostPath) { return hostPath + QLatin1String(MarcaTemporaneo); }

namespace {

// A file made under the name at once: exclusive, never through a link.
int createNamed(const QByteArray &name, Leftover leftover)
{
    // O_EXCL makes a file only where nothing stands, a link included, and
    // O_NOFOLLOW keeps a link out of reach on a file system that would
    // otherwise resolve one.
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = -1;
    for (int attempt = 0; attempt < 2 && fd < 0; ++attempt) {
        if (leftover == Leftover::Remove && ::unlink(name.constData()) != 0 && errno != ENOENT)
            return -1;
        fd = ::open(name.constData(), flags, 0644);
        if (fd < 0 && (errno != EEXIST || leftover == Leftover::Keep))
            return -1;
    }
    return fd;
}

// Gives a file made without a name the name, with a link that, like O_EXCL,
// fails where anything stands. False with errno on failure.
bool nameFile(int fd, const QByteArray &name, Leftover leftover)
{
    char own[64];
    std::snprintf(own, sizeof own, "/proc/self/fd/%d", fd);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (leftover == Leftover::Remove && ::unlink(name.constData()) != 0 && errno != ENOENT)
            return false;
        if (::linkat(AT_FDCWD, own, AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST || leftover == Leftover::Keep)
            return false;
    }
    return false;
}

bool statOrClose(int fd, const QByteArray &name, struct stat &identity)
{
    if (::fstat(fd, &identity) == 0)
        return true;
    const int error = errno;
    ::close(fd);
    if (!name.isEmpty())
        ::unlink(name.constData());
    errno = error;
    return false;
}

}  // namespace

int createNew(const QString &hostPath, Leftover leftover, struct stat &identity,
              const std::function<void(const struct stat &identity)> &created)
{
    const QByteArray name = QFile::encodeName(hostPath);
    if (created) {
        // Made without a name first, where the file system can: a stop dead
        // before created has noted it leaves nothing under the name.
        const int fd = ::open(QFile::encodeName(folderOf(hostPath)).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC,
                              0644);
        if (fd >= 0) {
            if (!statOrClose(fd, {}, identity))
                return -1;
            try {
                created(identity);
            } catch (...) {
                ::close(fd);
                throw;
            }
            if (nameFile(fd, name, leftover))
                return fd;
            const int error = errno;
            ::close(fd);
            errno = error;
            return -1;
        }
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return -1;
    }
    const int fd = createNamed(name, leftover);
    if (fd < 0 || !statOrClose(fd, name, identity))
        return -1;
    if (created) {
        try {
            created(identity);
        } catch (...) {
            ::close(fd);
            ::unlink(name.constData());
            throw;
        }
    }
    return fd;
}

bool sameFile(const QString &hostPath, const struct stat &identity)
{
    struct stat standing {};
    return ::lstat(QFile::encodeName(hostPath).constData(), &standing) == 0 && S_ISREG(standing.st_mode)
           && standing.st_dev == identity.st_dev && standing.st_ino == identity.st_ino;
}

// ---------------------------------------------------------------- CheckedFile

CheckedFile::CheckedFile(const QString &hostPath) : fileName_(hostPath) {}

CheckedFile::~CheckedFile() { close(); }

bool CheckedFile::open(OpenMode mode) { return open(mode, {}); }

bool CheckedFile::open(OpenMode mode, const std::function<void(const struct stat &identity)> &created)
{
    close();
    errno_ = 0;
    identity_ = {};
    fd_ = createNew(fileName_, mode & NewOnly ? Leftover::Keep : Leftover::Remove, identity_, created);
    if (fd_ < 0) {
        errno_ = errno;
        return false;
    }
    return QIODevice::open(WriteOnly | Unbuffered);
}

void CheckedFile::close()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    QIODevice::close();
}

void CheckedFile::raiseError() const { raiseIn(folderOf(fileName_), errno_ != 0 ? errno_ : EIO); }

qint64 CheckedFile::readData(char *, qint64) { return -1; }

qint64 CheckedFile::writeData(const char *data, qint64 size)
{
    if (fd_ < 0) {
        errno_ = EBADF;
        return -1;
    }
    // The system may take part of the bytes: the rest go after them, until
    // all are written or a write fails (a full disk takes what fits first).
    qint64 written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd_, data + written, size_t(size - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            errno_ = n < 0 ? errno : ENOSPC;
            return -1;
        }
        written += n;
    }
    return written;
}

void CheckedFile::writeAll(const QByteArray &bytes)
{
    if (bytes.isEmpty() && fd_ >= 0)
        return;
    if (write(bytes) != bytes.size())
        raiseError();
}

void CheckedFile::empty()
{
    if (fd_ < 0 || ::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) < 0) {
        errno_ = fd_ < 0 ? EBADF : errno;
        raiseError();
    }
}

void CheckedFile::sync()
{
    if (fd_ < 0 || ::fsync(fd_) != 0) {
        errno_ = fd_ < 0 ? EBADF : errno;
        raiseError();
    }
}

void CheckedFile::finish()
{
    sync();
    const int fd = fd_;
    fd_ = -1;
    QIODevice::close();
    // A close can still report a write the system had deferred.
    if (::close(fd) != 0 && errno != EINTR) {
        errno_ = errno;
        raiseError();
    }
}

// ---------------------------------------------------------------- whole files

void replaceFile(const QString &name, const QByteArray &bytes, FinalLink finalLink, const CreatedFile &created)
{
    const QString hostPath = finalLink == FinalLink::Follow ? finalTarget(name) : name;
    const QString folder = folderOf(hostPath);
    if (!QFileInfo(folder).isDir())
        raise(err::PathNotFound);
    const QString temporary = nomeTemporaneo(hostPath);
    CheckedFile file(temporary);
    try {
        if (!file.open(QIODevice::Truncate, created))
            file.raiseError();
        file.writeAll(bytes);
        file.finish();
    } catch (...) {
        file.close();
        QFile::remove(temporary);
        throw;
    }
    // Another may have put a link or a file of its own under the temporary's
    // name since: that is not the file written, and is not to take the name.
    if (!sameFile(temporary, file.identity())) {
        QFile::remove(temporary);
        raiseFileError(EIO);
    }
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(hostPath).constData()) != 0) {
        const int error = errno;
        QFile::remove(temporary);
        raiseIn(folder, error);
    }
    syncFolder(folder);
}

void raiseFileErrorOn(const QString &hostPath, int systemErrno) { raiseIn(folderOf(hostPath), systemErrno); }

void syncFolder(const QString &hostFolder)
{
    // A folder that may be written but not read (a drop folder on a share),
    // or a file system that keeps no folder to flush, has nothing to flush
    // here: its names are the server's to keep.
    const int fd = ::open(QFile::encodeName(hostFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EACCES || errno == EPERM)
            return;
        raiseIn(hostFolder, errno);
    }
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP && errno != ENOSYS) {
        const int error = errno;
        ::close(fd);
        raiseFileError(error);
    }
    ::close(fd);
}

void syncFile(const QString &hostPath)
{
    const int fd = ::open(QFile::encodeName(hostPath).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        raiseIn(folderOf(hostPath), errno);
    if (::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        raiseFileError(error);
    }
    ::close(fd);
}

}  // namespace platform
