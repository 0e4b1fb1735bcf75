#include "ui/tables/textrules.h"

#include "common/paths.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace uitables {

CondizioneRicerca ClausolaRicerca(const std::vector<std::pair<QString, QString>> &colonneTesti)
{
    CondizioneRicerca condizione;
    QStringList clausole;
    for (const auto &[colonna, testo] : colonneTesti) {
        if (testo.isEmpty())
            continue;
        clausole << QStringLiteral("JetLike(") + colonna + QStringLiteral(", ?)");
        condizione.valori << u'*' + testo + u'*';
    }
    condizione.testo = clausole.join(QStringLiteral(" AND "));
    return condizione;
}

namespace {

// The lines of a stored text and the end that follows each (none after the
// last).
struct Righe {
    QStringList testi;
    QStringList fini;
};

Righe righe(const QString &memorizzato)
{
    static const QRegularExpression fine(QStringLiteral("\\r\\n|\\r|\\n"));
    Righe r;
    qsizetype inizio = 0;
    for (auto it = fine.globalMatch(memorizzato); it.hasNext();) {
        const auto m = it.next();
        r.testi << memorizzato.mid(inizio, m.capturedStart() - inizio);
        r.fini << m.captured();
        inizio = m.capturedEnd();
    }
    r.testi << memorizzato.mid(inizio);
    return r;
}

}  // namespace

QString RigheMostrate(const QString &memorizzato) { return righe(memorizzato).testi.join(u'\n'); }

QString RigheDaScrivere(const QString &memorizzato, const QString &mostrato)
{
    const Righe prima = righe(memorizzato);
    const QStringList dopo = mostrato.split(u'\n');
    const qsizetype n = prima.testi.size(), m = dopo.size();
    qsizetype inizio = 0, coda = 0;
    while (inizio < std::min(n, m) && prima.testi[inizio] == dopo[inizio])
        ++inizio;
    while (coda < std::min(n, m) - inizio && prima.testi[n - 1 - coda] == dopo[m - 1 - coda])
        ++coda;
    QString out;
    for (qsizetype j = 0; j < m; ++j) {
        out += dopo[j];
        if (j == m - 1)
            break;
        // The end after a line kept from the stored text is the one it had.
        if (j < inizio && j < n - 1)
            out += prima.fini[j];
        else if (j >= m - coda)
            out += prima.fini[j - (m - coda) + (n - coda)];
        else
            out += QStringLiteral("\r\n");
    }
    return out;
}

QString DidascaliaPosizione(int posizione, int conteggio)
{
    if (conteggio <= 0)
        return {};
    return QString::number(posizione + 1) + u'/' + QString::number(conteggio);
}

bool CodiceFisso(const QString &testo, int lunghezza, QChar da, QChar a)
{
    if (testo.isEmpty() || testo.size() != lunghezza)
        return false;
    for (const QChar c : testo)
        if (c < da || c > a)
            return false;
    return true;
}

double ValoreIniziale(const QString &testo)
{
    QString letto;
    bool cifre = false, punto = false;
    for (const QChar c : testo) {
        if (c == u' ' || c == u'\t')
            continue;
        if (c.isDigit() && c.unicode() < 128) {
            letto += c;
            cifre = true;
        } else if (c == u'.' && !punto) {
            letto += c;
            punto = true;
        } else if ((c == u'+' || c == u'-') && letto.isEmpty()) {
            letto += c;
        } else {
            break;
        }
    }
    return cifre ? letto.toDouble() : 0;
}

bool InteroSemplice(const QString &testo, double minimo, double massimo)
{
    double valore = ValoreIniziale(testo);
    qint16 unita = 1;
    const double n = common::TruncateNumber(valore, 0, unita);
    return testo == common::NumberToPlainText(n) && n >= minimo && n <= massimo;
}

}  // namespace uitables
