#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace common {

// What every program of the package answers, whatever else it is given:
// "--help" prints its help and "--version" its name and version, both on
// out. True when one of them was asked for: the program has answered and
// ends with 0, having done nothing else.
bool OpzioniDelPacchetto(const QStringList &argomenti, const QString &programma, const QString &aiuto,
                         QTextStream &out);

// An argument that starts with "-" is an option, never a folder, a file or
// another value given by its place.
bool Opzione(const QString &argomento);

}  // namespace common
