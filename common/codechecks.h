#pragma once

#include <QString>
#include <QtGlobal>

namespace common {

// Checks of identification codes typed by the user. The options word holds
// six flags (0 stands for all of them and is written back as 63):
//   1 run the check, 2 show a finding in frmMirsoMsg, 4 add the explanation,
//   8 prepare the corrected code, 16 offer it ("Correggi") rather than apply
//   it at once, 32 show "Accetta".
// Results: -1 valid (or corrected), 0 invalid, 1 invalid with the correction
// declined, 2 accepted as typed. A correction replaces the caller's code.
qint16 CheckFiscalCode(QString &code, qint16 &options);
qint16 CheckCINCode(QString &code, qint16 &options);
// An empty country is taken, and written back, as "IT".
qint16 CheckVATNumber(QString &code, qint16 &options, QString &country);

// The control letter of a code of digits; empty when the code is not a
// whole number of zero or more.
QString CalcolaCIN(const QString &code);

}  // namespace common
