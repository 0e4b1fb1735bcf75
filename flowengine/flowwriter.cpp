#include "flowengine/flowwriter.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/paths.h"
#include "common/textfiles.h"
#include "flowengine/fieldformat.h"
#include "flowengine/flowlines.h"
#include "flowengine/decimale.h"
#include "flowengine/journal.h"
#include "flowengine/treatments.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/dao/connection.h"
#include "platform/dao/recordset.h"
#include "platform/dao/values.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/filewriters.h"
#include "platform/texts.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>

#include <limits>
#include <map>
#include <optional>
#include <sqlite3.h>
#include <tuple>

namespace flowengine {

namespace {

const QString FineRiga = QStringLiteral("\r\n");
constexpr int MassimoArticoli = 40;

QString maiuscolo(QString testo) { return common::ConvertCase(testo, 1); }

// The key of a box: module, box, sub-box and row upper-cased, as the
// archive compares them, each ended by "|", then for an article row the
// article number as two characters (no text conversion: this runs for every
// row of every declaration).
QString chiaveCasella(const QString &modulo, const QString &campo, const QString &sottoCasella, const QString &riga,
                      const QVariant &articolo)
{
    QString chiave;
    chiave.reserve(modulo.size() + campo.size() + sottoCasella.size() + riga.size() + 6);
    for (const QString *parte : {&modulo, &campo, &sottoCasella, &riga}) {
        chiave += *parte;
        chiave += u'|';
    }
    common::ConvertCase(chiave, 1);
    if (!articolo.isNull()) {
        const quint32 numero = quint32(articolo.toInt());
        chiave += QChar(char16_t(numero & 0xFFFF));
        chiave += QChar(char16_t(numero >> 16));
    }
    return chiave;
}

bool foglioFrontale(QAnyStringView modulo) { return QAnyStringView::compare(modulo, QLatin1String("F"), Qt::CaseInsensitive) == 0; }

unsigned codice(QChar c) { return c.unicode(); }
unsigned codice(char c) { return uchar(c); }

// Appends a text of at most `larghezza` characters to a box's key, a byte a
// character upper-cased as the archive compares them (ConvertCase), 0 for a
// missing one; false for a longer text, or one with NUL or a character
// outside ASCII, whose key is then the text one.
bool impacchetta(QAnyStringView testo, int larghezza, quint64 &chiave)
{
    if (testo.size() > larghezza)
        return false;
    bool va = true;
    int messi = 0;
    testo.visit([&](auto parte) {
        for (auto c : parte) {
            unsigned u = codice(c);
            if (u == 0 || u >= 0x80) {
                va = false;
                return;
            }
            if (u >= 'a' && u <= 'z')
                u -= 'a' - 'A';
            chiave = chiave << 8 | u;
            ++messi;
        }
    });
    for (; messi < larghezza; ++messi)
        chiave <<= 8;
    return va;
}

// The packed key of a box: module, box, sub-box and row; false when one of
// them does not fit.
bool chiavePacchetto(QAnyStringView modulo, QAnyStringView campo, QAnyStringView sottoCasella, QAnyStringView riga,
                     quint64 &chiave)
{
    chiave = 0;
    return impacchetta(modulo, 1, chiave) && impacchetta(campo, 2, chiave) && impacchetta(sottoCasella, 2, chiave)
           && impacchetta(riga, 2, chiave);
}

// The article of a row that has none: no reference reaches it but as a
// front-sheet one.
constexpr qint64 SenzaArticolo = std::numeric_limits<qint64>::min();

// The numeric value of a count, rounded to a whole number; -1 for one of
// more than nine digits, which no count reaches: a count too large to hold is
// out of range, not a failure of the whole run.
int numeroIntero(const QString &testo)
{
    const Decimale valore = Decimale::daTesto(testo);
    const QString cifre = valore.testo();
    const qsizetype punto = cifre.indexOf(u'.');
    return (punto < 0 ? cifre : cifre.left(punto)).size() > 9 ? -1 : valore.intero32();
}

// The text from inizio to the next CR LF (the whole rest when there is
// none); inizio moves past it. The text itself is never cut: a selection of
// thousands of lines would be copied once per line.
QString tagliaRiga(const QString &testo, qsizetype &inizio)
{
    const qsizetype fine = testo.indexOf(FineRiga, inizio);
    const QString riga = testo.mid(inizio, fine < 0 ? -1 : fine - inizio);
    inizio = fine < 0 ? testo.size() : fine + 2;
    return riga;
}

// A declaration's date as the selection text gives it, "yyyy/mm/dd"; 13 when
// it is not a date.
QDate dataSelezione(const QString &testo)
{
    const QStringList parti = common::TrimSpaces(testo).split(u'/');
    if (parti.size() == 3 && parti[0].size() == 4) {
        bool a = false, m = false, g = false;
        const QDate data(parti[0].toInt(&a), parti[1].toInt(&m), parti[2].toInt(&g));
        if (a && m && g && data.isValid())
            return data;
    } else if (const auto letta = dao::parseDateText(testo)) {
        return letta->date();
    }
    platform::raise(platform::err::TypeMismatch);
}

void scrivi(QIODevice &file, const QByteArray &byte)
{
    if (file.write(byte) == byte.size())
        return;
    if (const auto *suDisco = dynamic_cast<const platform::CheckedFile *>(&file))
        suDisco->raiseError();
    platform::raise(platform::err::PathFileAccess);
}

// A removal of CR, LF and TAB: such a character inside a field would end
// the flow line or the field there.
QString senzaSeparatori(QString valore)
{
    valore.remove(u'\r');
    valore.remove(u'\n');
    valore.remove(u'\t');
    return valore;
}

QString messaggioFormato(int esito)
{
    switch (esito) {
    case esitoformato::NonNumerico:
        return QStringLiteral("Valore del campo non numerico");
    case esitoformato::TroppoLungo:
        return QStringLiteral("Lunghezza errata/caratteri eccedenti");
    case esitoformato::TroppeCifreIntere:
        return QStringLiteral("Eccedenza nel numero di cifre intere.");
    case esitoformato::NonAlfabetico:
        return QStringLiteral("Contenuto del campo non alfabetico.");
    default:
        return QStringLiteral("Errore generale ID: ") + QString::number(esito);
    }
}

// One row of a record layout.
struct CampoTracciato {
    QString rifBrelk, trattamento, descrizione, picture;
    bool obbligatorio = false, numerico = false, troncabile = false;
    QStringList riferimenti;  // rifBrelk split at ";", once for the run
    // The picture as classified, once it is found valid: a picture that is
    // not is classified again at every use, and tells the user each time.
    mutable std::optional<Picture> formato;
};

// The contents the references address, each without TAB and LF and
// followed by CR LF.
QString caselleRif(const CaselleDichiarazione &caselle, const QStringList &riferimenti, int articolo)
{
    QString risultato;
    for (const QString &riferimento : riferimenti) {
        if (std::optional<QString> contenuto = caselle.contenuto(riferimento, articolo)) {
            contenuto->remove(u'\t');
            contenuto->remove(u'\n');
            risultato += *contenuto;
            risultato += FineRiga;
        }
    }
    return risultato;
}

// The state of one run of the writer.
class Scrittore {
public:
    Scrittore(dao::Database &archivio, dao::Database &programma, QIODevice &log, AvanzamentoCorbex &avanzamento,
              Destinazione destinazione, bool controllo, const QString &riferimento)
        : programma_(programma), log_(log), avanzamento_(avanzamento), modi_(archivio), controllo_(controllo),
          riferimento_(destinazione == Destinazione::Supporto ? riferimento.leftJustified(16, u' ', true)
                                                            : QStringLiteral("    "))
    {
    }

