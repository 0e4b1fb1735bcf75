#include "platform/drives.h"

#include "platform/errors.h"
#include "platform/filewriters.h"
#include "platform/workstation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <memory>
#include <optional>

namespace platform {

DriveTable *&driveTableSlot()
{
    static DriveTable *current = nullptr;
    return current;
}

namespace {

const QString kUnc = QStringLiteral("unc");

// The entry of a folder whose name equals name without regard to case; the
// exact name wins. Empty when there is none.
QString findEntry(const QString &folder, const QString &name)
{
    if (QFileInfo::exists(folder + u'/' + name) || QFileInfo(folder + u'/' + name).isSymLink())
        return name;
    const QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                               QDir::Name);
    for (const QString &n : names)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return n;
    return {};
}

// Raises 52 for a server or share name that would lead out of the table's
// "unc" folder: "." and "..", or a name holding a separator.
void checkUncName(const QString &name)
{
    if (name == u"." || name == u".." || name.contains(u'/') || name.contains(u'\\'))
        raise(err::BadFileNameOrNumber);
}

// The components of a Windows path below its root; "." is dropped and ".."
// is refused, so no path leaves its drive or share.
QStringList components(const QString &rest)
{
    QStringList out;
    for (const QString &part : rest.split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts)) {
        if (part == u".")
            continue;
        if (part == u"..")
            raise(err::BadFileNameOrNumber);
        out << part;
    }
    return out;
}

// Joins the components under a host folder, each found on disk without
// regard to case; a name not found is kept as written (a file to be made).
QString below(QString folder, const QStringList &parts)
{
    bool searching = true;
    for (const QString &part : parts) {
        QString name = part;
        if (searching) {
            const QString found = findEntry(folder, part);
            if (found.isEmpty())
                searching = false;
            else
                name = found;
        }
        folder = (folder.endsWith(u'/') ? folder : folder + u'/') + name;
    }
    return folder;
}

// The host folder an entry leads to; empty when the entry or its target is missing.
QString targetOf(const QString &entry)
{
    const QFileInfo info(entry);
    if (!info.exists() || !info.isDir())
        return {};
    return info.canonicalFilePath();
}

// A host path with its existing part resolved, so that it compares with the
// entries' targets.
QString canonicalHost(const QString &path)
{
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList tail;
    while (!QFileInfo::exists(existing)) {
        const qsizetype slash = existing.lastIndexOf(u'/');
        if (slash <= 0) {
            existing = QStringLiteral("/");
            break;
        }
        tail.prepend(existing.mid(slash + 1));
        existing.truncate(slash);
    }
    QString result = QFileInfo(existing).canonicalFilePath();
    for (const QString &t : tail)
        result = (result.endsWith(u'/') ? result : result + u'/') + t;
    return result;
}

// The part of a host path below a target, in Windows form; nullopt when the
// target does not hold the path.
std::optional<QString> rest(const QString &host, const QString &target)
{
    if (host == target)
        return QString();
    const QString prefix = target.endsWith(u'/') ? target : target + u'/';
    if (!host.startsWith(prefix))
        return std::nullopt;
    QString tail = host.mid(prefix.size());
    tail.replace(u'/', u'\\');
    return tail;
}

void link(const QString &entry, const QString &target)
{
    if (QFileInfo(entry).isSymLink() || QFileInfo::exists(entry))
        QFile::remove(entry);
    if (!QFile::link(target, entry))
        raise(err::PathFileAccess);
}

}  // namespace

DriveTable::DriveTable(const QString &programFolder, const QString &homeFolder)
    : folder_(QDir::cleanPath(programFolder) + QStringLiteral("/dosdevices"))
{
    if (QFileInfo::exists(folder_))
        return;
    const QString c = folder_ + QStringLiteral("/c:");
    if (QDir().mkpath(folder_) && QFile::link(homeFolder.isEmpty() ? QDir::homePath() : homeFolder, c))
        madeWith_ = QFileInfo(c).symLinkTarget();
}

void DriveTable::removeIfAsMade() const
{
    if (madeWith_.isEmpty())
        return;
    const QString c = folder_ + QStringLiteral("/c:");
    const QStringList entries = QDir(folder_).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (entries != QStringList{QStringLiteral("c:")} || !QFileInfo(c).isSymLink() || QFileInfo(c).symLinkTarget() != madeWith_)
        return;
    // The entry is a link: it is removed, never followed.
    if (QFile::remove(c))
        QDir().rmdir(folder_);
}

QString DriveTable::hostPath(const QString &path) const
{
    if (path.startsWith(u'/'))
        return path;

    static const QRegularExpression drive(QStringLiteral("^([A-Za-z]):(.*)$"));
    QString root;
    QString tail;
    if (path.startsWith(QStringLiteral("\\\\"))) {
        const QStringList parts = path.mid(2).split(u'\\');
        if (parts.size() < 2 || parts[0].isEmpty() || parts[1].isEmpty())
            raise(err::BadFileNameOrNumber);
        const QString server = parts[0];
        const QString share = parts[1];
        checkUncName(server);
        checkUncName(share);
        tail = parts.mid(2).join(u'\\');
        if (share.size() == 1 && share[0].isLetter()
            && server.compare(computerName(), Qt::CaseInsensitive) == 0) {
            root = share + u':';
        } else {
            const QString uncFolder = folder_ + u'/' + kUnc;
            const QString serverName = findEntry(uncFolder, server);
            const QString shareName =
                serverName.isEmpty() ? QString() : findEntry(uncFolder + u'/' + serverName, share);
            const QString target =
                shareName.isEmpty() ? QString() : targetOf(uncFolder + u'/' + serverName + u'/' + shareName);
            if (target.isEmpty())
                raise(err::PathNotFound);
            return below(target, components(tail));
        }
    } else if (const QRegularExpressionMatch m = drive.match(path); m.hasMatch()) {
        root = m.captured(1) + u':';
        tail = m.captured(2);
    } else {
        if (path.startsWith(u'\\'))
            raise(err::BadFileNameOrNumber);
        return below(QDir::currentPath(), components(path));
    }

    const QString entry = findEntry(folder_, root);
    const QString target = entry.isEmpty() ? QString() : targetOf(folder_ + u'/' + entry);
    if (target.isEmpty())
        raise(err::DeviceUnavailable);
    return below(target, components(tail));
}

