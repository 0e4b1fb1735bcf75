#include "ui/transmission/answerfile.h"

#include "common/picturemask.h"
#include "common/textfiles.h"
#include "flowengine/decimale.h"
#include "platform/codepage.h"

#include <QRegularExpression>
#include <algorithm>

namespace uitransmission {

using flowengine::Decimale;

QString Colonne(const QString &riga, int da, int a)
{
    if (da < 1 || a < da || da > riga.size())
        return {};
    return riga.mid(da - 1, a - da + 1);
}

qint16 Numero16(const QString &riga, int da, int a) { return Decimale::daTesto(Colonne(riga, da, a)).intero16(); }

qint32 Numero32(const QString &riga, int da, int a) { return Decimale::daTesto(Colonne(riga, da, a)).intero32(); }

QString NumeroTesto(const QString &riga, int da, int a) { return Decimale::daTesto(Colonne(riga, da, a)).testo(); }

namespace {

// The day of a date whose year has two digits (1930 to 2029) or four;
// nothing when there is no such day.
std::optional<QDate> Giorno(int anno, bool dueCifre, int mese, int giorno)
{
    if (dueCifre)
        anno += anno < 30 ? 2000 : 1900;
    const QDate data(anno, mese, giorno);
    if (!data.isValid())
        return std::nullopt;
    return data;
}

}  // namespace

std::optional<QDate> DataD8(const QString &testo)
{
    static const QRegularExpression forma(
        QStringLiteral("^\\s*(\\d{1,2})[/.\\-](\\d{1,2})[/.\\-](\\d{2}|\\d{4})\\s*$"));
    const QRegularExpressionMatch m = forma.match(testo);
    if (!m.hasMatch())
        return std::nullopt;
    return Giorno(m.captured(3).toInt(), m.captured(3).size() == 2, m.captured(2).toInt(), m.captured(1).toInt());
}

std::optional<QDate> DataD6(const QString &testo)
{
    // Six ASCII digits, as every answer writes its dates, are read as they
    // stand: an answer holds thousands, and a pattern for each costs more
    // than the rest of its record.
    if (testo.size() == 6
        && std::all_of(testo.cbegin(), testo.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        const auto due = [&testo](int i) { return (testo[i].unicode() - u'0') * 10 + (testo[i + 1].unicode() - u'0'); };
        return Giorno(due(4), true, due(2), due(0));
    }
    static const QRegularExpression seiCifre(QStringLiteral("^\\d{6}$"));
    if (!seiCifre.match(testo).hasMatch())
        return std::nullopt;
    return DataD8(common::FormatByPicture(testo, QStringLiteral("XX\"/\"XX\"/\"XX")));
}

QChar TipoRisposta(const QString &intestazione)
{
    const QString tipo = Colonne(intestazione, 26, 26);
    return tipo.isEmpty() ? QChar() : tipo[0];
}

QString DichiaranteRisposta(const QString &intestazione) { return Colonne(intestazione, 51, 66).trimmed(); }

qint32 RigheRisposta(const QString &intestazione) { return Numero32(intestazione, 71, 75); }

bool ControlloFormale(QChar tipo) { return tipo == TipoControlloA || tipo == TipoControlloB || tipo == TipoControlloG; }

bool ControlloSuperato(const QString &seconda) { return seconda.startsWith(u'0'); }

RispostaEdi RispostaEdi::daBytes(const QByteArray &bytes)
{
    RispostaEdi risposta;
    for (const QByteArray &riga : common::splitLines(bytes))
        risposta.righe << platform::fromWindows1252(riga);
    return risposta;
}

RispostaEdi RispostaEdi::estremi(const QByteArray &bytes)
{
    // The first two lines, and the last when it is a later one.
    qsizetype fine = 0;
    for (int n = 0; n < 2 && fine >= 0 && fine < bytes.size(); ++n) {
        fine = bytes.indexOf("\r\n", fine);
        fine = fine < 0 ? bytes.size() : fine + 2;
    }
    RispostaEdi risposta = daBytes(bytes.left(fine));
    if (fine < bytes.size()) {
        const qsizetype inizio = bytes.lastIndexOf("\r\n", bytes.size() - 3);
        risposta.righe << daBytes(bytes.mid(inizio < fine ? fine : inizio + 2)).righe.value(0);
    }
    return risposta;
}

QString RispostaEdi::riga(int n) const { return n >= 1 && n <= righe.size() ? righe[n - 1] : QString(); }

QString RispostaEdi::ultima() const { return righe.isEmpty() ? QString() : righe.last(); }

std::optional<QDate> RispostaEdi::data() const
{
    const QChar t = tipo();
    if (t == TipoEsiti || t == TipoIntrastat)
        return DataD8(Colonne(riga(2), 12, 19));
    if (t == TipoManifesto)
        return DataD8(Colonne(ultima(), 12, 19));
    if (t == TipoControlloA || t == TipoControlloB || t == TipoNonPrevisto)
        return DataD8(Colonne(ultima(), 7, 14));
    return std::nullopt;
}

namespace {

// The lines of bytes, each without its end, a line ending at CR LF, CR or LF;
// a last line without an end still counts.
class Righe {
public:
    explicit Righe(const QByteArray &bytes) : bytes_(bytes) {}
    // The next line; false at the end.
    bool prossima(QByteArrayView &riga)
    {
        const qsizetype n = bytes_.size();
        if (pos_ >= n)
            return false;
        qsizetype fine = pos_;
        while (fine < n && bytes_[fine] != '\r' && bytes_[fine] != '\n')
            ++fine;
        riga = QByteArrayView(bytes_.constData() + pos_, fine - pos_);
        pos_ = fine;
        if (pos_ < n && bytes_[pos_] == '\r')
            ++pos_;
        if (pos_ < n && bytes_[pos_] == '\n')
            ++pos_;
        return true;
    }

private:
    const QByteArray &bytes_;
    qsizetype pos_ = 0;
};

// Column k (1-based) of a line; a blank beyond its end.
char colonna(QByteArrayView riga, qsizetype k) { return k <= riga.size() ? riga[k - 1] : ' '; }

bool tipoNoto(char tipo) { return QByteArrayView("WHPABGF").contains(tipo); }

// The line count of a header (columns 71-75): digits and blanks, at least one
// digit; nothing otherwise.
std::optional<qint64> righeContate(QByteArrayView intestazione)
{
    qint64 n = 0;
    bool cifre = false;
    for (qsizetype k = 71; k <= 75 && k <= intestazione.size(); ++k) {
        const char c = intestazione[k - 1];
        if (c >= '0' && c <= '9') {
            n = n * 10 + (c - '0');
            cifre = true;
        } else if (c != ' ') {
            return std::nullopt;
        }
    }
    if (!cifre)
        return std::nullopt;
    return n;
}

bool primoArticolo(QByteArrayView riga)
{
    const QByteArrayView codice = riga.size() > 1 ? riga.sliced(1, std::min<qsizetype>(8, riga.size() - 1)).trimmed() : QByteArrayView();
    return codice == "C1" || codice == "C2" || codice == "C7" || codice == "C9";
}

EsameRisposta incompleta(const QString &difetto) { return {FormaRisposta::Incompleta, difetto}; }

QString troncata(qint64 n) { return QStringLiteral("la riga %1 è troncata").arg(n); }

}  // namespace

EsameRisposta EsaminaRisposta(const QByteArray &bytes, std::optional<qint64> arrivate)
{
    Righe righe(bytes);
    QByteArrayView intestazione;
    righe.prossima(intestazione);
    const char tipo = colonna(intestazione, 26);
    if (intestazione.size() < 26 || !tipoNoto(tipo))
        return {FormaRisposta::NonRisposta, QStringLiteral("l'intestazione non indica il tipo della risposta")};
    const std::optional<qint64> contate = righeContate(intestazione);
    if (!contate)
        return {FormaRisposta::NonRisposta, QStringLiteral("l'intestazione non indica il numero delle righe")};
    // The records of a type W answer, lines 4 to the count; a negative
    // record's error line is read even beyond it.
    qint64 n = 1;
    bool erroreAtteso = false;
    for (QByteArrayView riga; righe.prossima(riga);) {
        ++n;
        if (erroreAtteso) {
            erroreAtteso = false;
            if (riga.size() < 5)
                return incompleta(troncata(n));
            continue;
        }
        if (tipo != 'W' || n < 4 || n > *contate || colonna(riga, 1) != 'R')
            continue;
        if (riga.size() < 28)
            return incompleta(troncata(n));
        if (colonna(riga, 28) != 'P') {
            erroreAtteso = true;
        } else if (primoArticolo(riga)) {
            if (riga.size() < 45 || (colonna(riga, 50) != ' ' && riga.size() < 68))
                return incompleta(troncata(n));
        }
    }
    const qint64 righeFile = arrivate.value_or(n);
    if (righeFile < *contate)
        return incompleta(
            QStringLiteral("l'intestazione indica %1 righe, ma il file ne contiene %2").arg(*contate).arg(righeFile));
    if (erroreAtteso)
        return incompleta(QStringLiteral("manca la riga di errore che segue la riga %1").arg(n));
    return {};
}

bool RecordEsito(const QString &riga) { return riga.startsWith(u'R'); }

bool PrimoArticolo(const QString &codiceMsg)
{
    return codiceMsg == u"C1" || codiceMsg == u"C2" || codiceMsg == u"C7" || codiceMsg == u"C9";
}

bool EsitoRecord::convalida() const { return positivo() && PrimoArticolo(codiceMsg); }

EsitoRecord LeggiEsitoRecord(const QString &riga)
{
    EsitoRecord r;
    r.codiceMsg = Colonne(riga, 2, 9).trimmed();
    r.anomalia = Colonne(riga, 4, 7).trimmed();
    r.riferimento = Colonne(riga, 14, 19);
    r.esito = Colonne(riga, 28, 28);
    if (!r.convalida())
        return r;
    r.registro = Colonne(riga, 29, 30).trimmed();
    r.serie = Colonne(riga, 31, 32).trimmed();
    r.numero = NumeroTesto(riga, 33, 38);
    r.lettera = Colonne(riga, 39, 39);
    r.dataConvalida = DataD6(Colonne(riga, 40, 45));
    // A line that stops before column 50 carries no account either.
    r.conConto = !Colonne(riga, 50, 50).trimmed().isEmpty();
    if (r.conConto) {
        r.contoCodice = NumeroTesto(riga, 46, 49);
        r.contoLettera = Colonne(riga, 50, 50);
        r.numeroA93 = Numero32(riga, 51, 56);
        r.scadenzaFiscale = DataD6(Colonne(riga, 57, 62));
        r.scadenzaNonFiscale = DataD6(Colonne(riga, 63, 68));
    }
    return r;
}

RigaErrore LeggiRigaErrore(const QString &riga)
{
    RigaErrore e;
    e.articolo = Numero16(riga, 2, 3);
    e.rifCasella = Colonne(riga, 4, 7).trimmed();
    e.ripetizione = Numero16(riga, 9, 10);
    e.indicatore = Colonne(riga, 11, 11);
    e.testo = Colonne(riga, 16, 70).trimmed();
    return e;
}

bool RigaContinuazione(const QString &riga)
{
    const QString inizio = Colonne(riga, 1, 15);
    return inizio.size() == 15 && inizio.count(u' ') == 15;
}

QString TestoContinuazione(const QString &riga) { return riga.mid(15); }

namespace {

// The field number an item of a list of errors begins with.
std::optional<qint16> NumeroCampo(const QString &voce)
{
    const qsizetype spazio = voce.indexOf(u' ');
    bool ok = false;
    const qint16 numero = (spazio < 0 ? voce : voce.left(spazio)).trimmed().toShort(&ok);
    if (!ok)
        return std::nullopt;
    return numero;
}

}  // namespace

RigaControllo LeggiRigaControllo(const QString &riga)
{
    RigaControllo c;
    c.lineaFlusso = Numero32(riga, 1, 5);
    QString resto = riga.mid(5);
    while (!resto.isEmpty()) {
        QString voce;
        const qsizetype trattino = resto.indexOf(u'-');
        if (trattino >= 0) {
            voce = resto.left(trattino).trimmed();
            resto = resto.mid(trattino + 1).trimmed();
        } else {
            voce = resto.trimmed();
            resto.clear();
        }
        if (!voce.isEmpty())
            c.campi.push_back(NumeroCampo(voce));
    }
    return c;
}

IndiceDichiarazioni::IndiceDichiarazioni(const std::vector<flowengine::DocumentoCorbex> &dichiarazioni)
{
    // The first declaration of a reference is the one found.
    for (std::size_t i = 0; i < dichiarazioni.size(); ++i) {
        const QString chiave = dichiarazioni[i].Rif.left(6);
        if (!posizioni_.contains(chiave))
            posizioni_.insert(chiave, int(i));
    }
}

}  // namespace uitransmission
