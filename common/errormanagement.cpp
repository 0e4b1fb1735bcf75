#include "common/errormanagement.h"

#include "common/errordialog.h"
#include "common/globals.h"
#include "platform/busywait.h"
#include "platform/clock.h"
#include "platform/dao/database.h"
#include "platform/errors.h"

#include <optional>

namespace common {

namespace {

bool isLockError(int number)
{
    return number == 3218 || number == 3260 || number == 3261 || number == 3262;
}

}  // namespace

qint16 GestioneErrori(qint16 numero, const QString &descrizione, const QString &funzione, qint64 attesaMs)
{
    QString notaAttesa;
    if (isLockError(numero)) {
        // The wait is measured on the monotonic clock, so a change of day or
        // of the clock's time cannot stretch or cut it.
        const qint64 now = platform::clock().monotonicMs();
        if (funzione != CicloAttesa.Funzione) {
            CicloAttesa.Funzione = funzione;
            CicloAttesa.Inizio = now - attesaMs;
            return Riprova;
        }
        if (now - CicloAttesa.Inizio < AttesaSilenziosaMs)
            return Riprova;
        CicloAttesa.Funzione.clear();
        notaAttesa = QStringLiteral("(è stato eseguito un ciclo di attesa di 15 secondi)");
    }

    // The number is written with its sign position: a blank when not negative.
    const QString numeroTesto = numero < 0 ? QString::number(numero) : u' ' + QString::number(numero);
    QString testo = QStringLiteral("Si è verificato l'errore ") + numeroTesto + QStringLiteral("\r\n")
                    + descrizione + QStringLiteral("\r\n");
    if (!notaAttesa.isEmpty())
        testo += notaAttesa + QStringLiteral("\r\n");
    testo += QStringLiteral("Funzione: ") + funzione + QStringLiteral("\r\nNessun suggerimento");

    switch (errorDialogService().ask(testo)) {
    case platform::MsgResult::Retry: return Riprova;
    case platform::MsgResult::Ignore: return Prosegui;
    default: return Abbandona;
    }
}

namespace {

enum class Passo { Superato, Saltato, Abbandonato };

// Runs one step until it passes or the error management says to go on
// without it or to leave.
Passo runStep(const QString &funzione, const std::function<void()> &step)
{
    // A COMMIT in the step waits for other programs' readers as long as the
    // procedure retries its locks.
    dao::CommitWait attesa(AttesaSilenziosaMs);
    // While another program's lock is waited for, the user sees the busy
    // cursor; the error dialog, when it comes, answers as usual.
    std::optional<platform::BusyWait> occupato;
    for (;;) {
        try {
            // While the procedure's silent cycle runs, the data layer's own
            // waits end with it, so the box comes when the cycle is over.
            std::optional<dao::WaitDeadline> scadenza;
            if (!CicloAttesa.Funzione.isEmpty() && CicloAttesa.Funzione == funzione)
                scadenza.emplace(CicloAttesa.Inizio + AttesaSilenziosaMs);
            step();
            return Passo::Superato;
        } catch (const platform::RuntimeError &e) {
            if (isLockError(e.number()) && !occupato)
                occupato.emplace();
            const qint16 risposta =
                GestioneErrori(static_cast<qint16>(e.number()), e.description(), funzione, e.waitedMs());
            if (risposta == Prosegui)
                return Passo::Saltato;
            if (risposta == Abbandona)
                return Passo::Abbandonato;
            if (isLockError(e.number()))
                platform::BusyWait::sleepMs(platform::LockRetryPauseMs);
        }
    }
}

}  // namespace

bool runSteps(const QString &funzione, std::initializer_list<std::function<void()>> steps)
{
    for (const std::function<void()> &step : steps)
        if (runStep(funzione, step) == Passo::Abbandonato)
            return false;
    return true;
}

bool runRequiredStep(const QString &funzione, const std::function<void()> &step)
{
    return runStep(funzione, step) == Passo::Superato;
}

QPoint centredPosition(QSize screenTwips, QSize windowTwips)
{
    return QPoint((screenTwips.width() - windowTwips.width()) / 2,
                  (screenTwips.height() - windowTwips.height()) / 2);
}

}  // namespace common
