#include "bench/paints.h"

#include "platform/errors.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace bench {

namespace {

constexpr qint64 NsPerMs = 1000 * 1000;

}  // namespace

Disegni::Disegni(QWidget *finestra, bool esposta) : finestra_(finestra), esposta_(esposta)
{
    qApp->installEventFilter(this);
    orologio_.start();
    if (esposta_) {
        scoperte_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&scoperte_, &QTimer::timeout, finestra_, [this] { finestra_->repaint(); });
        scoperte_.start(ScopertaOgniMs);
    }
}

Disegni::~Disegni() { qApp->removeEventFilter(this); }

Disegni::Misura Disegni::misura(QWidget *vista, const std::function<void()> &lavoro, const std::function<bool()> &finito)
{
    vista_ = vista;
    inizio_ = orologio_.nsecsElapsed();
    ultimo_ = inizio_;
    pausa_ = 0;
    lavoro();
    bool fatto = false;
    vistaDisegnata_ = false;
    while (!(fatto && vistaDisegnata_)) {
        if (!fatto && (!finito || finito())) {
            fatto = true;
            // A paint under way before this one does not count.
            ++generazione_;
            vistaDisegnata_ = false;
            vista->update();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (orologio_.nsecsElapsed() - inizio_ > qint64(120) * 1000 * NsPerMs)
            platform::raise(platform::err::ReservedError, {QStringLiteral("la finestra non si è ridisegnata")});
    }
    disegnata(vistaOra_);
    return {double(vistaOra_ - inizio_) / 1e9, double(pausa_) / 1e9};
}

void Disegni::disegnata(qint64 ora)
{
    qint64 attesa = ora - ultimo_;
    if (esposta_) {
        // The first uncovering after the last paint is the one that has
        // waited longest; it was made on the timer's beat, not at the paint.
        const qint64 passo = qint64(ScopertaOgniMs) * NsPerMs;
        const qint64 scoperta = (ultimo_ / passo + 1) * passo;
        attesa = std::max<qint64>(0, ora - scoperta);
    }
    pausa_ = std::max(pausa_, attesa);
    ultimo_ = ora;
}

bool Disegni::eventFilter(QObject *oggetto, QEvent *evento)
{
    if (evento->type() != QEvent::Paint || !oggetto->isWidgetType())
        return false;
    if (static_cast<QWidget *>(oggetto)->window() != finestra_ && oggetto != vista_)
        return false;
    disegnata(orologio_.nsecsElapsed());
    if (oggetto == vista_) {
        QMetaObject::invokeMethod(
            this,
            [this, generazione = generazione_] {
                if (generazione != generazione_)
                    return;
                vistaOra_ = orologio_.nsecsElapsed();
                vistaDisegnata_ = true;
            },
            Qt::QueuedConnection);
    }
    return false;
}

double secondi(const std::function<void()> &lavoro)
{
    QElapsedTimer tempo;
    tempo.start();
    lavoro();
    return double(tempo.nsecsElapsed()) / 1e9;
}

}  // namespace bench
