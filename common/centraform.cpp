#include "common/centraform.h"

#include "common/errormanagement.h"
#include "platform/twips.h"

#include <QScreen>
#include <QWidget>

namespace common {

void CentraForm(QWidget *window)
{
    const QScreen *screen = window->screen();
    const QSize screenTwips = screen->geometry().size() * platform::TwipsPerPixel;
    const QSize windowTwips = window->frameGeometry().size() * platform::TwipsPerPixel;
    const QPoint topLeft = centredPosition(screenTwips, windowTwips);
    window->move(screen->geometry().topLeft() + QPoint(platform::twips(topLeft.x()), platform::twips(topLeft.y())));
}

}  // namespace common
