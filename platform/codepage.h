#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The ANSI code page the program's text files are kept in (Windows-1252).
// Qt 6.4 offers no converter for it, so the table is our own.

// A character the code page cannot hold is written as "?".
QByteArray toWindows1252(const QString &text);
// Every byte has a character: the five bytes the code page leaves undefined
// read as the control characters of the same number, so a file read and
// written back keeps its bytes.
QString fromWindows1252(const QByteArray &bytes);

// The text with each character replaced by its single-character upper case
// when the code page holds that ("à" to "À", "ÿ" to "Ÿ"); any other character
// ("ß", "µ", whose upper case is none of the page's) stays, so the length
// never changes.
QString upperWindows1252(const QString &text);

}  // namespace platform
