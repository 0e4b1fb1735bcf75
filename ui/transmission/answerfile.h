#pragma once

#include "flowengine/flowlines.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The answer file the customs EDI service returns for a flow sent by the
// telematic channel, as the program reads it: fixed-column text in the ANSI
// code page, a header line saying what kind of answer it is, then the lines
// of that kind. Columns are counted from 1; a field wholly or partly beyond
// the end of its line reads as the characters that are there. Everything here
// works on texts and never touches a file.
namespace uitransmission {

// ---------------------------------------------------------------- fields

// Columns da to a (1-based, both included) of a line.
QString Colonne(const QString &riga, int da, int a);

// The numeric value of columns da to a: blanks are passed over wherever they
// stand, reading stops at the first character that cannot go on with a
// number, and a field without digits is 0. Raises 6 (overflow) when the value
// does not fit.
qint16 Numero16(const QString &riga, int da, int a);
qint32 Numero32(const QString &riga, int da, int a);
// The same value written as plain digits ("000123" gives "123").
QString NumeroTesto(const QString &riga, int da, int a);

// A date of eight characters, day, month and year with separators
// ("15/01/26", "15.01.2026"); a year of two digits is 1930 to 2029. Nothing
// when the text is not such a date.
std::optional<QDate> DataD8(const QString &testo);
// A date of six digits "ddmmyy", laid out as dd/mm/yy and read as DataD8.
std::optional<QDate> DataD6(const QString &testo);

// ---------------------------------------------------------------- header

// The answer types the header names in its column 26.
constexpr QChar TipoEsiti = u'W';             // one outcome record per declaration
constexpr QChar TipoIntrastat = u'H';         // answer to Intrastat declarations
constexpr QChar TipoManifesto = u'P';         // answer to a manifest of goods arriving
constexpr QChar TipoControlloA = u'A';        // formal check, field errors by line
constexpr QChar TipoControlloB = u'B';        // formal check
constexpr QChar TipoControlloG = u'G';        // formal check
constexpr QChar TipoNonPrevisto = u'F';       // known only by where its date stands

// The type letter (column 26); a null character when the header is shorter.
QChar TipoRisposta(const QString &intestazione);
// The declarant code (columns 51-66, trimmed).
QString DichiaranteRisposta(const QString &intestazione);
// The number of lines of the file, header included (columns 71-75).
qint32 RigheRisposta(const QString &intestazione);

// Whether a type is a formal-check answer (A, B, G).
bool ControlloFormale(QChar tipo);
// Whether the second line of a formal-check answer says that the whole flow
// passed the check: its column 1 is "0".
bool ControlloSuperato(const QString &seconda);

// ---------------------------------------------------------------- the file

// An answer file as lines of text, without their ends.
struct RispostaEdi {
    QStringList righe;

    // The lines of bytes in the ANSI code page, ended by CR LF, CR or LF.
    static RispostaEdi daBytes(const QByteArray &bytes);
    // Only the lines an answer's checks read, its header, its second line and
    // its last, from bytes whose every line is ended by CR LF: righe then
    // holds these alone, and a file of any size is never held as text.
    static RispostaEdi estremi(const QByteArray &bytes);

    // Line n, counted from 1; empty beyond the file.
    QString riga(int n) const;
    QString intestazione() const { return riga(1); }
    // The last line (line 2 of a file of two lines, the header of a file of one).
    QString ultima() const;

