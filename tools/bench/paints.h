#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

class QWidget;

namespace bench {

// The paints of one window, each timed: how long a piece of work takes up
// to the window's next paint, and the longest stretch meanwhile without one.
// A paint is taken as drawn at the event loop's next turn after it, once the
// widget has drawn itself and the window has been flushed.
//
// A window whose content changes while it waits counts the longest stretch
// between two of its paints. One whose content does not change paints only
// when something uncovers it: with esposta it is uncovered every
// ScopertaOgniMs, whatever it is doing, as when other windows pass over it,
// and repainted when the event loop takes the uncovering, as an exposure is;
// each uncovering waits from the moment it was made up to the window's next
// paint, and the stretch counted is the longest of those waits.
class Disegni : public QObject {
public:
    static constexpr int ScopertaOgniMs = 15;

    explicit Disegni(QWidget *finestra, bool esposta = false);
    ~Disegni() override;
    Disegni(const Disegni &) = delete;
    Disegni &operator=(const Disegni &) = delete;

    struct Misura {
        double secondi = 0;
        double senzaDisegno = 0;  // the longest stretch without a paint of the window or of the view
    };

    // Runs the work, then lets the window run until finito() holds (at once
    // without it) and vista has been drawn after that. vista may be in
    // another window: its paints count as the window's.
    Misura misura(QWidget *vista, const std::function<void()> &lavoro, const std::function<bool()> &finito = {});

protected:
    bool eventFilter(QObject *oggetto, QEvent *evento) override;

private:
    // A paint of the window at ora: the stretch since the one before it.
    void disegnata(qint64 ora);

    QWidget *finestra_;
    bool esposta_;
    QTimer scoperte_;
    QWidget *vista_ = nullptr;
    QElapsedTimer orologio_;
    qint64 inizio_ = 0;
    qint64 ultimo_ = 0;
    qint64 pausa_ = 0;
    qint64 vistaOra_ = 0;
    bool vistaDisegnata_ = false;
    quint64 generazione_ = 0;
};

// The seconds a piece of work takes, for a step that shows no window.
double secondi(const std::function<void()> &lavoro);

}  // namespace bench
