#include "flowengine/fieldformat.h"

#include "common/paths.h"
#include "platform/messagebox.h"

#include <limits>

namespace flowengine {

namespace {

bool onlyZeros(const QString &digits)
{
    for (QChar c : digits) {
        if (c != u'0')
            return false;
    }
    return true;
}

// The value of a count's number text when it is a whole number above 0, else 0.
// Counts too large for an int stand for the largest one: no value is that long.
int positiveWholeNumber(const QString &text)
{
    if (!common::IsNumericText(text))
        return 0;
    QString t = common::TrimSpaces(text);
    if (t.startsWith(u'-'))
        return 0;
    if (t.startsWith(u'+'))
        t.remove(0, 1);
    const qsizetype point = t.indexOf(u'.');
    QString whole = point < 0 ? t : t.left(point);
    if (point >= 0 && !onlyZeros(t.mid(point + 1)))
        return 0;
    while (whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (whole.isEmpty())
        return 0;
    if (whole.size() > 9)
        return std::numeric_limits<int>::max();
    return whole.toInt();
}

// Texts of an alphabetic or alphanumeric field: cut to the width when the
// field may be cut, refused when longer otherwise; the spaces around are dropped.
int formatText(const QString &valore, int lunghezza, bool troncabile, QString &uscita)
{
    if (troncabile) {
        uscita = common::TrimSpaces(valore.left(lunghezza));
        return esitoformato::Ok;
    }
    if (valore.size() > lunghezza)
        return esitoformato::TroppoLungo;
    uscita = common::TrimSpaces(valore);
    return esitoformato::Ok;
}

int formatNumber(const QString &valore, const Picture &picture, bool nonNumerico, QString &uscita)
{
    // The spaces around a number are no part of it (the number check ignores
    // them too): left in, they would end up inside the written number.
    QString testo = common::TrimSpaces(valore);
    if (!common::IsNumericText(testo))
        return esitoformato::NonNumerico;

    QString segno;
    if (testo.startsWith(u'-') || testo.startsWith(u'+')) {
        if (testo.startsWith(u'-'))
            segno = QStringLiteral("-");
        testo.remove(0, 1);
    }
    const qsizetype punto = testo.indexOf(u'.');
    QString interi = punto < 0 ? testo : testo.left(punto);
    QString decimali = punto < 0 ? QString() : testo.mid(punto + 1);

    if (!segno.isEmpty() && !onlyZeros(interi + decimali) && !picture.conSegno)
        return esitoformato::NegativoSenzaSegno;

    if (interi.isEmpty())
        interi = QStringLiteral("0");
    // A code kept in a numeric picture (no "V", field not numeric) keeps its
    // leading zeros; a number loses them.
    if (picture.conDecimali || !nonNumerico) {
        while (interi.size() > 1 && interi.startsWith(u'0'))
            interi.remove(0, 1);
    }
    if (interi.size() > picture.lunghezza)
        return esitoformato::TroppeCifreIntere;

    while (decimali.endsWith(u'0'))
        decimali.chop(1);
    // Excess decimals are cut, not rounded, and are no error.
    if (picture.conDecimali) {
        if (decimali.size() > picture.cifreDecimali)
            decimali.truncate(picture.cifreDecimali);
        else
            decimali += QString(picture.cifreDecimali - decimali.size(), u'0');
    }

    // A zero has no sign: "-0" must not carry a minus into an unsigned field,
    // nor a cut "-0.001" come out as a negative zero.
    if (onlyZeros(interi + decimali))
        segno.clear();

    uscita = segno + interi;
    if (!decimali.isEmpty())
        uscita += u'.' + decimali;
    return esitoformato::Ok;
}

}  // namespace

void MostraErrorePicture()
{
    platform::msgBox(QStringLiteral("Attesa ')'"), QStringLiteral("Picture"),
                     platform::MsgIcon::Information, platform::MsgButtons::OK);
}

int VerificaContenitore(const QString &parte)
{
    if (!parte.startsWith(u'('))
        return esitoparte::Assente;
    if (parte.size() < 2 || !parte.endsWith(u')')) {
        MostraErrorePicture();
        return esitoparte::Errata;
    }
    const int n = positiveWholeNumber(parte.mid(1, parte.size() - 2));
    return n > 0 ? n : esitoparte::Errata;
}

int VerificaPictureCifre(const QString &parte)
{
    if (!parte.startsWith(u'9'))
        return esitoparte::Assente;
    if (parte.size() == 1)
        return 1;
    const int n = VerificaContenitore(parte.mid(1));
    return n > 0 ? n : esitoparte::Errata;
}

int VerificaPictureNumerica(const QString &testo, Picture &picture)
{
    const qsizetype v = testo.indexOf(u'V');
    const bool conV = v >= 0;
    QString parteIntera = conV ? testo.left(v) : testo;
    const QString parteDecimale = conV ? testo.mid(v + 1) : QString();
    if (conV && (parteIntera.isEmpty() || parteDecimale.isEmpty()))
        return esitoparte::Errata;

    const bool conSegno = parteIntera.startsWith(u'S');
    if (conSegno)
        parteIntera.remove(0, 1);

    const int interi = VerificaPictureCifre(parteIntera);
    if (interi == esitoparte::Assente)
        return conV ? esitoparte::Errata : esitoparte::Assente;
    if (interi < 0)
        return esitoparte::Errata;

    int decimali = 0;
    if (conV) {
        decimali = VerificaPictureCifre(parteDecimale);
        if (decimali <= 0)
            return esitoparte::Errata;
    }
    picture = Picture{tipopicture::Numerica, conSegno, interi, conV, decimali};
    return tipopicture::Numerica;
}

// "A" or "X" optionally followed by a count.
static int verificaLettera(const QString &testo, QChar lettera, int tipo, Picture &picture)
{
    if (!testo.startsWith(lettera))
        return esitoparte::Assente;
    const int n = testo.size() == 1 ? 1 : VerificaContenitore(testo.mid(1));
    if (n <= 0)
        return esitoparte::Errata;
    picture = Picture{tipo, false, n, false, 0};
    return tipo;
}

int VerificaPictureAlfabetica(const QString &testo, Picture &picture)
{
    return verificaLettera(testo, u'A', tipopicture::Alfabetica, picture);
}

int VerificaPictureAlfanumerica(const QString &testo, Picture &picture)
{
    return verificaLettera(testo, u'X', tipopicture::Alfanumerica, picture);
}

Picture AnalizzaPicture(const QString &testo)
{
    Picture picture;
    for (auto verifica : {VerificaPictureNumerica, VerificaPictureAlfabetica,
                          VerificaPictureAlfanumerica}) {
        const int esito = verifica(testo, picture);
        if (esito > 0)
            return picture;
        if (esito < 0)
            break;
    }
    return Picture{};
}

int TipoPicture(const QString &testo) { return AnalizzaPicture(testo).tipo; }

int FormattaCampo(QString &valore, const QString &picture, bool nonNumerico, bool troncabile,
                  QString &uscita)
{
    return FormattaCampo(valore, AnalizzaPicture(picture), nonNumerico, troncabile, uscita);
}

int FormattaCampo(QString &valore, const Picture &formato, bool nonNumerico, bool troncabile, QString &uscita)
{
    switch (formato.tipo) {
    case tipopicture::Numerica:
        return formatNumber(valore, formato, nonNumerico, uscita);
    case tipopicture::Alfabetica:
        common::ConvertCase(valore, 1);
        for (QChar c : valore) {
            if (c < u'A' || c > u'Z')
                return esitoformato::NonAlfabetico;
        }
        return formatText(valore, formato.lunghezza, troncabile, uscita);
    case tipopicture::Alfanumerica:
        return formatText(valore, formato.lunghezza, troncabile, uscita);
    default:
        // A layout with a broken picture is an error of the layout, not a
        // field to leave silently empty.
        return esitoformato::PictureNonValida;
    }
}

}  // namespace flowengine