    int errori() const { return totale_; }

    // The lines of one "BOLL" declaration; false when it is refused.
    bool dichiarazione(const QDate &data, qint32 indice, const CaselleDichiarazione &caselle, QByteArray &righe,
                       QString &rif7)
    {
        data_ = data;
        indice_ = indice;
        erroriDichiarazione_ = 0;
        TotaleGenerale = Decimale();
        const QString esito = DeterminaCodiceMsg(caselle);
        const QString codice = common::TrimSpaces(esito.left(8));
        rif7 = esito.right(7);

        int numero = 0;
        for (const auto &c : caselle.foglio()) {
            if (c.campo == QLatin1String("05")) {
                numero = numeroIntero(c.contenuto);
                break;
            }
        }
        if (numero < 1 || numero > MassimoArticoli) {
            errore(QStringLiteral("Numero degli articoli fuori dall'intervallo ammesso."), QString());
        } else if (codice.isEmpty()) {
            // No message applies: there is no layout to write it with.
            erroreTracciato(codice);
        } else {
            for (int k = 1; k <= numero; ++k)
                riga(caselle, codice, rif7, k, numero, righe);
        }
        return erroriDichiarazione_ == 0;
    }

private:
    void errore(const QString &messaggio, const QString &dettaglio)
    {
        ++erroriDichiarazione_;
        if (!controllo_)
            return;
        ++totale_;
        ScriviRigaErrore(log_, QStringLiteral("BOLL"), data_, indice_, messaggio, dettaglio);
        avanzamento_.numeroErrori(totale_);
    }

