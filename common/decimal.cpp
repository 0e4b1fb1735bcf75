#include "common/decimal.h"

#include "common/paths.h"
#include "platform/errors.h"

namespace common {

namespace {

constexpr int MaxDigits = 18;
constexpr qint64 Limit = 1'000'000'000'000'000'000;  // 10^18: the first number of 19 digits

qint64 scaled(qint64 units, int by)
{
    for (int i = 0; i < by; ++i) {
        if (__builtin_mul_overflow(units, qint64(10), &units))
            platform::raise(platform::err::Overflow);
    }
    return units;
}

}  // namespace

Decimal::Decimal(qint64 units, int scale) : units_(units), scale_(scale) { normalise(); }

void Decimal::normalise()
{
    while (scale_ > 0 && units_ % 10 == 0) {
        units_ /= 10;
        --scale_;
    }
}

Decimal Decimal::fromText(const QString &text)
{
    QString number = NumericPrefix(text);
    if (number.isEmpty())
        return {};
    const bool negative = number.startsWith(u'-');
    if (negative || number.startsWith(u'+'))
        number.remove(0, 1);
    const qsizetype point = number.indexOf(u'.');
    QString whole = point < 0 ? number : number.left(point);
    QString decimals = point < 0 ? QString() : number.mid(point + 1);
    while (decimals.endsWith(u'0'))
        decimals.chop(1);
    while (whole.startsWith(u'0'))
        whole.remove(0, 1);
    QString digits = whole + decimals;
    while (digits.startsWith(u'0'))
        digits.remove(0, 1);
    if (digits.size() > MaxDigits || decimals.size() > MaxDigits)
        platform::raise(platform::err::Overflow);
    const qint64 units = digits.isEmpty() ? 0 : digits.toLongLong();
    return Decimal(negative ? -units : units, int(decimals.size()));
}

Decimal &Decimal::operator+=(const Decimal &other)
{
    const int scale = qMax(scale_, other.scale_);
    if (scale > MaxDigits)
        platform::raise(platform::err::Overflow);
    const qint64 a = scaled(units_, scale - scale_);
    const qint64 b = scaled(other.units_, scale - other.scale_);
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        platform::raise(platform::err::Overflow);
    units_ = sum;
    scale_ = scale;
    normalise();
    if (units_ >= Limit || units_ <= -Limit)
        platform::raise(platform::err::Overflow);
    return *this;
}

bool Decimal::operator==(const Decimal &other) const
{
    return units_ == other.units_ && scale_ == other.scale_;
}

QString Decimal::toPlainText() const
{
    if (units_ == 0)
        return QStringLiteral("0");
    // The magnitude as text; the sign is put back in front at the end.
    QString digits = QString::number(units_);
    const bool negative = digits.startsWith(u'-');
    if (negative)
        digits.remove(0, 1);
    QString text;
    if (scale_ == 0) {
        text = digits;
    } else {
        if (digits.size() <= scale_)
            digits.prepend(QString(scale_ - digits.size(), u'0'));
        const QString whole = digits.left(digits.size() - scale_);
        text = (whole == QLatin1String("0") ? QString() : whole) + u'.' + digits.right(scale_);
    }
    return negative ? u'-' + text : text;
}

}  // namespace common
