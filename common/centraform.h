#pragma once

class QWidget;

namespace common {

// Centres a window on its screen (common::centredPosition); it keeps its size.
void CentraForm(QWidget *window);

// Centres a window about to be shown on its owner's window, frames included,
// in the same way; it keeps its size. The window manager tells a window's
// frame only once it has shown it: the window is taken to be framed as its
// owner is. It stays whole on its owner's screen where it fits.
void CentraSuProprietario(QWidget *window, const QWidget *owner);

}  // namespace common
