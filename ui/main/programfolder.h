#pragma once

#include <QChar>
#include <QString>

namespace uimain {

// The program folder as start-up takes it from the current folder: trailing
// separators removed, then one appended. With "\" a folder left empty is
// drive C:; with "/" it is the root.
QString CartellaConSeparatore(const QString &cartella, QChar separatore);

}  // namespace uimain
