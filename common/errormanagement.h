#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>
#include <initializer_list>

namespace common {

// What a procedure does after one of its statements failed.
enum RispostaErrore : qint16 { Riprova = 0, Prosegui = 1, Abbandona = 2 };

// How long the lock errors of one procedure are retried silently; a COMMIT
// made in one of its steps waits as long for other programs' readers.
inline constexpr int AttesaSilenziosaMs = 15000;

// Lock errors of one procedure are retried silently for 15 seconds (0); any
// other error, and a lock that outlasts the wait, goes before the user in the
// error dialog (errordialog.h): Abort 2, Retry 0, Ignore 1. attesaMs is how
// long the data layer had already waited for the lock: the cycle began then.
qint16 GestioneErrori(qint16 numero, const QString &descrizione, const QString &funzione, qint64 attesaMs = 0);

// Runs a procedure's steps in order. A step that raises a run-time error goes
// to GestioneErrori under the procedure's name: 0 runs the step again, 1 goes
// on with the next step, 2 leaves. True when the last step was passed, false
// when the procedure was left.
bool runSteps(const QString &funzione, std::initializer_list<std::function<void()>> steps);

// Runs a step that nothing of the procedure may go on without (the start of
// its transaction) as runSteps runs one, except that going on with the next
// step leaves the procedure, as leaving does. True when the step was passed.
bool runRequiredStep(const QString &funzione, const std::function<void()> &step);

// The top-left corner that centres a window on the screen, in twips; a window
// larger than the screen gets a negative position.
QPoint centredPosition(QSize screenTwips, QSize windowTwips);

}  // namespace common