    QChar tipo() const { return TipoRisposta(intestazione()); }
    // The answer's date by its type: W and H on line 2, columns 12-19; P on
    // the last line, columns 12-19; A, B and F on the last line, columns
    // 7-14. Nothing for any other type (G included: its files carry no date
    // the program knows of) or a field that is not a date.
    std::optional<QDate> data() const;
};

// ---------------------------------------------------------------- whole

// What an answer file is, read before anything is done with it or because
// of it.
enum class FormaRisposta {
    Intera,       // an answer with every line and every field its reading needs
    NonRisposta,  // no answer: its header names no type of answer, or counts no lines
    Incompleta,   // an answer cut short: lines missing, or a record cut before a field it needs
};

struct EsameRisposta {
    FormaRisposta forma = FormaRisposta::Intera;
    // What is wrong with it, as the user is told ("la riga 5 è troncata").
    QString difetto;
};

// Examines the bytes of an answer file, lines ended by CR LF, CR or LF as
// RispostaEdi::daBytes splits them, without holding them as text. The header
// must name a type (A, B, F, G, H, P, W in column 26) and count the lines
// (columns 71-75: digits, blanks allowed); the file must hold at least the
// lines counted: arrivate, when given, is the number of lines of the file as
// it came, of which the bytes are the rewritten form (its empty lines ended
// by CR dropped). In the body of a type W answer (lines 4 to the count) every
// outcome record ("R" in column 1) must reach its outcome (column 28); a
// positive one of a first article its validation (column 45) and, when column
// 50 is not blank, its customs account and due dates (column 68); a negative
// one must be followed by its error line, which must reach its box reference
// (column 5). A field wholly beyond the end of a line that need not reach it
// reads blank, as the processing reads it.
EsameRisposta EsaminaRisposta(const QByteArray &bytes, std::optional<qint64> arrivate = std::nullopt);

// ---------------------------------------------------------------- type W

// Whether a body line of a type W answer is an outcome record ("R" in column 1).
bool RecordEsito(const QString &riga);

// One outcome record of a type W answer.
struct EsitoRecord {
    QString codiceMsg;    // columns 2-9, trimmed: the record layout of the declaration
    QString anomalia;     // columns 4-7, trimmed: "ENI" for anomalous characters in the flow
    QString riferimento;  // columns 14-19, as they stand
    QString esito;        // column 28: "P" positive, anything else negative

    // The validation data, read only from a positive record of a first
    // article (codes C1, C2, C7, C9).
    QString registro;                     // columns 29-30, trimmed
    QString serie;                        // columns 31-32, trimmed
    QString numero;                       // columns 33-38, its numeric value as digits
    QString lettera;                      // column 39
    std::optional<QDate> dataConvalida;   // columns 40-45 (ddmmyy)
    // The customs account: column 50 blank (or missing) means none, and the
    // account fields below stay empty.
    bool conConto = false;
    QString contoCodice;                       // columns 46-49, its numeric value as digits
    QString contoLettera;                      // column 50
    qint32 numeroA93 = 0;                      // columns 51-56
    std::optional<QDate> scadenzaFiscale;      // columns 57-62 (ddmmyy)
    std::optional<QDate> scadenzaNonFiscale;   // columns 63-68 (ddmmyy)

    bool positivo() const { return esito == u"P"; }
    // Whether the record carries validation data: positive, of a first article.
    bool convalida() const;
};
EsitoRecord LeggiEsitoRecord(const QString &riga);

// Whether a message code is that of the first article of a declaration.
bool PrimoArticolo(const QString &codiceMsg);

// The line after a negative outcome record: the error customs found.
struct RigaErrore {
    qint16 articolo = 0;   // columns 2-3
    QString rifCasella;    // columns 4-7, trimmed: mask references 4-5 and 6-7, or "ENI"
    qint16 ripetizione = 0;  // columns 9-10
    QString indicatore;    // column 11
    QString testo;         // columns 16-70, trimmed
};
RigaErrore LeggiRigaErrore(const QString &riga);

// Whether a line that follows an error line continues its text: columns 1-15
// all blanks. Its text is then from column 16 onward.
bool RigaContinuazione(const QString &riga);
QString TestoContinuazione(const QString &riga);

// ---------------------------------------------------------------- type A

// One check line of a type A answer.
struct RigaControllo {
    qint32 lineaFlusso = 0;  // columns 1-5: the line L of the flow sent (L - 1 is meant, 1 the last)
    // The field numbers of the list of errors (columns 6 onward, items
    // separated by "-", each a field number, a blank and text); nothing for
    // an item that does not begin with a field number. Empty items are not
    // items.
    std::vector<std::optional<qint16>> campi;
};
RigaControllo LeggiRigaControllo(const QString &riga);

// ---------------------------------------------------------------- matching

// The flow's declarations indexed by their references' first 6 characters,
// for every record of an answer at once: trova gives the position in the
// list of the first declaration whose reference, cut to its first 6
// characters, equals the record's reference exactly; -1 when none does.
class IndiceDichiarazioni {
public:
    explicit IndiceDichiarazioni(const std::vector<flowengine::DocumentoCorbex> &dichiarazioni);
    int trova(const QString &riferimento) const { return posizioni_.value(riferimento, -1); }

private:
    QHash<QString, int> posizioni_;
};

}  // namespace uitransmission
