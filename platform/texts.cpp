#include "platform/texts.h"

namespace platform {

QString TrimSpaces(const QString &text)
{
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

namespace {

// The day's text in the order given ('d', 'm', 'y' and the separators);
// QDate's own pattern where the year has no four digits.
QString dayText(const QDate &day, const char *order, const QString &pattern)
{
    int year = 0, month = 0, dayOfMonth = 0;
    day.getDate(&year, &month, &dayOfMonth);
    if (!day.isValid() || year < 0 || year > 9999)
        return day.toString(pattern);
    const auto digit = [](int n) { return QChar(u'0' + n % 10); };
    QChar text[10];
    int i = 0;
    for (const char *c = order; *c; ++c) {
        switch (*c) {
        case 'd':
            text[i++] = digit(dayOfMonth / 10);
            text[i++] = digit(dayOfMonth);
            break;
        case 'm':
            text[i++] = digit(month / 10);
            text[i++] = digit(month);
            break;
        case 'y':
            text[i++] = digit(year / 1000);
            text[i++] = digit(year / 100);
            text[i++] = digit(year / 10);
            text[i++] = digit(year);
            break;
        default: text[i++] = QChar(char16_t(*c)); break;
        }
    }
    return QString(text, i);
}

}  // namespace

QString DayText(const QDate &day) { return dayText(day, "d/m/y", QStringLiteral("dd/MM/yyyy")); }

QString IsoDayText(const QDate &day) { return dayText(day, "y-m-d", QStringLiteral("yyyy-MM-dd")); }

}  // namespace platform
