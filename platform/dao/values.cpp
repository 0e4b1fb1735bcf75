#include "platform/dao/values.h"

#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/texts.h"

#include <QHash>
#include <QRegularExpression>
#include <cmath>
#include <optional>
#include <vector>
#include <sqlite3.h>

namespace dao {

using platform::err::DataTypeConversion;
using platform::err::Overflow;

// A day goes straight to text: through a local QDateTime every date bound
// would consult the system's time zone.
QString storedDate(const QDate &value) { return platform::IsoDayText(value); }

namespace {

// The stored form of a day and a time of day, kept apart: no QDateTime of
// local time is made for them.
QString storedForm(const QDate &day, const QTime &time)
{
    if (time == QTime(0, 0))
        return storedDate(day);
    return storedDate(day) + u' ' + time.toString(QStringLiteral("HH:mm:ss"));
}

}  // namespace

QString storedDate(const QDateTime &value) { return storedForm(value.date(), value.time()); }

namespace {

// The digits of text from `from` for `count` characters as a number; -1 when
// one of them is not a digit.
int digits(const QString &text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// The day of a stored form ("yyyy-MM-dd" at its start), read without a
// pattern; an invalid date when it is not one.
QDate storedDay(const QString &text)
{
    if ((text.size() != 10 && text.size() != 19) || text[4] != u'-' || text[7] != u'-')
        return {};
    const int year = digits(text, 0, 4);
    return year < 0 ? QDate() : QDate(year, digits(text, 5, 2), digits(text, 8, 2));
}

// The stored forms read without a pattern: every date field of every row
// read passes here.
std::optional<std::pair<QDate, QTime>> storedDayAndTime(const QString &text)
{
    const QDate date = storedDay(text);
    if (!date.isValid())
        return std::nullopt;
    if (text.size() == 10)
        return std::pair(date, QTime(0, 0));
    if (text[10] != u' ' || text[13] != u':' || text[16] != u':')
        return std::nullopt;
    const QTime time(digits(text, 11, 2), digits(text, 14, 2), digits(text, 17, 2));
    if (!time.isValid())
        return std::nullopt;
    return std::pair(date, time);
}

// The day and the time of a date text. Kept apart until a caller wants a
// QDateTime: one of local time consults the system's time zone.
std::optional<std::pair<QDate, QTime>> dayAndTime(const QString &text)
{
    if (auto stored = storedDayAndTime(text))
        return stored;
    static const QRegularExpression italian(
        QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{4})(?:\\s+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?\\s*$"));
    static const QRegularExpression iso(
        QStringLiteral("^\\s*(\\d{4})-(\\d{2})-(\\d{2})(?:[ T](\\d{2}):(\\d{2})(?::(\\d{2}))?)?\\s*$"));
    int y = 0, m = 0, d = 0;
    QRegularExpressionMatch match = italian.match(text);
    if (match.hasMatch()) {
        d = match.captured(1).toInt();
        m = match.captured(2).toInt();
        y = match.captured(3).toInt();
    } else {
        match = iso.match(text);
        if (!match.hasMatch())
            return std::nullopt;
        y = match.captured(1).toInt();
        m = match.captured(2).toInt();
        d = match.captured(3).toInt();
    }
    const QDate date(y, m, d);
    if (!date.isValid())
        return std::nullopt;
    QTime time(0, 0);
    if (!match.captured(4).isEmpty()) {
        time = QTime(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
        if (!time.isValid())
            return std::nullopt;
    }
    return std::pair(date, time);
}

}  // namespace

std::optional<QDateTime> parseDateText(const QString &text)
{
    const auto parsed = dayAndTime(text);
    if (!parsed)
        return std::nullopt;
    return QDateTime(parsed->first, parsed->second);
}

std::optional<QDate> parseDayText(const QString &text)
{
    const auto parsed = dayAndTime(text);
    return parsed ? std::optional(parsed->first) : std::nullopt;
}

namespace {

bool isNumericVariant(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
    case QMetaType::SChar:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

std::optional<double> toNumber(const QVariant &v)
{
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? -1.0 : 0.0;
    if (isNumericVariant(v))
        return v.toDouble();
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        const double d = v.toString().trimmed().toDouble(&ok);
        if (ok)
            return d;
    }
    return std::nullopt;
}

// Whole numbers round half to even, as Jet's conversions do.
QVariant toWhole(const QVariant &v)
{
    const auto n = toNumber(v);
    if (!n || !std::isfinite(*n))
        platform::raise(DataTypeConversion);
    const double r = std::nearbyint(*n);
    if (r < -9.2e18 || r > 9.2e18)
        platform::raise(Overflow);
    return QVariant(static_cast<qlonglong>(r));
}

}  // namespace

QVariant toStorage(const Field &field, const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return {};
    switch (field.type) {
    case FieldType::Boolean: {
        if (value.typeId() == QMetaType::QString) {
            const QString t = value.toString().trimmed().toLower();
            if (t == QLatin1String("true") || t == QLatin1String("vero") || t == QLatin1String("yes"))
                return QVariant(qlonglong(-1));
            if (t == QLatin1String("false") || t == QLatin1String("falso") || t == QLatin1String("no"))
                return QVariant(qlonglong(0));
        }
        const auto n = toNumber(value);
        if (!n)
            platform::raise(DataTypeConversion);
        return QVariant(qlonglong(*n != 0 ? -1 : 0));
    }
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
        return toWhole(value);
    case FieldType::Double: {
        const auto n = toNumber(value);
        if (!n)
            platform::raise(DataTypeConversion);
        return QVariant(*n);
    }
    case FieldType::Date: {
        if (value.typeId() == QMetaType::QDate)
            return storedDate(value.toDate());
        if (value.typeId() == QMetaType::QDateTime)
            return storedDate(value.toDateTime());
        if (value.typeId() == QMetaType::QString) {
            if (const auto parsed = dayAndTime(value.toString()))
                return storedForm(parsed->first, parsed->second);
        }
        platform::raise(DataTypeConversion);
    }
    case FieldType::Text:
    case FieldType::Memo:
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
        if (value.typeId() == QMetaType::Bool)
            return value.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
        return value.toString();
    }
    return value;
}

QVariant fromStorage(const Field *field, const QVariant &stored)
{
    if (stored.isNull())
        return {};
    if (!field)
        return stored;
    switch (field->type) {
    case FieldType::Boolean:
        return QVariant(stored.toLongLong() != 0);
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
        if (stored.typeId() == QMetaType::LongLong)
            return QVariant(static_cast<int>(stored.toLongLong()));
        return stored;
    case FieldType::Double:
        return QVariant(stored.toDouble());
    case FieldType::Date: {
        const QString text = stored.toString();
        // A stored day is read as a day, without the time zone a QDateTime
        // of local time would consult.
        if (text.size() == 10)
            if (const QDate day = storedDay(text); day.isValid())
                return QVariant(day);
        const auto parsed = dayAndTime(text);
        if (!parsed)
            return stored;
        if (parsed->second == QTime(0, 0) && text.size() == 10)
            return QVariant(parsed->first);
        // Only a value with a time of day is a date and time of local time.
        return QVariant(QDateTime(parsed->first, parsed->second));
    }
    case FieldType::Text:
    case FieldType::Memo:
        // A text is read as text already: the value is shared, not copied.
        if (stored.typeId() == QMetaType::QString)
            return stored;
        return QVariant(stored.toString());
    }
    return stored;
}

void bindValue(sqlite3_stmt *statement, int index, const QVariant &value)
{
    if (value.isNull() || !value.isValid()) {
        sqlite3_bind_null(statement, index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        sqlite3_bind_int64(statement, index, value.toBool() ? -1 : 0);
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(statement, index, value.toDouble());
        return;
    case QMetaType::QDate: {
        const QByteArray day = storedDate(value.toDate()).toUtf8();
        sqlite3_bind_text(statement, index, day.constData(), int(day.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QDateTime:
        bindValue(statement, index, storedDate(value.toDateTime()));
        return;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob(statement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        return;
    }
    default:
        break;
    }
    if (isNumericVariant(value)) {
        sqlite3_bind_int64(statement, index, value.toLongLong());
        return;
    }
    const QByteArray utf8 = value.toString().toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

QVariant columnValue(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                                          sqlite3_column_bytes(statement, column)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, column)),
                                   sqlite3_column_bytes(statement, column)));
    default:
        return {};
    }
}

namespace {

// Calls onPart(kind, text) for each stretch of the SQL: 'c' code, 's' a quoted
// literal or identifier (left as it is).
template <typename Emit>
void scanSql(const QString &sql, Emit onPart)
{
    int i = 0;
    const int n = int(sql.size());
    while (i < n) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"' || c == u'[' || c == u'`') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            int j = i + 1;
            while (j < n) {
                if (sql[j] == close) {
                    if (close != u']' && j + 1 < n && sql[j + 1] == close) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            onPart('s', sql.mid(i, j - i + 1));
            i = j + 1;
        } else {
            int j = i;
            while (j < n && sql[j] != u'\'' && sql[j] != u'"' && sql[j] != u'[' && sql[j] != u'`')
                ++j;
            onPart('c', sql.mid(i, j - i));
            i = j;
        }
    }
}

}  // namespace

QString tableNamedIn(const QString &sql)
{
    static const QRegularExpression re(
        QStringLiteral("\\b(?:FROM|INTO|UPDATE|TABLE)\\s+([\\[\"`]?)([^\\s\\]\"`,;()]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(sql);
    return m.hasMatch() ? m.captured(2) : QString();
}

QString quoteIdentifier(const QString &identifier)
{
    QString q = identifier;
    q.replace(u'"', QStringLiteral("\"\""));
    return QStringLiteral("\"") + q + QStringLiteral("\"");
}

namespace {

QString translateOnce(const QString &sql)
{
    static const QRegularExpression deleteStar(QStringLiteral("^(\\s*DELETE)\\s+\\*\\s+(FROM\\b)"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression trueWord(QStringLiteral("\\bTrue\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression falseWord(QStringLiteral("\\bFalse\\b"),
                                              QRegularExpression::CaseInsensitiveOption);
    QString out;
    bool first = true;
    scanSql(sql, [&](char kind, QString part) {
        if (kind == 'c') {
            if (first)
                part.replace(deleteStar, QStringLiteral("\\1 \\2"));
            part.replace(trueWord, QStringLiteral("-1"));
            part.replace(falseWord, QStringLiteral("0"));
        }
        first = false;
        out += part;
    });
    return out;
}

}  // namespace

QString translateJetSql(const QString &sql)
{
    // The program runs the same few texts thousands of times: each is
    // translated once per thread.
    thread_local QHash<QString, QString> translated;
    if (const auto found = translated.constFind(sql); found != translated.cend())
        return *found;
    if (translated.size() >= 256)
        translated.clear();
    return *translated.insert(sql, translateOnce(sql));
}

namespace {

// One element of a pattern: a run of any characters, one character of a
// class, or one given character.
struct PatternItem {
    enum Kind { Run, Any, Digit, Set, Literal } kind;
    QChar literal;
    bool negated = false;
    std::vector<std::pair<QChar, QChar>> ranges;

    static PatternItem of(Kind kind, QChar literal = {}) { return {kind, literal, false, {}}; }
};

std::vector<PatternItem> parsePattern(const QString &pattern)
{
    std::vector<PatternItem> items;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'*') {
            items.push_back(PatternItem::of(PatternItem::Run));
        } else if (c == u'?') {
            items.push_back(PatternItem::of(PatternItem::Any));
        } else if (c == u'#') {
            items.push_back(PatternItem::of(PatternItem::Digit));
        } else if (c == u'[' && pattern.indexOf(u']', i + 1) > i) {
            const qsizetype end = pattern.indexOf(u']', i + 1);
            // "[]" stands for no character at all.
            if (end == i + 1) {
                i = end;
                continue;
            }
            PatternItem set = PatternItem::of(PatternItem::Set);
            qsizetype k = i + 1;
            if (k < end && pattern[k] == u'!') {
                set.negated = true;
                ++k;
            }
            for (; k < end; ++k) {
                if (k + 2 < end && pattern[k + 1] == u'-') {
                    set.ranges.emplace_back(pattern[k], pattern[k + 2]);
                    k += 2;
                } else {
                    set.ranges.emplace_back(pattern[k], pattern[k]);
                }
            }
            items.push_back(std::move(set));
            i = end;
        } else {
            items.push_back(PatternItem::of(PatternItem::Literal, c));
        }
    }
    return items;
}

bool sameLetter(QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); }

bool inRange(QChar c, const std::pair<QChar, QChar> &range)
{
    for (const QChar form : {c, c.toLower(), c.toUpper()})
        if (form >= range.first && form <= range.second)
            return true;
    return false;
}

bool matchesOne(const PatternItem &item, QChar c)
{
    switch (item.kind) {
    case PatternItem::Any: return true;
    case PatternItem::Digit: return c >= u'0' && c <= u'9';
    case PatternItem::Literal: return sameLetter(item.literal, c);
    case PatternItem::Set: {
        bool found = false;
        for (const auto &range : item.ranges)
            found = found || inRange(c, range);
        return found != item.negated;
    }
    case PatternItem::Run: break;
    }
    return false;
}

}  // namespace

bool jetLike(const QString &text, const QString &pattern)
{
    const std::vector<PatternItem> items = parsePattern(pattern);
    // Each element but a run takes one character; on a mismatch the last
    // run seen takes one character more and the match goes on after it.
    size_t p = 0;
    qsizetype t = 0;
    std::optional<size_t> run;
    qsizetype runText = 0;
    while (t < text.size()) {
        if (p < items.size() && items[p].kind == PatternItem::Run) {
            run = p++;
            runText = t;
        } else if (p < items.size() && matchesOne(items[p], text[t])) {
            ++p;
            ++t;
        } else if (run) {
            p = *run + 1;
            t = ++runText;
        } else {
            return false;
        }
    }
    while (p < items.size() && items[p].kind == PatternItem::Run)
        ++p;
    return p == items.size();
}

void jetLikeFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto text = [](sqlite3_value *v) {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
    };
    sqlite3_result_int(context, jetLike(text(argv[0]), text(argv[1])) ? 1 : 0);
}

namespace {
QString displayLiteral(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return QStringLiteral("Null");
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QDate:
        return QStringLiteral("DateValue('") + v.toDate().toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral("')");
    case QMetaType::QDateTime:
        return QStringLiteral("DateValue('") + v.toDateTime().toString(QStringLiteral("dd/MM/yyyy"))
               + QStringLiteral("')");
    default:
        break;
    }
    if (isNumericVariant(v))
        return v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 15)
                                               : QString::number(v.toLongLong());
    return QStringLiteral("\"") + v.toString() + QStringLiteral("\"");
}
}  // namespace

QString sqlForDisplay(const QString &sql, const QVariantList &params)
{
    // A value already inside DateValue(...) is its text there, as the system
    // writes it: DateValue('09/03/2026'), the function named once.
    static const QRegularExpression insideDateValue(QStringLiteral("DateValue\\s*\\(\\s*$"),
                                                    QRegularExpression::CaseInsensitiveOption);
    QString out;
    int next = 0;
    scanSql(sql, [&](char kind, const QString &part) {
        if (kind == 's') {
            out += part;
            return;
        }
        for (const QChar c : part) {
            if (c != u'?' || next >= params.size()) {
                out += c;
                continue;
            }
            const QVariant &value = params[next++];
            if (!value.isNull() && insideDateValue.match(out).hasMatch()) {
                const QString text = value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime
                                         ? value.toDate().toString(QStringLiteral("dd/MM/yyyy"))
                                         : value.toString();
                out += u'\'' + text + u'\'';
            } else {
                out += displayLiteral(value);
            }
        }
    });
    return out;
}

namespace {
// Splits a default expression into its kind: text literal, number, Boolean
// word, or the date functions; anything else is left to the program.
enum class DefaultKind { None, Text, Number, Boolean, Today, Now };

DefaultKind defaultKind(const QString &expr, QVariant *literal)
{
    const QString e = expr.trimmed();
    if (e.isEmpty())
        return DefaultKind::None;
    if (e.size() >= 2 && e.startsWith(u'"') && e.endsWith(u'"')) {
        *literal = e.mid(1, e.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
        return DefaultKind::Text;
    }
    const QString lower = e.toLower();
    if (lower == QLatin1String("true") || lower == QLatin1String("yes")) {
        *literal = qlonglong(-1);
        return DefaultKind::Boolean;
    }
    if (lower == QLatin1String("false") || lower == QLatin1String("no")) {
        *literal = qlonglong(0);
        return DefaultKind::Boolean;
    }
    if (lower == QLatin1String("date()"))
        return DefaultKind::Today;
    if (lower == QLatin1String("now()"))
        return DefaultKind::Now;
    bool ok = false;
    const double d = e.toDouble(&ok);
    if (ok) {
        *literal = d == std::floor(d) && std::fabs(d) < 9e15 ? QVariant(qlonglong(d)) : QVariant(d);
        return DefaultKind::Number;
    }
    return DefaultKind::None;
}
}  // namespace

QVariant evaluateDefault(const Field &field)
{
    QVariant literal;
    switch (defaultKind(field.defaultValue, &literal)) {
    case DefaultKind::None:
        return {};
    case DefaultKind::Today:
        return toStorage(field, platform::clock().now().date());
    case DefaultKind::Now:
        return toStorage(field, platform::clock().now());
    default:
        return toStorage(field, literal);
    }
}

QString sqliteDefault(const Field &field)
{
    QVariant literal;
    switch (defaultKind(field.defaultValue, &literal)) {
    case DefaultKind::None:
        return {};
    case DefaultKind::Today:
        return QStringLiteral("(date('now','localtime'))");
    case DefaultKind::Now:
        return QStringLiteral("(datetime('now','localtime'))");
    default:
        break;
    }
    QVariant stored;
    try {
        stored = toStorage(field, literal);
    } catch (const platform::RuntimeError &) {
        return {};
    }
    if (stored.typeId() == QMetaType::QString)
        return QStringLiteral("'") + stored.toString().replace(u'\'', QStringLiteral("''")) + QStringLiteral("'");
    if (stored.typeId() == QMetaType::Double)
        return QString::number(stored.toDouble(), 'g', 17);
    return QString::number(stored.toLongLong());
}

}  // namespace dao