QString DriveTable::windowsPath(const QString &hostPath) const
{
    const QString host = canonicalHost(hostPath);
    QString best;
    qsizetype bestLength = -1;
    auto consider = [&](const QString &entry, const QString &root) {
        const QString target = targetOf(entry);
        if (target.isEmpty() || target.size() <= bestLength)
            return;
        if (const std::optional<QString> tail = rest(host, target)) {
            best = root + *tail;
            bestLength = target.size();
        }
    };

    static const QRegularExpression letter(QStringLiteral("^[A-Za-z]:$"));
    const QDir dir(folder_);
    for (const QString &name : dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
        if (letter.match(name).hasMatch())
            consider(dir.filePath(name), name.toUpper() + u'\\');
    const QDir unc(dir.filePath(kUnc));
    for (const QString &server : unc.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir shares(unc.filePath(server));
        for (const QString &share :
             shares.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
            consider(shares.filePath(share), QStringLiteral("\\\\") + server + u'\\' + share + u'\\');
    }
    return best;
}

QList<QChar> DriveTable::drives() const
{
    static const QRegularExpression letter(QStringLiteral("^[A-Za-z]:$"));
    QList<QChar> out;
    for (const QString &name :
         QDir(folder_).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
        if (letter.match(name).hasMatch() && !out.contains(name[0].toUpper()))
            out << name[0].toUpper();
    std::sort(out.begin(), out.end());
    return out;
}

void DriveTable::setDrive(QChar letter, const QString &target) const
{
    link(folder_ + u'/' + letter.toLower() + u':', target);
}

void DriveTable::setShare(const QString &server, const QString &share, const QString &target) const
{
    checkUncName(server);
    checkUncName(share);
    const QString serverFolder = folder_ + u'/' + kUnc + u'/' + server;
    if (!QDir().mkpath(serverFolder))
        raise(err::PathFileAccess);
    link(serverFolder + u'/' + share, target);
}

namespace {

// The name under which a mapped letter keeps the entry it covers, and the
// mark that the letter is mapped.
QString covered(const QString &folder, QChar letter) { return folder + u'/' + letter.toLower() + QStringLiteral(":.coperta"); }
QString mapped(const QString &folder, QChar letter) { return folder + u'/' + letter.toLower() + QStringLiteral(":.mappata"); }

bool present(const QString &entry) { return QFileInfo(entry).isSymLink() || QFileInfo::exists(entry); }

}  // namespace

void DriveTable::mapDrive(QChar letter, const QString &server, const QString &share) const
{
    checkUncName(server);
    checkUncName(share);
    const QString uncFolder = folder_ + u'/' + kUnc;
    const QString serverName = findEntry(uncFolder, server);
    const QString shareName = serverName.isEmpty() ? QString() : findEntry(uncFolder + u'/' + serverName, share);
    const QString target = shareName.isEmpty() ? QString() : targetOf(uncFolder + u'/' + serverName + u'/' + shareName);
    if (target.isEmpty())
        raise(err::PathNotFound);
    const QString entry = folder_ + u'/' + letter.toLower() + u':';
    // A letter mapped already keeps the entry it covered the first time.
    if (!present(mapped(folder_, letter))) {
        if (present(entry) && !QFile::rename(entry, covered(folder_, letter)))
            raise(err::PathFileAccess);
        CheckedFile mark(mapped(folder_, letter));
        if (!mark.open(QIODevice::Truncate))
            mark.raiseError();
        mark.finish();
    }
    link(entry, target);
}

void DriveTable::unmapDrive(QChar letter) const
{
    if (!present(mapped(folder_, letter)))
        return;
    const QString entry = folder_ + u'/' + letter.toLower() + u':';
    if (present(entry) && !QFile::remove(entry))
        raise(err::PathFileAccess);
    if (present(covered(folder_, letter)) && !QFile::rename(covered(folder_, letter), entry))
        raise(err::PathFileAccess);
    QFile::remove(mapped(folder_, letter));
}

DriveTable &driveTable()
{
    if (!driveTableSlot()) {
        static std::unique_ptr<DriveTable> current;
        current = std::make_unique<DriveTable>(QDir::currentPath());
        driveTableSlot() = current.get();
    }
    return *driveTableSlot();
}

QString hostPath(const QString &path) { return driveTable().hostPath(path); }

QString pathInFolder(const QString &folder, const QString &name)
{
    const QString found = findEntry(folder, name);
    return (folder.endsWith(u'/') ? folder : folder + u'/') + (found.isEmpty() ? name : found);
}

}  // namespace platform