    void erroreTracciato(const QString &codice)
    {
        errore(QStringLiteral("Tracciato record non definito per il messaggio '") + codice + u'\'', QString());
    }

    const std::vector<CampoTracciato> &tracciato(const QString &codice)
    {
        auto trovato = tracciati_.find(codice);
        if (trovato != tracciati_.end())
            return trovato->second;
        std::vector<CampoTracciato> campi;
        auto rs = programma_.openRecordset(
            QStringLiteral("SELECT * FROM Tracciati WHERE CodiceMsg = ? AND Progressivo > 0 ORDER BY Progressivo"),
            {codice}, dao::RecordsetType::Snapshot);
        for (; !rs->eof(); rs->moveNext()) {
            CampoTracciato c;
            c.rifBrelk = rs->value(QStringLiteral("RifBRELK")).toString();
            c.trattamento = rs->value(QStringLiteral("Trattamento")).toString();
            c.descrizione = rs->value(QStringLiteral("Descrizione")).toString();
            c.picture = rs->value(QStringLiteral("Picture")).toString();
            c.obbligatorio = rs->value(QStringLiteral("Obbligatorio")).toBool();
            c.numerico = rs->value(QStringLiteral("Numerico")).toBool();
            c.troncabile = rs->value(QStringLiteral("Troncabile")).toBool();
            if (!c.rifBrelk.isEmpty())
                c.riferimenti = c.rifBrelk.split(u';');
            campi.push_back(c);
        }
        rs->close();
        return tracciati_.emplace(codice, std::move(campi)).first->second;
    }

    void riga(const CaselleDichiarazione &caselle, const QString &codice, const QString &rif7, int k, int articoli,
              QByteArray &righe)
    {
        TotaleArticolo = Decimale();
        // Article lines after the first have a layout of their own.
        const QString codiceRiga = k >= 2 ? codice + u'1' : codice;
        const std::vector<CampoTracciato> &campi = tracciato(codiceRiga);
        if (campi.empty()) {
            erroreTracciato(codiceRiga);
            return;
        }
        QString linea = (k == 1 ? QStringLiteral("T") : QStringLiteral("?")) + codiceRiga.leftJustified(8, u' ', true)
                        + riferimento_ + u' ' + rif7.left(6) + QStringLiteral("00");
        linea.reserve(lunghezzaRiga_);
        for (const CampoTracciato &campo : campi) {
            linea += valoreCampo(caselle, campo, k, articoli);
            linea += u'\t';
        }
        linea += FineRiga;
        lunghezzaRiga_ = std::max(lunghezzaRiga_, linea.size());
        righe += platform::toWindows1252(linea);
    }

