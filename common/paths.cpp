#include "common/paths.h"

#include "common/databases.h"
#include "common/textfiles.h"
#include "platform/codepage.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>
#include <memory>

namespace common {

namespace {

const QString kBackslash = QStringLiteral("\\");

bool isFile(const QString &hostPath) { return QFileInfo(hostPath).isFile(); }

// Moves past one line and its end (CR LF, CR or LF); false at the end of the file.
bool skipLine(QIODevice *file)
{
    if (file->atEnd())
        return false;
    char c = 0;
    while (file->getChar(&c)) {
        if (c == '\n')
            break;
        if (c == '\r') {
            char next = 0;
            if (file->peek(&next, 1) == 1 && next == '\n')
                file->getChar(&next);
            break;
        }
    }
    return true;
}

}  // namespace

QString EstraiPercorso(const QString &path)
{
    const qsizetype last = path.lastIndexOf(u'\\');
    return last < 0 ? QString() : path.left(last + 1);
}

QString EstraiNomeFile(const QString &path)
{
    const qsizetype last = path.lastIndexOf(u'\\');
    return last < 0 ? path : path.mid(last + 1);
}

QString GetUNCServer(const QString &path)
{
    if (path.size() <= 2 || !path.startsWith(QStringLiteral("\\\\")))
        return {};
    const qsizetype next = path.indexOf(u'\\', 2);
    return QStringLiteral("\\\\") + (next < 0 ? path.mid(2) : path.mid(2, next - 2)) + kBackslash;
}

QString GetRootFolder(const QString &path, qint32 mode)
{
    qsizetype leading = 0;
    while (leading < path.size() && path[leading] == u'\\')
        ++leading;
    QString rest = path.mid(leading);
    if (leading > 0) {
        // The server of a network path, or the first folder of a rooted one.
        const qsizetype next = rest.indexOf(u'\\');
        rest = next < 0 ? QString() : rest.mid(next + 1);
    }
    if (rest.isEmpty())
        return {};
    QString component = rest.left(rest.indexOf(u'\\'));
    if (component.endsWith(u':'))
        component.chop(1);
    return component + (mode == 1 ? QStringLiteral(":\\") : kBackslash);
}

QString GetRelativeFolder(const QString &path)
{
    QString rest = path.mid(GetUNCServer(path).size());
    rest.chop(EstraiNomeFile(rest).size());
    if (!rest.isEmpty() && !rest.startsWith(QStringLiteral(".."))) {
        const qsizetype first = rest.indexOf(u'\\');
        rest = first < 0 ? QString() : rest.mid(first + 1);
    }
    return rest;
}

std::optional<QString> PercorsoInFormaDrive(const QString &typed)
{
    if (!typed.startsWith(u'/'))
        return typed;
    const QString path = platform::driveTable().windowsPath(typed);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

QString NewUniqueFileName(const QString &folder, const QString &prefix, const QString &suffix)
{
    platform::CheckedFile file;
    return NewUniqueFileName(folder, prefix, suffix, file);
}

QString NewUniqueFileName(const QString &folder, const QString &prefix, const QString &suffix,
                          platform::CheckedFile &file,
                          const std::function<void(const QString &name, const struct stat &identity)> &created)
{
    static const QString alphabet = QStringLiteral("_ABCDEFGHIJKLMNOPQRSTUVWXYZ-");
    const QString head = prefix.isEmpty() ? QStringLiteral("Vordama") : prefix;
    const QString tail = suffix.isEmpty() ? QStringLiteral("01") : suffix;
    QString dir = folder.isEmpty() ? QStringLiteral("C:\\WINDOWS\\TEMP\\") : folder;
    // A host folder (the program folder) takes the host's separator.
    const QChar separator = dir.startsWith(u'/') ? u'/' : u'\\';
    if (!dir.endsWith(separator))
        dir += separator;

    for (qint64 counter = 0;; ++counter) {
        QString code;
        qint64 rest = counter;
        do {
            code += alphabet[rest % 28];
            rest /= 28;
        } while (rest > 0);
        const QString candidate = dir + head + code + tail;
        const QString host = platform::hostPath(candidate);
        // Made exclusively: an existing file, folder or link of that name
        // makes the creation fail, so another workstation cannot take the
        // same name nor have the file written elsewhere.
        file.setFileName(host);
        // A name visibly taken is passed over before any is noted for it:
        // only one taken in the instant between is noted and given up.
        const QFileInfo standing(host);
        if (created && (standing.exists() || standing.isSymLink()))
            continue;
        const auto told = [&](const struct stat &identity) { created(candidate, identity); };
        if (file.open(QIODevice::NewOnly, created ? platform::CreatedFile(told) : platform::CreatedFile()))
            return candidate;
        const QFileInfo info(host);
        if (info.exists() || info.isSymLink())
            continue;
        platform::raise(QFileInfo(info.absolutePath()).isDir() ? platform::err::PathFileAccess
                                                               : platform::err::PathNotFound);
    }
}

bool CopyWithLineEnd(const QString &source, const QString &target, const QString &lineEnd)
{
    const QString from = platform::hostPath(source);
    if (!isFile(from))
        return true;
    const QByteArray bytes = joinLines(splitLines(readFile(from)), platform::toWindows1252(lineEnd));
    replaceFile(platform::hostPath(target), bytes);
    return false;
}

qint16 CopyTextFile(const QString &first, const QString &second, const QString &target)
{
    const QString a = platform::hostPath(first);
    if (!isFile(a))
        return -1;
    const QString b = platform::hostPath(second);
    if (!isFile(b))
        return -2;
    // Both are read whole before anything is written, so a target that is one
    // of the sources loses nothing.
    const QList<QByteArray> lines = splitLines(readFile(a)) + splitLines(readFile(b));
    replaceFile(target.isEmpty() ? a : platform::hostPath(target), joinLines(lines, "\r\n"));
    return 0;
}

qint32 SeekTextLine(qint32 lineNumber, QIODevice *file)
{
    if (lineNumber < 0)
        return -2;
    if (!file || !file->isOpen())
        return -3;
    file->seek(0);
    if (lineNumber == 0) {
        qint64 last = 0;
        for (qint64 start = file->pos(); skipLine(file); start = file->pos())
            last = start;
        file->seek(last);
        return static_cast<qint32>(last + 1);
    }
    for (qint32 read = 0; read < lineNumber - 1; ++read)
        if (!skipLine(file))
            return -1;
    if (file->atEnd())
        return -1;
    return static_cast<qint32>(file->pos() + 1);
}

QString StrBefore(const QString &text, qint32 position)
{
    // A position past the end takes the whole text.
    if (position < 1)
        return {};
    return text.left(position - 1);
}

QString StrAfter(const QString &text, qint32 position, qint32 separatorLength)
{
    if (position < 0 || separatorLength < 0 || position > text.size())
        return {};
    const qint64 start = qint64(position) + separatorLength;  // 1-based
    if (start < 1)
        return {};
    return text.mid(start - 1);
}

QString ConvertCase(QString &text, int mode)
{
    for (QChar &c : text) {
        if (mode == 0 && c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
        else if (mode == 1 && c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
    return text;
}

bool IsNumericText(const QString &text)
{
    const QString t = TrimSpaces(text);
    int digits = 0, points = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9')
            ++digits;
        else if (c == u'.')
            ++points;
        else if (!((c == u'+' || c == u'-') && i == 0))
            return false;
    }
    return digits > 0 && points <= 1;
}

QString NumberToPlainText(double number)
{
    // The standard text: fifteen significant digits, exponent notation from
    // 1E+15 and below 1E-04, no zero in front of the decimal mark.
    QString text = QString::number(number, 'g', 15).toUpper();
    if (text.startsWith(QStringLiteral("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QStringLiteral("-0.")))
        text.remove(1, 1);

    const qsizetype e = text.indexOf(u'E');
    if (e < 0)
        return text;
    QString mantissa = text.left(e);
    const int exponent = text.mid(e + 1).toInt();
    if (!mantissa.contains(u'.'))
        mantissa += QStringLiteral(".0");
    const qsizetype mark = mantissa.indexOf(u'.');
    if (exponent > 0) {
        const qsizetype decimals = mantissa.size() - mark - 1;
        if (exponent > decimals)
            mantissa += QString(exponent - decimals, u'0');
        return mantissa.remove(mark, 1);
    }
    QString sign;
    if (mantissa.startsWith(u'-') || mantissa.startsWith(u'+')) {
        sign = mantissa.left(1);
        mantissa.remove(0, 1);
    }
    const qsizetype before = mantissa.indexOf(u'.');
    return sign + QStringLiteral("0.") + QString(qMax<qsizetype>(0, -exponent - before), u'0')
           + mantissa.remove(before, 1);
}

double ExtractNumber(const QString &text)
{
    QString kept;
    bool digit = false, point = false, sign = false;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            kept += c;
            digit = true;
        } else if (c == u'.' && !point) {
            kept += c;
            point = true;
        } else if ((c == u'+' || c == u'-') && !digit && !point && !sign) {
            kept += c;
            sign = true;
        }
    }
    return digit ? kept.toDouble() : 0.0;
}

double TruncateNumber(double &value, double offset, qint16 &position)
{
    value += offset;
    QString text = NumberToPlainText(value);
    QString sign;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        sign = text.left(1);
        text.remove(0, 1);
    }
    if (!text.contains(u'.'))
        text += QStringLiteral(".0");
    else if (text.startsWith(u'.'))
        text.prepend(u'0');
    if (position == 0)
        position = 1;

    const qsizetype mark = text.indexOf(u'.');
    const QString whole = text.left(mark);
    QString decimals = text.mid(mark + 1);
    QString result;
    if (position < 0) {
        const int n = -position;
        if (decimals.size() < n)
            decimals += QString(n - decimals.size(), u'0');
        result = whole + u'.' + decimals.left(n);
    } else {
        const int cut = position - 1;
        // Cutting more digits than the units hold leaves nothing: zero.
        if (cut <= whole.size())
            result = whole.left(whole.size() - cut) + QString(cut, u'0');
    }
    if (result.isEmpty())
        result = QStringLiteral("0");
    // Adding 0.0 turns a negative zero into zero.
    return (sign + result).toDouble() + 0.0;
}

QString GetCompanyName(const QString &path)
{
    dao::Database db = ApriDatabase(path);
    std::unique_ptr<dao::Recordset> rs = db.openRecordset(QStringLiteral("SELECT * FROM Paragen"));
    QString name;
    if (!rs->eof() && rs->value(QStringLiteral("UsaQuestoNome")).toBool())
        name = rs->value(QStringLiteral("NomeDitta")).toString();
    rs->close();
    db.close();
    return name;
}

}  // namespace common
