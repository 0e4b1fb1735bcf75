#include "common/picturemask.h"

#include <QStringList>
#include <limits>

namespace common {

namespace {

bool isQuote(QChar c) { return c == u'"' || c == u'\''; }

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The token that starts at or after position, which is left just after it.
QString pictureToken(const QString &picture, qsizetype &position)
{
    const qsizetype length = picture.size();
    static const QString starters = QStringLiteral("SVRXNZ'\"");
    while (position < length && !starters.contains(picture[position]))
        ++position;
    if (position >= length)
        return {};
    const qsizetype start = position;
    const QChar c = picture[position];
    qsizetype end = position + 1;  // one past the token
    if ((c == u'X' || c == u'N' || c == u'Z') && end < length && picture[end] == u'(') {
        const qsizetype close = picture.indexOf(u')', end);
        end = close < 0 ? length : close + 1;
    } else if (isQuote(c)) {
        if (position + 2 < length && picture[position + 1] == c && picture[position + 2] == c) {
            end = position + 3;
        } else {
            const qsizetype close = picture.indexOf(c, position + 1);
            end = close < 0 ? length : close + 1;
        }
    }
    position = end;
    return picture.mid(start, end - start);
}

QStringList tokensOf(const QString &picture)
{
    QStringList tokens;
    qsizetype position = 0;
    for (QString t = pictureToken(picture, position); !t.isEmpty(); t = pictureToken(picture, position))
        tokens << t;
    return tokens;
}

// The count of an X, N or Z token: 1 without parentheses, 0 for "()".
qsizetype countOf(const QString &token)
{
    if (token.size() == 1)
        return 1;
    constexpr qsizetype limit = std::numeric_limits<int>::max();
    qsizetype n = 0;
    for (qsizetype i = 2; i < token.size() && isDigit(token[i]); ++i)
        n = n > (limit - 9) / 10 ? limit : n * 10 + (token[i].unicode() - u'0');
    return n;
}

// The text of a fixed-text token without its quotes; three quotes stand for one.
QString fixedText(const QString &token)
{
    if (token.size() == 3 && token[1] == token[0] && token[2] == token[0])
        return token.left(1);
    return token.mid(1, token.size() - 2);
}

bool isNumericToken(const QString &token)
{
    static const QString numeric = QStringLiteral("SVNZR");
    return numeric.contains(token[0]);
}

QString zeros(qsizetype n) { return QString(n, u'0'); }

QString joined(const QStringList &tokens, qsizetype from, qsizetype to)
{
    return tokens.mid(from, to - from).join(QString());
}

QString takeLeft(QString &digits, qsizetype n)
{
    const QString taken = digits.left(n);
    digits.remove(0, taken.size());
    return taken;
}

QString takeRight(QString &digits, qsizetype n)
{
    const QString taken = digits.right(n);
    digits.chop(taken.size());
    return taken;
}

QString formatText(const QString &value, const QStringList &tokens)
{
    QString out;
    QString rest = value;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString &t = tokens[i];
        if (t[0] == u'X') {
            out += takeLeft(rest, countOf(t));
        } else if (t[0] == u'"') {
            out += fixedText(t);
        } else if (t[0] == u'\'') {
            const QString after = FormatByPicture(rest, joined(tokens, i + 1, tokens.size()));
            if (!after.isEmpty())
                out += fixedText(t) + after;
            break;
        }
    }
    return out;
}

QString formatNumber(const QString &value, QStringList tokens)
{
    qsizetype v = tokens.indexOf(QStringLiteral("V"));
    if (v < 0) {
        tokens << QStringLiteral("V");
        v = tokens.size() - 1;
    }
    QStringList integerPicture = tokens.mid(0, v);
    QStringList decimalPicture = tokens.mid(v + 1);

    const qsizetype point = value.indexOf(u'.');
    QString integerDigits = point < 0 ? value : value.left(point);
    QString decimalDigits = point < 0 ? QString() : value.mid(point + 1);

    if (integerPicture.isEmpty())
        integerPicture << QStringLiteral("N(%1)").arg(integerDigits.size());
    if (decimalPicture.isEmpty())
        decimalPicture << QStringLiteral("Z(%1)").arg(decimalDigits.size());

    QString sign;
    if (!integerDigits.isEmpty() && (integerDigits[0] == u'-' || integerDigits[0] == u'+')) {
        sign = integerDigits.left(1);
        integerDigits.remove(0, 1);
    }
    if (integerPicture.first() == QLatin1String("S")) {
        if (sign.isEmpty())
            sign = QStringLiteral("+");
        integerPicture.removeFirst();
    }

    // The integer part is written from right to left; zeros of a
    // zero-suppressed run are held back until a digit to their left shows
    // that they are not leading zeros.
    QString integerOut;
    qsizetype held = 0;
    for (qsizetype i = integerPicture.size() - 1; i >= 0; --i) {
        const QString &t = integerPicture[i];
        if (t[0] == u'N') {
            const QString chunk = takeRight(integerDigits, countOf(t));
            for (qsizetype j = chunk.size() - 1; j >= 0; --j) {
                if (chunk[j] == u'0') {
                    ++held;
                } else {
                    integerOut = chunk[j] + zeros(held) + integerOut;
                    held = 0;
                }
            }
        } else if (t[0] == u'Z') {
            const qsizetype n = countOf(t);
            integerOut = takeRight(integerDigits, n).rightJustified(n, u'0') + zeros(held) + integerOut;
            held = 0;
        } else if (t[0] == u'"') {
            integerOut = fixedText(t) + zeros(held) + integerOut;
            held = 0;
        } else if (t[0] == u'\'') {
            const QString before = FormatByPicture(integerDigits, joined(integerPicture, 0, i));
            integerDigits.clear();
            if (!before.isEmpty())
                integerOut = before + fixedText(t) + zeros(held) + integerOut;
            break;
        }
    }
    const QString integerResult = sign + integerDigits + integerOut;

    // The decimal part is written from left to right; trailing zeros of a
    // zero-suppressed run are held back the same way.
    QString decimalOut;
    held = 0;
    for (qsizetype i = 0; i < decimalPicture.size(); ++i) {
        const QString &t = decimalPicture[i];
        if (t[0] == u'N') {
            decimalOut += zeros(held);
            held = 0;
            for (const QChar c : takeLeft(decimalDigits, countOf(t))) {
                if (c == u'0') {
                    ++held;
                } else {
                    decimalOut += zeros(held) + c;
                    held = 0;
                }
            }
        } else if (t[0] == u'Z') {
            const qsizetype n = countOf(t);
            decimalOut += zeros(held) + takeLeft(decimalDigits, n).leftJustified(n, u'0');
            held = 0;
        } else if (t[0] == u'"') {
            decimalOut += zeros(held) + fixedText(t);
            held = 0;
        } else if (t[0] == u'\'') {
            const QString after = FormatByPicture(decimalDigits, joined(decimalPicture, i + 1, decimalPicture.size()));
            decimalDigits.clear();
            if (!after.isEmpty())
                decimalOut += zeros(held) + fixedText(t) + after;
            break;
        } else if (t[0] == u'R') {
            decimalOut.clear();
            break;
        }
    }
    return decimalOut.isEmpty() ? integerResult : integerResult + u'.' + decimalOut;
}

}  // namespace

