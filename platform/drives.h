#pragma once

#include "platform/scopedservice.h"

#include <QChar>
#include <QList>
#include <QString>

namespace platform {

// The drive table: how the program's Windows paths ("D:\Dogana\",
// "\\PC1\D\Dogana\", "A:") reach the host's folders. The folder "dosdevices"
// in the program folder holds one entry per drive letter ("c:", "a:", a link
// to a host folder) and one per network share under "unc/SERVER/SHARE".
class DriveTable {
public:
    // The table in the given program folder (a host path). When its folder is
    // missing it is made with the single entry "c:" pointing at homeFolder.
    explicit DriveTable(const QString &programFolder, const QString &homeFolder = QString());

    // The host folder that holds the entries.
    const QString &folder() const { return folder_; }

    // The host path of a path: a host path (starting with "/") comes back
    // unchanged; a Windows path goes through its drive or share entry, each
    // name below it found on disk without regard to case. A drive without an
    // entry, or whose target is missing, raises 68; a share without an entry
    // raises 76; a component that would leave its drive or share, or a
    // server or share name "." or ".." or holding a separator, raises 52.
    // A path without drive or share is taken in the current folder.
    QString hostPath(const QString &path) const;

    // The drive (or share) form of a host path typed by a user, through the
    // entry whose target holds it, the longest target winning; empty when no
    // entry holds it.
    QString windowsPath(const QString &hostPath) const;

    // The drive letters that have an entry, upper-case and in order; a drive
    // whose target is missing is listed too (it is a drive that is not ready).
    QList<QChar> drives() const;

    // Makes or replaces the entry of a drive letter or of a share; 75 when it
    // cannot be written, 52 for a server or share name refused by hostPath.
    void setDrive(QChar letter, const QString &target) const;
    void setShare(const QString &server, const QString &share, const QString &target) const;

    // Maps a drive letter to a share, as the network's "use" command does:
    // the letter's entry leads where the share's entry leads. An entry the
    // letter had is kept inside the table under another name, so that it
    // survives a crash, and comes back when the letter is unmapped. 76 when
    // the share has no entry, 75 when the table cannot be written, 52 for a
    // server or share name refused by hostPath.
    void mapDrive(QChar letter, const QString &server, const QString &share) const;
    // Removes the letter's mapping and puts back the entry it covered;
    // nothing happens to a letter that is not mapped.
    void unmapDrive(QChar letter) const;

    // Removes the table when this object made it and it still holds only the
    // entry "c:" it was made with, as it was made: a start given up leaves
    // the program folder as it found it. A table that was there already, or
    // that has changed since, stays.
    void removeIfAsMade() const;

private:
    QString folder_;
    // The target of the entry "c:" this object made with the table; empty
    // when the table was there already.
    QString madeWith_;
};

// The table in use: the one installed, or else the table of the process's
// current folder (the program folder at start-up).
DriveTable &driveTable();

// The pointer behind the accessor; a guard installs a test double in it.
DriveTable *&driveTableSlot();
using ScopedDriveTable = platform::ScopedService<DriveTable, driveTableSlot>;

// The host path of a path through the table in use.
QString hostPath(const QString &path);

// The host path of a name in a host folder, the name found on disk without
// regard to case (the exact name wins); the name as written when the folder
// holds none.
QString pathInFolder(const QString &folder, const QString &name);

}  // namespace platform
