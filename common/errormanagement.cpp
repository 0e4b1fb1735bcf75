#include "common/errormanagement.h"

#include "common/errordialog.h"
#include "common/globals.h"
#include "platform/clock.h"
#include "platform/errors.h"

#include <QScreen>
#include <QWidget>

namespace common {

namespace {

constexpr qint64 kSilentWaitMs = 15000;
constexpr int kTwipsPerPixel = 15;

bool isLockError(int number)
{
    return number == 3218 || number == 3260 || number == 3261 || number == 3262;
}

}  // namespace

qint16 GestioneErrori(qint16 numero, const QString &descrizione, const QString &funzione)
{
    QString notaAttesa;
    if (isLockError(numero)) {
        // The wait is measured on the monotonic clock, so a change of day or
        // of the clock's time cannot stretch or cut it.
        const qint64 now = platform::clock().monotonicMs();
        if (funzione != CicloAttesa.Funzione) {
            CicloAttesa.Funzione = funzione;
            CicloAttesa.Inizio = now;
            return Riprova;
        }
        if (now - CicloAttesa.Inizio < kSilentWaitMs)
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

bool runSteps(const QString &funzione, std::initializer_list<std::function<void()>> steps)
{
    for (const std::function<void()> &step : steps) {
        for (;;) {
            try {
                step();
                break;
            } catch (const platform::RuntimeError &e) {
                const qint16 risposta = GestioneErrori(static_cast<qint16>(e.number()), e.description(), funzione);
                if (risposta == Prosegui)
                    break;
                if (risposta == Abbandona)
                    return false;
                if (isLockError(e.number()))
                    platform::clock().sleepMs(platform::LockRetryPauseMs);
            }
        }
    }
    return true;
}

QPoint centredPosition(QSize screenTwips, QSize windowTwips)
{
    return QPoint((screenTwips.width() - windowTwips.width()) / 2,
                  (screenTwips.height() - windowTwips.height()) / 2);
}

void CentraForm(QWidget *window)
{
    const QScreen *screen = window->screen();
    const QSize screenTwips = screen->geometry().size() * kTwipsPerPixel;
    const QSize windowTwips = window->frameGeometry().size() * kTwipsPerPixel;
    const QPoint topLeft = centredPosition(screenTwips, windowTwips);
    window->move(screen->geometry().topLeft()
                 + QPoint(qRound(topLeft.x() / double(kTwipsPerPixel)), qRound(topLeft.y() / double(kTwipsPerPixel))));
}

}  // namespace common
