#pragma once

class QWidget;

// What every window of the program shares: the face its geometry was drawn
// for and Qt's own dialogs and buttons in Italian. main() and the tests set
// it up the same way, once, right after the application object is made.
namespace platform {

// Liberation Sans 8 pt as the application font; the Windows families that
// screens and reports ask for mapped to the fonts installed in their place;
// Italian as the default locale and Qt's Italian translation; the message
// box, the page printer and the busy wait's hold on the windows installed.
void ImpostaApplicazione();

// The height of a window's frame (title bar and borders) beyond its client
// area: as the window manager reports it once shown, or else (before the
// first show, offscreen) the title bar and borders the style draws.
int AltezzaCornice(const QWidget *window);

// Fixes a top-level window's outer height, frame included, at `outer`
// pixels, or taller where its client area needs `minimaInterna` pixels for
// what it shows.
void ImpostaAltezzaEsterna(QWidget *window, int outer, int minimaInterna = 0);

}  // namespace platform
