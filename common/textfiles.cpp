#include "common/textfiles.h"

#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace common {

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

QByteArray readFile(const QString &hostPath)
{
    const QFileInfo info(hostPath);
    if (!info.exists() || info.isDir())
        platform::raise(platform::err::FileNotFound);
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        platform::raise(platform::err::PathFileAccess);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        platform::raise(platform::err::PathFileAccess);
    return bytes;
}

void replaceFile(const QString &hostPath, const QByteArray &bytes)
{
    if (!QFileInfo(QFileInfo(hostPath).absolutePath()).isDir())
        platform::raise(platform::err::PathNotFound);
    QSaveFile file(hostPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        platform::raise(platform::err::PathFileAccess);
}

}  // namespace common
