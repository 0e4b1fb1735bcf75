#pragma once

#include "flowengine/flowlines.h"

#include <QDate>
#include <QString>
#include <functional>

// The processing of a stored answer: its outcomes written back into the
// flow's declarations through the flow engine, and the flow moved to state 5
// with its counts.
namespace uitransmission {

struct Conteggi {
    int positivi = 0;      // OK
    int negativi = 0;      // KO
    int incongruenze = 0;  // ND: records that match no declaration or no line of the flow
};

// What the processing window follows during a run.
struct SeguitoElaborazione {
    std::function<void(const flowengine::DocumentoCorbex &)> documento;  // the declaration being processed
    std::function<void(const Conteggi &)> conteggi;                      // after every count
    std::function<void(int massimo)> righe;                              // the body lines to read
    std::function<void(int posizione)> riga;                             // the lines read so far
};

// The caption of the processing window, which titles the refusal of a
// stored copy too large to be an answer.
inline const QString TitoloElaborazione = QStringLiteral("Elaborazione risposta");

// A count as the register's byte columns store it: 255 for any count above.
// The processing window shows the true count.
int ConteggioRegistrato(int conteggio);

enum class EsitoElaborazione {
    Elaborata,     // processed: the register holds state 5 and the counts
    Rifiutata,     // an answer of a type the program does not process (H, P), or a stored copy that is not
                   // the flow's answer: the user was told, nothing changed
    NonElaborata,  // no answer row, or a type that is not processed (B, G, ...): nothing done
    Fallita,       // a failure, told to the user: the declarations and the register are as they were
};

// Processes the answer of the flow of that day and number. The stored copy is
// checked first as the fetch checks an answer (its size, date, progressive
// number from its name, declarant and type, and every line and field its
// reading needs), and its header's type must be the one its name ends with. The write-back of
// every declaration and the flow's new state and counts are made in one
// transaction of the archive, while the flow's row is held against other
// programs: all of them or, after a failure, none. Counts above 255 (the
// register's columns hold a byte) are stored as 255.
EsitoElaborazione ElaboraRisposta(const QDate &data, qint32 progressivo, const SeguitoElaborazione &seguito = {});

}  // namespace uitransmission
