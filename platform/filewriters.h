#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

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

// A file made in one go: the bytes go to the file's temporary in the same
// folder, written, flushed to the disk and closed, each step checked; then
// the temporary takes the name, replacing a file there, and the folder's
// entries are flushed. A failure before the naming removes the temporary and
// leaves a file standing under the name as it was. A name that is a symbolic
// link writes the file it points at.
void replaceFile(const QString &hostPath, const QByteArray &bytes);

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

    // Opens the file for writing, creating it when missing: Truncate empties
    // it, Append writes at its end, NewOnly refuses a file already there.
    // False on failure, with systemError() telling why.
    bool open(OpenMode mode) override;
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
};

// Raises the error of a step on the file that failed with systemErrno (read
// at once after the failing call): 76 when the file's folder is gone.
[[noreturn]] void raiseFileErrorOn(const QString &hostPath, int systemErrno);

// Flushes a folder's entries (a name made, taken or removed) to the disk,
// or raises; a folder that cannot be read, or a file system without folders
// to flush, has nothing to flush.
void syncFolder(const QString &hostFolder);

// Flushes a file that another writer made (the page printer's PDF) to the
// disk, or raises.
void syncFile(const QString &hostPath);

}  // namespace platform
