#include "flowengine/decimale.h"

#include "platform/errors.h"

namespace flowengine {

namespace {

constexpr int MaxCifre = 38;

__int128 potenza10(int n)
{
    __int128 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Whether v * 10^n stays within 38 digits.
bool scalabile(__int128 v, int n)
{
    const __int128 limite = potenza10(MaxCifre);
    for (int i = 0; i < n; ++i) {
        v *= 10;
        if (v >= limite || v <= -limite)
            return false;
    }
    return true;
}

}  // namespace

Decimale Decimale::daTesto(const QString &testo)
{
    __int128 mantissa = 0;
    int scala = 0, cifre = 0;
    bool negativo = false, segno = false, punto = false;
    for (const QChar c : testo) {
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        if (c >= u'0' && c <= u'9') {
            if (cifre == 0 && c == u'0' && !punto) {
                segno = true;  // leading zeros add no digit
                continue;
            }
            if (++cifre > MaxCifre)
                platform::raise(platform::err::Overflow);
            mantissa = mantissa * 10 + (c.unicode() - u'0');
            if (punto)
                ++scala;
            segno = true;
        } else if (c == u'.' && !punto) {
            punto = true;
            segno = true;
        } else if ((c == u'+' || c == u'-') && !segno) {
            negativo = c == u'-';
            segno = true;
        } else {
            break;
        }
    }
    return Decimale(negativo ? -mantissa : mantissa, scala);
}

Decimale Decimale::operator+(const Decimale &altro) const
{
    const int scala = qMax(scala_, altro.scala_);
    if (!scalabile(mantissa_, scala - scala_) || !scalabile(altro.mantissa_, scala - altro.scala_))
        platform::raise(platform::err::Overflow);
    const __int128 somma = mantissa_ * potenza10(scala - scala_) + altro.mantissa_ * potenza10(scala - altro.scala_);
    const __int128 limite = potenza10(MaxCifre);
    if (somma >= limite || somma <= -limite)
        platform::raise(platform::err::Overflow);
    return Decimale(somma, scala);
}

bool Decimale::operator==(const Decimale &altro) const
{
    const int scala = qMax(scala_, altro.scala_);
    return mantissa_ * potenza10(scala - scala_) == altro.mantissa_ * potenza10(scala - altro.scala_);
}

QString Decimale::testo() const
{
    __int128 v = mantissa_ < 0 ? -mantissa_ : mantissa_;
    QString cifre;
    do {
        cifre.prepend(QChar(u'0' + int(v % 10)));
        v /= 10;
    } while (v != 0);
    if (cifre.size() <= scala_)
        cifre.prepend(QString(scala_ - cifre.size() + 1, u'0'));
    QString decimali = cifre.right(scala_);
    while (decimali.endsWith(u'0'))
        decimali.chop(1);
    QString t = cifre.left(cifre.size() - scala_);
    if (!decimali.isEmpty())
        t = (t == QLatin1String("0") ? QString() : t) + u'.' + decimali;  // ".25", as numbers are written
    if (mantissa_ < 0 && t != QLatin1String("0"))
        t.prepend(u'-');
    return t;
}

qint64 Decimale::arrotondato(qint64 minimo, qint64 massimo) const
{
    const __int128 unita = potenza10(scala_);
    __int128 intero = mantissa_ / unita;
    const __int128 resto = mantissa_ % unita;  // same sign as the mantissa
    const __int128 doppio = (resto < 0 ? -resto : resto) * 2;
    if (doppio > unita || (doppio == unita && intero % 2 != 0))
        intero += mantissa_ < 0 ? -1 : 1;
    if (intero < minimo || intero > massimo)
        platform::raise(platform::err::Overflow);
    return qint64(intero);
}

qint16 Decimale::intero16() const { return qint16(arrotondato(-32768, 32767)); }

qint32 Decimale::intero32() const { return qint32(arrotondato(-2147483648LL, 2147483647LL)); }

}  // namespace flowengine
