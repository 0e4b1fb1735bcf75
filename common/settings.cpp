#include "common/settings.h"

#include "common/globals.h"
#include "common/textfiles.h"
#include "common/version.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/errors.h"

#include <QFileInfo>
#include <QList>
#include <optional>

namespace common {

namespace {

// A settings file holds five short lines: one larger than this, or whose
// archive path is longer than this, is no settings file.
constexpr qint64 DimensioneMassima = 64 * 1024;
constexpr qsizetype LunghezzaMassimaPercorso = 1024;

// The lines of the settings file; nullopt when it cannot be read or is
// larger than a settings file is.
std::optional<QList<QByteArray>> readLines()
{
    const QString path = settingsPath();
    if (QFileInfo(path).size() > DimensioneMassima)
        return std::nullopt;
    try {
        return splitLines(readFile(path));
    } catch (const platform::RuntimeError &) {
        return std::nullopt;
    }
}

// The archive path of a line; nullopt when it is too long to be one.
std::optional<QString> archivePath(const QByteArray &line)
{
    const QString path = platform::fromWindows1252(line);
    if (path.size() > LunghezzaMassimaPercorso)
        return std::nullopt;
    return path;
}

bool writeFiveLines()
{
    const QString text = RiservatoIni1 + QStringLiteral("\r\n") + RiservatoIni2 + QStringLiteral("\r\n")
                         + PercorsoArchivio + QStringLiteral("\r\nNon usata\r\n") + testoVersione()
                         + QStringLiteral("\r\n");
    try {
        replaceFile(settingsPath(), platform::toWindows1252(text), platform::FinalLink::Follow);
        return true;
    } catch (const platform::RuntimeError &) {
        return false;
    }
}

}  // namespace

QString settingsPath() { return platform::pathInFolder(CartellaProgramma, QStringLiteral("CORBIX.INI")); }

bool LeggiIni() { return LeggiFileIni(); }

bool LeggiFileIni()
{
    const std::optional<QList<QByteArray>> lines = readLines();
    if (!lines || lines->isEmpty())
        return false;
    // A refused file changes nothing: the archive path of a short file of
    // the earlier form is its first line.
    if ((lines->size() > 2 && !archivePath(lines->at(2))) || (lines->size() < 5 && !archivePath(lines->at(0))))
        return false;
    RiservatoIni1 = platform::fromWindows1252(lines->at(0));
    if (lines->size() > 1)
        RiservatoIni2 = platform::fromWindows1252(lines->at(1));
    if (lines->size() > 2)
        PercorsoArchivio = *archivePath(lines->at(2));
    if (lines->size() < 5)
        return AggiornaIni();
    return true;
}

bool AggiornaIni()
{
    // A short file is of the earlier form, whose first line was the archive path.
    const std::optional<QList<QByteArray>> lines = readLines();
    if (!lines || lines->isEmpty())
        return false;
    const std::optional<QString> percorso = archivePath(lines->at(0));
    if (!percorso)
        return false;
    PercorsoArchivio = *percorso;
    return writeFiveLines();
}

bool ScriviIni() { return writeFiveLines(); }

QString settingsUnreadableText(const QString &path)
{
    return QStringLiteral("Impossibile leggere il file di impostazioni '") + path + QStringLiteral("'.");
}

}  // namespace common
