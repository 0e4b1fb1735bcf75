#pragma once

#include <QString>

namespace common {

// The gate every archive path passes before the program works on it. It
// accepts every path at once: an archive that is missing, is not a database
// or has another layout is met by the next operation that opens it.
bool VerificaArchivio(const QString &percorsoArchivio);

}  // namespace common
