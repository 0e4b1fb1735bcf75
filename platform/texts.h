#pragma once

#include <QDate>
#include <QString>

namespace platform {

// The text without the spaces at either end; tabs and line ends stay, as the
// original platform's trim leaves them.
QString TrimSpaces(const QString &text);

// A day as "dd/mm/yyyy", as the program shows and writes it, and as
// "yyyy-mm-dd", as the archive stores it: the texts of QDate's patterns,
// written digit by digit, since a pattern goes through the calendar and the
// locale, and lists of tens of thousands of days come through here.
QString DayText(const QDate &day);
QString IsoDayText(const QDate &day);

}  // namespace platform
