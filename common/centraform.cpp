#include "common/centraform.h"

#include "common/errormanagement.h"
#include "platform/twips.h"

#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace common {

namespace {

// The top-left corner of a frame of the size given centred on the area.
QPoint centrata(const QRect &area, QSize frameSize)
{
    const QPoint topLeft =
        centredPosition(area.size() * platform::TwipsPerPixel, frameSize * platform::TwipsPerPixel);
    return area.topLeft() + QPoint(platform::twips(topLeft.x()), platform::twips(topLeft.y()));
}

// The frame around a window's client area.
QMargins cornice(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

}  // namespace

void CentraForm(QWidget *window)
{
    window->move(centrata(window->screen()->geometry(), window->frameGeometry().size()));
}

void CentraSuProprietario(QWidget *window, const QWidget *owner)
{
    const QWidget *proprietario = owner->window();
    const QMargins margini = cornice(proprietario);
    // The client area is placed, not the frame: a move of a window Qt has
    // already made native places its client area, one of a window still to
    // be made its frame.
    const QSize frameSize = window->size().grownBy(margini);
    QPoint frame = centrata(proprietario->frameGeometry(), frameSize);
    // An owner partly off the screen leaves the window whole on it where it
    // fits, its title bar within reach.
    const QRect schermo = proprietario->screen()->availableGeometry();
    frame.setX(std::max(std::min(frame.x(), schermo.right() + 1 - frameSize.width()), schermo.left()));
    frame.setY(std::max(std::min(frame.y(), schermo.bottom() + 1 - frameSize.height()), schermo.top()));
    window->setGeometry(QRect(frame + QPoint(margini.left(), margini.top()), window->size()));
}

}  // namespace common
