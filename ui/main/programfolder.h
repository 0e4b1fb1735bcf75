#pragma once

#include <QChar>
#include <QString>

namespace uimain {

// The program folder as start-up takes it from the current folder: trailing
// separators removed, then one appended. With "\" a folder left empty is
// drive C:; with "/" it is the root.
QString CartellaConSeparatore(const QString &cartella, QChar separatore);

// Makes the program folder the current folder again. It is the current
// folder for the whole run, and the settings file, the drive table and every
// name without a folder hang on it; a file or folder dialog may leave the
// process in the folder it browsed, so each window that opens one, and the
// fetch of a file the user chose, put it back when done.
void RipristinaCartellaProgramma();

}  // namespace uimain