    QString valoreCampo(const CaselleDichiarazione &caselle, const CampoTracciato &campo, int k, int articoli)
    {
        QString valore;
        if (!campo.trattamento.isEmpty()) {
            valore = senzaSeparatori(
                ApplicaTrattamento(caselleRif(caselle, campo.riferimenti, k), campo.trattamento, k, articoli, modi_, oggi_));
        } else {
            // The contents with the CR LF between them and after the last
            // taken away, and every CR, LF and TAB: the contents joined.
            for (const QString &riferimento : campo.riferimenti)
                if (const std::optional<QString> contenuto = caselle.contenuto(riferimento, k))
                    valore += *contenuto;
            valore = senzaSeparatori(std::move(valore));
        }

        const auto dettaglio = [&campo, k] { return campo.descrizione + EtichettaArticolo(campo.rifBrelk, k); };
        if (controllo_ && campo.obbligatorio && std::all_of(valore.cbegin(), valore.cend(), [](QChar c) { return c == u' '; })) {
            errore(QStringLiteral("Assenza di un campo obbligatorio"), dettaglio());
            return {};
        }
        if (!campo.obbligatorio && valore.isEmpty())
            return {};
        if (!campo.formato) {
            const Picture formato = AnalizzaPicture(campo.picture);
            if (formato.tipo != tipopicture::NonValida)
                campo.formato = formato;
        }
        QString formattato;
        const int esito = campo.formato ? FormattaCampo(valore, *campo.formato, !campo.numerico, campo.troncabile,
                                                        formattato)
                                        : esitoformato::PictureNonValida;
        if (esito < 0 && controllo_) {
            errore(messaggioFormato(esito), dettaglio());
            return {};
        }
        return formattato;
    }

