#include "flowengine/treatments.h"

#include "common/paths.h"
#include "platform/dao/recordset.h"

namespace flowengine {

namespace {

const QString FineRiga = QStringLiteral("\r\n");

bool cifra(QChar c) { return c >= u'0' && c <= u'9'; }

// The digits at the start of a text.
QString cifreIniziali(const QString &testo)
{
    qsizetype n = 0;
    while (n < testo.size() && cifra(testo[n]))
        ++n;
    return testo.left(n);
}

// The text without its last two characters (the end of the last content);
// empty when it is not longer than that.
QString senzaFine(const QString &testo) { return testo.size() > 2 ? testo.chopped(2) : QString(); }

// A settlement line: type, base, amount and payment mode, from the first four
// referenced contents. It enters the flow, and the totals, only when its
// payment mode is settled at once.
QString lineaLiquidazione(const QString &valore, ModiPagamento &modi)
{
    const QStringList righe = valore.split(FineRiga);
    const auto riga = [&righe](int n) { return n < righe.size() ? common::TrimSpaces(righe[n]) : QString(); };
    const QString tipo = riga(0), base = riga(1), importo = riga(2), modo = riga(3);
    if (tipo.isEmpty() || base.isEmpty() || !modi.daLiquidare(modo))
        return {};
    const Decimale valoreImporto = Decimale::daTesto(importo);
    TotaleArticolo += valoreImporto;
    TotaleGenerale += valoreImporto;
    return (valoreImporto.testo().startsWith(u'-') ? QStringLiteral("-") : QString()) + tipo + u'X' + base;
}

}  // namespace

Decimale TotaleArticolo;
Decimale TotaleGenerale;

bool DaGarantireFalso(const QVariant &daGarantire)
{
    if (daGarantire.isNull())
        return false;
    const QString testo = daGarantire.toString();
    for (const char *falso : {"0", "False", "Falso", "No"}) {
        if (testo.compare(QLatin1String(falso), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool ModiPagamento::daLiquidare(const QString &codice)
{
    // Codes compare without regard to case, as the archive's queries do.
    const QString chiave = codice.toUpper();
    const auto letto = letti_.constFind(chiave);
    if (letto != letti_.cend())
        return *letto;
    auto rs = archivio_.openRecordset(QStringLiteral("SELECT DaGarantire FROM ModoPagamento WHERE Codice = ?"),
                                      {codice}, dao::RecordsetType::Snapshot);
    const bool esito = !rs->eof() && DaGarantireFalso(rs->value(0));
    rs->close();
    letti_.insert(chiave, esito);
    return esito;
}

QString ApplicaTrattamento(const QString &valore, const QString &parola, int articolo, int numeroArticoli,
                           ModiPagamento &modi, const QDate &oggi)
{
    if (parola == QLatin1String("STRCAT"))
        return QString(valore).remove(FineRiga);
    if (parola == QLatin1String("LINEALIQUIDAZIONE"))
        return lineaLiquidazione(valore, modi);
    if (parola == QLatin1String("SOLOCONTODOG"))
        return cifreIniziali(valore);
    if (parola == QLatin1String("SOLOCINCONTODOG"))
        return common::TrimSpaces(senzaFine(valore)).right(1);
    if (parola == QLatin1String("COLLI")) {
        // The last character is the end of the content, never a digit of it.
        const QString testo = valore.left(valore.size() - 1);
        qsizetype inizio = 0;
        while (inizio < testo.size() && !cifra(testo[inizio]))
            ++inizio;
        return cifreIniziali(testo.mid(inizio));
    }
    if (parola == QLatin1String("TOTART"))
        return TotaleArticolo.testo();
    if (parola == QLatin1String("TOTGEN"))
        return articolo == numeroArticoli ? TotaleGenerale.testo() : QString();
    if (parola == QLatin1String("XCPA"))
        return senzaFine(common::TrimSpaces(valore)).left(1);
    if (parola == QLatin1String("XCM")) {
        const QString conto = common::TrimSpaces(senzaFine(valore));
        if (conto.isEmpty())
            return {};
        return cifreIniziali(common::TrimSpaces(conto.mid(1)));
    }
    if (parola == QLatin1String("SYSDATEGGMMAA"))
        return oggi.toString(QStringLiteral("ddMMyy"));
    // "DATAGGMMAA", "XCINCM" and any keyword the writer does not know.
    return {};
}

}  // namespace flowengine
