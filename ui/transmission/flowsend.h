#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

// Handing a flow file to the EDI service: the user's share on the service
// machine, mapped as drive Z: only while the file is copied.
namespace uitransmission {

// What the send of a flow starts from: the EDI account of the declarant
// who made it, and the offices of presentation to choose from.
struct DatiInvio {
    QString codiceUtenza;
    QString ufficio;          // the declarant's office, empty when none
    bool autoPasswd = false;  // whether the password is kept
    QString password;         // the kept password, empty unless autoPasswd
    QStringList uffici;       // every office code, by code
};

// Reads the account of the declarant (a code of Spedoga) and the office
// list. Nothing when the declarant is not in the archive, or has no EDI user
// code (the user is told). Database errors reach the caller.
std::optional<DatiInvio> LeggiDatiInvio(const QString &dichiarante);

// Whether the password equals the stored EDI password (PasswdUtenza) of
// the first declarant with that EDI user code; exact, with its capitals.
bool VerificaPassword(const QString &codiceUtenza, const QString &password);
// Stores the flag that keeps the password (AutoPasswd) on the first
// declarant with that EDI user code.
void MemorizzaAutoPasswd(const QString &codiceUtenza, bool memorizza);
// Whether the user's share on the service machine answers: maps it, looks
// at drive Z:, and unmaps it. A user code that cannot name a share ("."
// or "..", or holding a separator) is no machine off line: it raises 52.
bool VerificaServizioInLinea(const QString &codiceUtenza);
// Waits that many seconds on the program's clock, with the busy cursor; the
// windows keep painting and the user's input is thrown away meanwhile.
void Attendi(int secondi);

// The name of the flow on the share: the date as yymmdd, the progressive
// number as given, "-" and the office code.
QString NomeFileServizio(const QDate &data, const QString &progressivo, const QString &ufficio);

// Copies the file (a Windows path) onto the user's share as
// "Z:\corbix\" + name: the share mapped as Z:, the copy written whole under a
// temporary name and renamed, the mapping removed whatever happens, with the
// fixed waits after mapping and unmapping. A failure is told to the user
// and gives false; no part of a file is left on the share.
bool SpedisciFile(const QString &codiceUtenza, const QString &file, const QString &nomeServizio);

}  // namespace uitransmission