    dao::Database &programma_;
    QIODevice &log_;
    AvanzamentoCorbex &avanzamento_;
    ModiPagamento modi_;
    // The day the flow is composed, read once: the time of day read for
    // every field would read the system's time zone each time.
    const QDate oggi_ = platform::clock().now().date();
    const bool controllo_;
    const QString riferimento_;
    std::map<QString, std::vector<CampoTracciato>> tracciati_;
    qsizetype lunghezzaRiga_ = 0;  // the longest line so far: the next is made in room of that size
    QDate data_;
    qint32 indice_ = 0;
    int erroriDichiarazione_ = 0;
    int totale_ = 0;
};

}  // namespace

void CaselleDichiarazione::aggiungi(qint64 ordine, bool senzaArticolo, qint64 articolo, QAnyStringView modulo,
                                    QAnyStringView campo, QAnyStringView sottoCasella, QAnyStringView riga,
                                    QByteArrayView contenuto)
{
    const bool frontale = foglioFrontale(modulo);
    const Testo testo{ordine, testi_.size(), contenuto.size()};
    testi_.append(contenuto);
    Chiave chiave{0, frontale || senzaArticolo ? SenzaArticolo : articolo};
    const bool impacchettata = chiavePacchetto(modulo, campo, sottoCasella, riga, chiave.casella);
    if (impacchettata)
        righe_.emplace_back(chiave, testo);
    else
        altre_.emplace_back(chiaveCasella(modulo.toString(), maiuscolo(campo.toString()), sottoCasella.toString(),
                                          riga.toString(), frontale || senzaArticolo ? QVariant() : QVariant(articolo)),
                            testo);
    if (!frontale)
        return;
    // Only the boxes the writer and the search read of the front sheet; a
    // box of the packed key is its bits 32 to 47.
    static const auto lette = [] {
        std::vector<std::pair<QString, quint64>> campi;
        for (const QString &c : CampiCodiceMsg() + QStringList{QStringLiteral("05")}) {
            quint64 bit = 0;
            impacchetta(c, 2, bit);
            campi.emplace_back(c, bit);
        }
        return campi;
    }();
    for (const auto &[letta, bit] : lette) {
        if (impacchettata ? (chiave.casella >> 32 & 0xFFFF) == bit
                          : QAnyStringView::compare(campo, letta, Qt::CaseInsensitive) == 0) {
            foglio_.emplace_back(ordine, Casella{letta, maiuscolo(sottoCasella.toString()), this->testo(testo)});
            return;
        }
    }
}

QString CaselleDichiarazione::testo(const Testo &t) const
{
    return QString::fromUtf8(testi_.constData() + t.inizio, t.lunghezza);
}

void CaselleDichiarazione::aggiungi(sqlite3_stmt *riga, int colonna)
{
    const auto parte = [riga, colonna](int n) {
        const auto *testo = reinterpret_cast<const char *>(sqlite3_column_text(riga, colonna + n));
        return QUtf8StringView(testo, testo ? sqlite3_column_bytes(riga, colonna + n) : 0);
    };
    const bool senzaArticolo = sqlite3_column_type(riga, colonna + 1) == SQLITE_NULL;
    // A declaration without boxes comes back from the join as one empty row.
    if (senzaArticolo && sqlite3_column_type(riga, colonna + 2) == SQLITE_NULL
        && sqlite3_column_type(riga, colonna + 3) == SQLITE_NULL)
        return;
    const QUtf8StringView contenuto = parte(6);
    aggiungi(sqlite3_column_int64(riga, colonna), senzaArticolo, sqlite3_column_int64(riga, colonna + 1), parte(2),
             parte(3), parte(4), parte(5), QByteArrayView(contenuto.data(), contenuto.size()));
}

void CaselleDichiarazione::completa()
{
    // The first row of a box in the archive is the one that counts.
    const auto perChiave = [](const auto &x, const auto &y) {
        return std::tie(x.first, x.second.ordine) < std::tie(y.first, y.second.ordine);
    };
    std::sort(righe_.begin(), righe_.end(), perChiave);
    std::sort(altre_.begin(), altre_.end(), perChiave);
    std::sort(foglio_.begin(), foglio_.end(), [](const auto &x, const auto &y) {
        return std::tie(x.second.campo, x.first) < std::tie(y.second.campo, y.first);
    });
    foglioOrdinato_.clear();
    for (auto &[ordine, casella] : foglio_)
        foglioOrdinato_.push_back(std::move(casella));
    foglio_.clear();
}

CaselleDichiarazione CaselleDichiarazione::leggi(dao::Database &archivio, const QDate &data, qint32 indice)
{
    auto rs = archivio.openRecordset(
        QStringLiteral("SELECT Articolo, Modulo, Campo, SottoCasella, Riga, Contenuto FROM DettaglioBol "
                       "WHERE Indice = ? AND Data = ? ORDER BY _rowid_"),
        {indice, data}, dao::RecordsetType::Snapshot);
    CaselleDichiarazione caselle = daRighe(*rs, 0, -1);
    rs->close();
    return caselle;
}

CaselleDichiarazione CaselleDichiarazione::daRighe(dao::Recordset &rs, int colonna, int righe)
{
    CaselleDichiarazione caselle;
    for (qint64 ordine = 0; !rs.eof() && righe != 0; rs.moveNext(), --righe, ++ordine) {
        const QVariant articolo = rs.value(colonna);
        const QVariant modulo = rs.value(colonna + 1);
        const QVariant campo = rs.value(colonna + 2);
        // A declaration without boxes comes back from the join as one empty row.
        if (modulo.isNull() && articolo.isNull() && campo.isNull())
            continue;
        caselle.aggiungi(ordine, articolo.isNull(), articolo.toLongLong(), modulo.toString(), campo.toString(),
                         rs.value(colonna + 3).toString(), rs.value(colonna + 4).toString(),
                         rs.value(colonna + 5).toString().toUtf8());
    }
    caselle.completa();
    return caselle;
}

std::optional<QString> CaselleDichiarazione::contenuto(const QString &riferimento, int articolo) const
{
    const QStringView r(riferimento);
    const QStringView modulo = r.left(1), campo = r.mid(1, 2), sottoCasella = r.mid(3, 1), riga = r.right(1);
    const bool frontale = foglioFrontale(modulo);
    Chiave chiave{0, frontale ? SenzaArticolo : articolo};
    if (chiavePacchetto(modulo, campo, sottoCasella, riga, chiave.casella)) {
        const auto trovata = std::lower_bound(righe_.begin(), righe_.end(), chiave,
                                              [](const auto &x, const Chiave &c) { return x.first < c; });
        if (trovata == righe_.end() || trovata->first != chiave)
            return std::nullopt;
        return testo(trovata->second);
    }
    const QString testuale = chiaveCasella(modulo.toString(), campo.toString(), sottoCasella.toString(),
                                           riga.toString(), frontale ? QVariant() : QVariant(articolo));
    const auto trovata = std::lower_bound(altre_.begin(), altre_.end(), testuale,
                                          [](const auto &x, const QString &c) { return x.first < c; });
    if (trovata == altre_.end() || trovata->first != testuale)
        return std::nullopt;
    return testo(trovata->second);
}

QString DeterminaCodiceMsg(dao::Database &archivio, const QDate &data, qint32 indice)
{
    return DeterminaCodiceMsg(CaselleDichiarazione::leggi(archivio, data, indice));
}

const QStringList &CampiCodiceMsg()
{
    static const QStringList campi = {QStringLiteral("01"), QStringLiteral("07"), QStringLiteral("49")};
    return campi;
}

QString DeterminaCodiceMsg(const CaselleDichiarazione &caselle)
{
    // No box the code is made of: no code.
    if (caselle.foglio().empty())
        return {};
    QString tipo, procedura, riferimento, deposito;
    // These boxes are compared and sent in upper case: every letter the code
    // page has an upper case for, not only a to z.
    for (const auto &c : caselle.foglio()) {
        if (c.campo == QLatin1String("01") && c.sottoCasella == QLatin1String("1"))
            tipo = platform::upperWindows1252(common::TrimSpaces(c.contenuto));
        else if (c.campo == QLatin1String("01") && c.sottoCasella == QLatin1String("2"))
            procedura = platform::upperWindows1252(common::TrimSpaces(c.contenuto));
        else if (c.campo == QLatin1String("07"))
            riferimento = platform::upperWindows1252(senzaSeparatori(c.contenuto).right(7));
        else if (c.campo == QLatin1String("49"))
            deposito = platform::upperWindows1252(common::TrimSpaces(c.contenuto));
    }
    QString codice;
    if (tipo == QLatin1String("EU") || tipo == QLatin1String("IM"))
        codice = procedura == QLatin1String("0") ? QStringLiteral("C7") : QStringLiteral("C1");
    else if (tipo == QLatin1String("EX") && deposito.startsWith(u'D'))
        codice = QStringLiteral("C2");
    else if (tipo == QLatin1String("EX") && deposito.startsWith(u'S'))
        codice = QStringLiteral("C9");
    if (codice.isEmpty())
        return {};
    return codice.leftJustified(8, u' ') + riferimento.rightJustified(7, u' ');
}

QString LeggiCaselleRif(dao::Database &archivio, const QDate &data, qint32 indice, const QString &riferimenti,
                        int articolo)
{
    return LeggiCaselleRif(CaselleDichiarazione::leggi(archivio, data, indice), riferimenti, articolo);
}

QString LeggiCaselleRif(const CaselleDichiarazione &caselle, const QString &riferimenti, int articolo)
{
    return riferimenti.isEmpty() ? QString() : caselleRif(caselle, riferimenti.split(u';'), articolo);
}

void ScriviRigaErrore(QIODevice &file, const QString &tipoDocumento, const QDate &data, qint32 indice,
                      const QString &messaggio, const QString &dettaglio)
{
    const QString documento = tipoDocumento == QLatin1String("BOLL") ? QStringLiteral("Quandera Doganale") : QString();
    QString riga = documento + QStringLiteral(" N° ") + QString::number(indice) + QStringLiteral(" - ")
                   + platform::DayText(data) + QStringLiteral(": ") + messaggio;
    if (!dettaglio.isEmpty())
        riga += QStringLiteral(" -> ") + dettaglio;
    scrivi(file, platform::toWindows1252(riga + FineRiga));
}

QString EtichettaArticolo(const QString &riferimento, int articolo)
{
    if (riferimento.startsWith(u'F'))
        return {};
    return QStringLiteral("/articolo N° ") + QString::number(articolo);
}

QString NomeFilePratiche()
{
    for (int n = 1; n <= 999; ++n) {
        const QString nome = common::OpzioniCorbix.FloppyDevice + QStringLiteral("\\PRATICHE.")
                             + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0'));
        // A name held by anything, a folder or a link included, is taken: a
        // file can be written under none of them. So is a name another run
        // is still writing under its temporary, though not a link there,
        // which no run makes and the writing removes.
        const QString host = platform::hostPath(nome);
        const QFileInfo info(host), temporaneo(common::nomeTemporaneo(host));
        if (!info.exists() && !info.isSymLink() && (!temporaneo.exists() || temporaneo.isSymLink()))
            return nome;
    }
    return {};
}

namespace {

// The date and index of a selection line "yyyy/mm/dd-nnnnnnnnn"; a type
// mismatch when the date cannot be read.
std::pair<QDate, qint32> dichiarazioneDiRiga(const QString &riga)
{
    const qsizetype trattino = riga.indexOf(u'-');
    const QDate data = dataSelezione(trattino < 0 ? riga : riga.left(trattino));
    return {data, IndiceDaTesto(trattino < 0 ? QString() : riga.mid(trattino + 1))};
}

// The boxes of each declaration of the selection and the CodiceDoc of its
// index row, read by its key with one statement prepared for the run, each
// row taken straight from the statement: the rows of a whole archive go
// through here.
class CaselleDellaSelezione {
public:
    explicit CaselleDellaSelezione(dao::Database &archivio)
        : istruzione_(archivio.connection(),
                      QStringLiteral("SELECT i.CodiceDoc, d._rowid_, d.Articolo, d.Modulo, d.Campo, d.SottoCasella, "
                                     "d.Riga, d.Contenuto FROM IndiceDoc AS i LEFT JOIN DettaglioBol AS d ON "
                                     "d.Indice = i.Indice AND d.Data = i.Data WHERE i.Indice = ? AND i.Data = ?"),
                      dao::Operation::Read)
    {
    }

