#pragma once

#include <QString>

namespace flowengine {

// An exact decimal number. The amounts of the declarations' boxes are added up
// with it, so that no total carries the rounding of binary fractions.
class Decimale {
public:
    Decimale() = default;

    // The numeric value of a text as the program reads numbers: blanks, tabs
    // and line feeds are passed over wherever they stand; an optional sign,
    // digits, one "." and further digits are read, and reading stops at the
    // first other character. A text without digits is 0. More than 38 digits
    // raise 6 (overflow).
    static Decimale daTesto(const QString &testo);

    Decimale operator+(const Decimale &altro) const;  // 6 on overflow
    Decimale &operator+=(const Decimale &altro) { return *this = *this + altro; }
    bool operator==(const Decimale &altro) const;

    // Plain digits with "." before the decimals, no zero in front of the
    // decimal mark, no zeros after the last decimal digit, no grouping, no
    // exponent: "1234.5", "0", ".5", "-.25".
    QString testo() const;

    // Rounded to a whole number, a half going to the even one; 6 when the
    // result does not fit.
    qint16 intero16() const;
    qint32 intero32() const;

private:
    Decimale(__int128 mantissa, int scala) : mantissa_(mantissa), scala_(scala) {}
    qint64 arrotondato(qint64 minimo, qint64 massimo) const;

    __int128 mantissa_ = 0;  // the value times 10^scala_
    int scala_ = 0;
};

}  // namespace flowengine
