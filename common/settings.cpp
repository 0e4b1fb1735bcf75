#include "common/settings.h"

#include "common/globals.h"
#include "common/textfiles.h"
#include "common/version.h"
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/errors.h"

#include <QList>
#include <optional>

namespace common {

namespace {

// The lines of the settings file; nullopt when it cannot be read.
std::optional<QList<QByteArray>> readLines()
{
    try {
        return splitLines(readFile(platform::hostPath(settingsPath())));
    } catch (const platform::RuntimeError &) {
        return std::nullopt;
    }
}

bool writeFiveLines()
{
    const QString text = RiservatoIni1 + QStringLiteral("\r\n") + RiservatoIni2 + QStringLiteral("\r\n")
                         + PercorsoArchivio + QStringLiteral("\r\nNon usata\r\n") + testoVersione()
                         + QStringLiteral("\r\n");
    try {
        replaceFile(platform::hostPath(settingsPath()), platform::toWindows1252(text));
        return true;
    } catch (const platform::RuntimeError &) {
        return false;
    }
}

}  // namespace

QString settingsPath() { return CartellaProgramma + QStringLiteral("CORBIX.INI"); }

bool LeggiIni() { return LeggiFileIni(); }

bool LeggiFileIni()
{
    const std::optional<QList<QByteArray>> lines = readLines();
    if (!lines || lines->isEmpty())
        return false;
    RiservatoIni1 = platform::fromWindows1252(lines->at(0));
    if (lines->size() > 1)
        RiservatoIni2 = platform::fromWindows1252(lines->at(1));
    if (lines->size() > 2)
        PercorsoArchivio = platform::fromWindows1252(lines->at(2));
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
    PercorsoArchivio = platform::fromWindows1252(lines->at(0));
    return writeFiveLines();
}

bool ScriviIni() { return writeFiveLines(); }

QString settingsUnreadableText(const QString &path)
{
    return QStringLiteral("Impossibile leggere il file di impostazioni '") + path + QStringLiteral("'.");
}

}  // namespace common
