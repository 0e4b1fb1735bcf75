#pragma once

#include <QString>
#include <QtGlobal>

namespace common {

// An exact decimal number, for money added up line by line: a sum of amounts
// must come out as the amounts' own digits say, never rounded through binary
// floating point. Up to 18 significant digits; beyond them, error 6 (Overflow).
class Decimal {
public:
    Decimal() = default;

    // The number a text starts with, read as NumericValue reads it; 0 when
    // the text holds no number.
    static Decimal fromText(const QString &text);

    Decimal &operator+=(const Decimal &other);
    bool operator==(const Decimal &other) const;

    bool isNegative() const { return units_ < 0; }

    // Plain decimal digits: no exponent, no zero before the point, no zeros
    // after the last significant decimal ("12.5", ".25", "-.5", "0").
    QString toPlainText() const;

private:
    Decimal(qint64 units, int scale);
    void normalise();

    qint64 units_ = 0;  // the value is units_ / 10^scale_
    int scale_ = 0;
};

}  // namespace common
