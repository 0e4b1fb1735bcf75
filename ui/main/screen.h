#pragma once

#include <QColor>
#include <QIcon>
#include <QWidget>

// What the screens of composition share: positions and sizes given in twips,
// and the colours input fields show their state by.
namespace uimain {

inline const QColor ColoreFuoco(0, 255, 255);
inline const QColor ColoreRosso(255, 0, 0);
inline const QColor ColoreGiallo(255, 255, 0);

// The field's background; an invalid colour gives the window colour back.
void ImpostaColore(QWidget *field, const QColor &colour = QColor());

// The application's icon, which every window shows.
QIcon IconaApplicazione();

// Places a control, in twips relative to its parent.
void PosizionaTwips(QWidget *control, int left, int top, int width = -1, int height = -1);

// While a long piece of work runs on the user-interface thread the window
// keeps painting itself, but every key, click and close request aimed at it is
// thrown away (not queued): the work runs to its end, and nothing typed or
// clicked meanwhile lands on the controls that are there afterwards. A message
// box raised meanwhile still takes its answer. Refuses for as long as it lives.
class IngressoRifiutato : public QObject {
public:
    explicit IngressoRifiutato(QWidget *schermo);
    ~IngressoRifiutato() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *schermo_;
};

}  // namespace uimain
