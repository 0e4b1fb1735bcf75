#pragma once

#include <QStringList>

class QWidget;

// What a user would find cut or covered in a shown window: every visible
// text that does not fit its control, every two visible sibling controls that
// overlap, every control partly outside its parent, and a window larger than
// a 1024 x 768 screen. Each finding is one line naming the controls.
// Controls placed wholly outside their parent are out of view and exempt.
QStringList difettiFinestra(QWidget *window);