    // indicizzata is false when the declaration has no index row.
    CaselleDichiarazione leggi(const QDate &data, qint32 indice, bool &indicizzata, QString &codiceDoc)
    {
        CaselleDichiarazione caselle;
        indicizzata = false;
        codiceDoc.clear();
        istruzione_.bind({indice, data});
        while (istruzione_.step()) {
            if (!indicizzata) {
                indicizzata = true;
                codiceDoc = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(istruzione_.get(), 0)),
                                              sqlite3_column_bytes(istruzione_.get(), 0));
            }
            caselle.aggiungi(istruzione_.get(), 1);
        }
        caselle.completa();
        return caselle;
    }

private:
    dao::Connection::Statement istruzione_;
};

}  // namespace

QStringList CorbexCreato::file() const
{
    QStringList costruiti{fileCorbex, fileErrori};
    if (!fileLavoro.isEmpty())
        costruiti << fileLavoro;
    return costruiti;
}

CorbexCreato CreaCorbex(const QString &testoSelezione, Destinazione destinazione, bool preventCheck,
                        AvanzamentoCorbex *avanzamento, GiornaleLavoro *giornale)
{
    AvanzamentoCorbex nessuno;
    AvanzamentoCorbex &schermo = avanzamento ? *avanzamento : nessuno;
    CorbexCreato creato;

    qsizetype resto = 0;
    const QString tipo = tagliaRiga(testoSelezione, resto);
    QString riferimento;
    int numero = 0;
    if (tipo == QLatin1String("T")) {
        riferimento = tagliaRiga(testoSelezione, resto);
        numero = qMax(0, numeroIntero(tagliaRiga(testoSelezione, resto)));
    }
    schermo.preparazione(preventCheck, numero);

    const QString cartella = common::OpzioniCorbix.Centrale + QStringLiteral("TEMP");
    // Each file is made under a name of its own and noted at once with its
    // identity: a run stopped dead leaves none that the next start-up does
    // not know of, and the start-up knows it from a file another run makes
    // under the same name later. Each stays open on the descriptor that
    // made it: reopened by its name, it could be a link another planted
    // there meanwhile.
    const auto nuovo = [&](platform::CheckedFile &file) {
        // Noted before the file takes its name; a journal that cannot note
        // it (a full disk) leaves no file behind.
        const auto annota = [&](const QString &nome, const struct stat &identita) {
            giornale->annotaLavoro(nome, identita);
        };
        const QString nome = common::NewUniqueFileName(
            cartella, QString(), QString(), file,
            giornale ? std::function<void(const QString &, const struct stat &)>(annota)
                     : std::function<void(const QString &, const struct stat &)>());
        schermo.fileCreato(nome);
        return nome;
    };
    // The flow goes to the disk a declaration at a time, so a disk that
    // fills is met at the write that finds it full.
    platform::CheckedFile flusso, lavoro, log;
    const QString fileCorbex = nuovo(flusso);
    // The work file keeps its name and its file for the whole run: given
    // back mid-run, the name could become another run's file, which a later
    // refusal would then overwrite.
    const QString nomeLavoro = nuovo(lavoro);
    const QString fileErrori = nuovo(log);
    bool lavoroPresente = false;  // whether the work file holds a refused declaration

    dao::Database archivio = common::ApriArchivio();
    dao::Database programma = common::ApriDatabaseProgramma();
    Scrittore scrittore(archivio, programma, log, schermo, destinazione, preventCheck, riferimento);
    // Its statement goes back before the archive closes.
    std::optional<CaselleDellaSelezione> caselleSelezione(std::in_place, archivio);

    if (tipo == QLatin1String("T")) {
        int elaborate = 0;
        while (resto < testoSelezione.size() && !schermo.annullata()) {
            const QString riga = tagliaRiga(testoSelezione, resto);
            if (riga.isEmpty())
                continue;
            const auto [data, indice] = dichiarazioneDiRiga(riga);
            schermo.dichiarazioneInCorso(indice, data);

            bool indicizzata = false;
            QString codiceDoc;
            const CaselleDichiarazione caselle = caselleSelezione->leggi(data, indice, indicizzata, codiceDoc);
            bool accettata = false;
            QString rif7;
            if (indicizzata && codiceDoc == QLatin1String("BOLL")) {
                QByteArray righe;
                accettata = scrittore.dichiarazione(data, indice, caselle, righe, rif7);
                if (accettata) {
                    scrivi(flusso, righe);
                    if (lavoroPresente)
                        lavoro.empty();
                    lavoroPresente = false;
                } else {
                    // The refused declaration's lines stay in the work file
                    // until the next declaration is written.
                    lavoro.empty();
                    lavoro.writeAll(righe);
                    lavoroPresente = true;
                }
            }
            schermo.avanzamento(++elaborate);
            if (accettata)
                creato.ElencoComposizione += QString::number(indice) + u'-' + platform::DayText(data) + u'-'
                                             + common::TrimSpaces(rif7) + FineRiga;
        }
    }
    caselleSelezione.reset();
    programma.close();
    archivio.close();
    // The flow and its log are read next (the envelope, the error list, the
    // filing): whole on the disk first.
    flusso.finish();
    log.finish();
    if (lavoroPresente) {
        // Flushed once, now that it stays: a refused declaration at a time
        // would wait for the disk at each.
        lavoro.finish();
        creato.fileLavoro = nomeLavoro;
    } else {
        // The name is free again once the file goes, perhaps another run's
        // by now.
        lavoro.close();
        RimuoviFileCostruiti({nomeLavoro}, giornale);
        if (QFileInfo::exists(lavoro.fileName()))
            platform::raise(platform::err::PathFileAccess);
    }
    creato.errori = scrittore.errori();
    creato.fileCorbex = fileCorbex;
    creato.fileErrori = fileErrori;
    return creato;
}

}  // namespace flowengine
