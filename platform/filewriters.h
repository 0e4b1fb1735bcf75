#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>
#include <sys/stat.h>

// The two ways the program writes a file, on host paths. A write is whole
// only once every byte has reached the system, the file has been flushed to
// the disk and closed, and each of these steps said so: a buffered writer
// (QSaveFile, a QFile's buffer) can keep back the bytes a full disk refused
// and still report success. A failed step raises the file error of its
// system error: 61 for lack of space, 70 for a refused permission, 75 for
// any other fault, 76 when the file's folder is missing.
namespace platform {

// The mark that ends the name of a file the program is still writing: the
// name it will take is the same without the mark. The EDI service and the
// program's lists pass such names over.
inline constexpr char MarcaTemporaneo[] = ".corbix~";

// The temporary name of a file.
QString nomeTemporaneo(const QString &hostPath);

// What stands under a name that a file is to be created under.
enum class Leftover {
    Keep,    // another's file: the creation fails with EEXIST
    Remove,  // a leftover of an earlier run: removed (a link itself, never its target)
};

// Creates a file new under the name, for writing, and returns its
// descriptor (-1 with errno on failure), with the identity of the file made
// (the system's status of the descriptor, read before any byte is written).
// The file is always one this call made, never a file or a link found under
// the name: any folder may be shared with others who can plant a link there
// to a file of this user's outside it. With Leftover::Remove a second
// attempt follows when another process takes the name between the removal
// and the creation.
// When created is given it is told the identity before the file has its
// name, where the system can make a file without a name first (then named
// by a link that fails where anything stands): a run noting its files in a
// journal has noted this one before a stop dead can leave it under the
// name. An exception from created leaves nothing.
int createNew(const QString &hostPath, Leftover leftover, struct stat &identity,
              const std::function<void(const struct stat &identity)> &created = {});

// Whether the name holds the file of that identity, itself and not a link.
bool sameFile(const QString &hostPath, const struct stat &identity);

// Whether a file made in one go follows a symbolic link standing under its
// name, or replaces the link.
enum class FinalLink {
    Replace,  // a link planted in a shared folder: the file takes the name itself
    Follow,   // a link the user made (a settings file shared with another folder)
};

// Told the identity of a temporary as soon as it is created.
using CreatedFile = std::function<void(const struct stat &identity)>;

// A file made in one go: the bytes go to the file's temporary in the same
// folder, created new (createNew, a leftover removed), written, flushed to
// the disk and closed, each step checked; then the temporary takes the name,
// replacing a file there, and the folder's entries are flushed. A failure
// before the naming removes the temporary and leaves a file standing under
// the name as it was. A name that is a symbolic link is replaced by the file,
// or with FinalLink::Follow writes the file it points at, the temporary then
// made beside that file. created, when given, is called once the temporary
// exists, before any byte is written to it.
void replaceFile(const QString &hostPath, const QByteArray &bytes, FinalLink finalLink = FinalLink::Replace,
                 const CreatedFile &created = {});

// A file written in pieces: each write goes to the system at once, all of
// its bytes or an error, which the file keeps (write() then returns -1, as a
// QIODevice's does) and writeAll() raises. The file is whole only once
// finish() has flushed it to the disk and closed it; until then it is
// neither to be read as complete nor to be named.
class CheckedFile : public QIODevice {
public:
    explicit CheckedFile(const QString &hostPath = QString());
    ~CheckedFile() override;
    CheckedFile(const CheckedFile &) = delete;
    CheckedFile &operator=(const CheckedFile &) = delete;

    void setFileName(const QString &hostPath) { fileName_ = hostPath; }
    const QString &fileName() const { return fileName_; }

    // Creates the file new for writing (createNew), never through a link:
    // NewOnly refuses anything already under the name, Truncate removes a
    // leftover there first. False on failure, with systemError() telling why.
    bool open(OpenMode mode) override;
    // The same, created told the file's identity before the file takes its
    // name (createNew); an exception from it reaches the caller, nothing made.
    bool open(OpenMode mode, const std::function<void(const struct stat &identity)> &created);
    // The identity of the file open(), read from its descriptor once made.
    const struct stat &identity() const { return identity_; }
    // Closes the file as it stands, with no check: a file given up.
    void close() override;
    bool isSequential() const override { return true; }

    // The system's error of the last failed step; 0 when none failed.
    int systemError() const { return errno_; }
    // Raises the error of the last failed step (76 when the file's folder is
    // missing).
    [[noreturn]] void raiseError() const;

    // Writes every byte, or raises the write's error.
    void writeAll(const QByteArray &bytes);
    // Empties the file and writes again from its start, or raises.
    void empty();
    // Flushes what was written to the disk, or raises.
    void sync();
    // Flushes to the disk and closes, each step checked, or raises.
    void finish();

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    QString fileName_;
    int fd_ = -1;
    int errno_ = 0;
    struct stat identity_ {};
};

// Raises the error of a step on the file that failed with systemErrno (read
// at once after the failing call): 76 when the file's folder is gone.
[[noreturn]] void raiseFileErrorOn(const QString &hostPath, int systemErrno);

// Flushes a folder's entries (a name made, taken or removed) to the disk,
// or raises; a folder that cannot be read, or a file system without folders
// to flush, has nothing to flush.
void syncFolder(const QString &hostFolder);

// Flushes a file that another writer made to the disk, or raises.
void syncFile(const QString &hostPath);


}  // namespace platform
