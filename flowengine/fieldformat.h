#pragma once

#include <QString>

// The picture of a record-layout field says what its value must look like in
// the flow file:
//   numeric       optional "S", a digit part, optionally "V" and a second digit part
//                 (9(5), S9(7)V9(2))
//   alphabetic    "A", optionally followed by a count (A(20))
//   alphanumeric  "X", optionally followed by a count (X(35))
// A digit part is "9", optionally followed by a count; a count is "(n)" with n a
// whole number above 0. A part without a count stands for a width of 1.

namespace flowengine {

// Kinds returned by TipoPicture.
namespace tipopicture {
constexpr int NonValida = 0;
constexpr int Numerica = 1;
constexpr int Alfabetica = 2;
constexpr int Alfanumerica = 3;
}  // namespace tipopicture

// Result codes of FormattaCampo; the flow writer turns the negative ones into
// lines of its error log.
namespace esitoformato {
constexpr int Ok = 0;
constexpr int PictureNonValida = -1;
constexpr int NegativoSenzaSegno = -2;
constexpr int NonAlfabetico = -3;
constexpr int TroppeCifreIntere = -4;
constexpr int TroppoLungo = -6;
constexpr int NonNumerico = -7;
}  // namespace esitoformato

// A picture as classified: its kind and the widths its parts stand for.
struct Picture {
    int tipo = tipopicture::NonValida;
    bool conSegno = false;      // numeric with "S": a negative value is allowed
    int lunghezza = 0;          // numeric: integer digits; alphabetic, alphanumeric: characters
    bool conDecimali = false;   // numeric with "V"
    int cifreDecimali = 0;      // numeric with "V": digits after the point
};

// Results of the part checks below.
namespace esitoparte {
constexpr int Assente = 0;   // not this kind of part: the next kind may be tried
constexpr int Errata = -1;   // this kind of part, but malformed: the picture is not valid
}  // namespace esitoparte

// Shows the box for a count without its closing bracket.
void MostraErrorePicture();

// A count "(n)": n when valid; Assente when the part does not start with "(";
// Errata otherwise (after the box when the closing bracket is missing).
int VerificaContenitore(const QString &parte);

// A digit part "9" or "9(n)": its width when valid; Assente when it does not
// start with "9"; Errata when its count is not valid.
int VerificaPictureCifre(const QString &parte);

// Each returns the kind it checks (filling `picture`), Assente when the picture
// is not of that kind and the next kind may be tried, or Errata when it is not
// valid. VerificaPictureAlfanumerica, tried last, gives Assente for anything
// that is not "X".
int VerificaPictureNumerica(const QString &testo, Picture &picture);
int VerificaPictureAlfabetica(const QString &testo, Picture &picture);
int VerificaPictureAlfanumerica(const QString &testo, Picture &picture);

// Classifies a picture, trying numeric, alphabetic and alphanumeric in this order.
Picture AnalizzaPicture(const QString &testo);

// The kind of a picture (tipopicture), NonValida when it is not a valid picture.
int TipoPicture(const QString &testo);

// Checks `valore` against `picture` and, on success, sets `uscita` to the text to
// write into the flow. Returns an esitoformato code; on failure `uscita` is left
// as it was (the caller empties it before the call). For an alphabetic picture
// `valore` is upper-cased in place. `nonNumerico` is the negation of the field's
// Numerico flag: with it set and no "V" in the picture, a numeric value keeps its
// leading zeros.
int FormattaCampo(QString &valore, const QString &picture, bool nonNumerico, bool troncabile,
                  QString &uscita);
// The same with the picture already classified.
int FormattaCampo(QString &valore, const Picture &formato, bool nonNumerico, bool troncabile, QString &uscita);

}  // namespace flowengine