bool CheckPictureMask(const QString &picture)
{
    enum class Kind { None, Numeric, Text } kind = Kind::None;
    bool signSeen = false, pointSeen = false, roundSeen = false;
    const qsizetype length = picture.size();
    qsizetype i = 0;
    while (i < length) {
        const QChar c = picture[i];
        bool countMayFollow = false;
        if (c == u'S') {
            if (signSeen || kind != Kind::None)
                return false;
            signSeen = true;
            kind = Kind::Numeric;
        } else if (c == u'X') {
            if (kind == Kind::Numeric)
                return false;
            kind = Kind::Text;
            countMayFollow = true;
        } else if (c == u'N' || c == u'Z') {
            if (kind == Kind::Text)
                return false;
            kind = Kind::Numeric;
            countMayFollow = true;
        } else if (c == u'V') {
            if (kind == Kind::Text || pointSeen)
                return false;
            pointSeen = true;
            kind = Kind::Numeric;
        } else if (c == u'R') {
            if (!pointSeen || roundSeen)
                return false;
            roundSeen = true;
        } else if (isQuote(c)) {
            if (i + 2 < length && picture[i + 1] == c && picture[i + 2] == c) {
                i += 3;
            } else {
                const qsizetype close = picture.indexOf(c, i + 1);
                if (close < 0)
                    return false;
                i = close + 1;
            }
            continue;
        } else {
            return false;
        }
        ++i;
        if (countMayFollow && i < length && picture[i] == u'(') {
            ++i;
            while (i < length && picture[i] != u')') {
                if (!isDigit(picture[i]))
                    return false;
                ++i;
            }
            if (i >= length)
                return false;
            ++i;
        }
    }
    return true;
}

QString NextPictureToken(const QString &picture)
{
    static QString text;
    static qsizetype position = 0;
    if (!picture.isEmpty()) {
        text = picture;
        position = 0;
    }
    return pictureToken(text, position);
}

QString FormatByPicture(const QString &value, const QString &picture)
{
    if (!CheckPictureMask(picture))
        return value;
    const QStringList tokens = tokensOf(picture);
    for (const QString &t : tokens)
        if (isNumericToken(t))
            return formatNumber(value, tokens);
    return formatText(value, tokens);
}

}  // namespace common
