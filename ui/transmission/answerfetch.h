#pragma once

#include "flowengine/register.h"

#include <QByteArray>
#include <QChar>
#include <QDate>
#include <QString>

// The fetch of an answer file into the collection point: its line ends made
// CR LF, its checks against the flow, its stored copy and its register rows.
namespace uitransmission {

struct RispostaEdi;

// The caption of the fetch window, which titles the fetch's own refusals.
inline const QString TitoloPrelievo = QStringLiteral("Prelievo risposte EDI");

// The largest file taken for an answer: 64 MiB, far beyond any answer the
// service sends, and small enough to be read whole.
constexpr qint64 MassimaRisposta = qint64(64) * 1024 * 1024;

// Whether the file at the host path is no larger than an answer can be;
// otherwise the user is told, naming it as percorso, under the title.
bool DimensioneRisposta(const QString &host, const QString &percorso, const QString &titolo);

// The checks of an answer's content against its flow, in their order: its
// date, its progressive number (read from its name), its declarant, and a
// type the service sends (when tipoAtteso is given, that type). The first
// that fails is told to the user with its own message, and false comes back.
bool RispostaDelFlusso(const RispostaEdi &risposta, qint32 progressivo, const flowengine::DatiCorbex &flow,
                       QChar tipoAtteso = QChar());

// The bytes of an answer with every line ended by CR LF. A piece of the file
// ends at CR, at CR LF or at the end; within a piece an LF ends a line, which
// is kept even when empty, and at the end of a piece a line that is not
// empty is kept. So an empty line ended by LF stays, one ended by CR or CR LF
// goes, and text after the last line end becomes a last line.
QByteArray NormalizzaFineRighe(const QByteArray &bytes);

// The stored copy of an answer: Centrale, "Risposte Pervenute\", the flow's
// date as yyyymmdd, "-", its number, "-" and the answer type; no extension.
QString NomeCopiaRisposta(const QString &centrale, const QDate &data, qint32 progressivo, QChar tipo);

// Fetches the answer file at percorso (a Windows path or a host path) for
// the flow. Refused untouched, before anything is written: the archive and
// the program database (never opened), a file larger than MassimaRisposta,
// a file that is no answer and an answer cut short (EsaminaRisposta). An
// answer then has its line ends rewritten in place, is checked against the
// flow (date, number, declarant, type), and moves the flow to its next
// state, storing a copy and its answer row where the answer is kept. Every
// refusal and failure is told to the user and changes nothing more than an
// answer's line ends; the register rows and the stored copy are all made or,
// after a failure, none. The flow is the one the list showed: the register
// is written only while the flow's row still holds it, and otherwise the
// user is told that the list is refilled and nothing is written. True when
// the window's work is done (answer stored, formal check passed, or the flow
// no longer as the list showed it), false when it stays open.
bool PrelevaRisposta(const QString &percorso, const flowengine::DatiCorbex &flow);

}  // namespace uitransmission
