#pragma once

#include "platform/messagebox.h"

#include <QString>
#include <QStringList>
#include <optional>

// What the flow-replication screen (frmReplicaEDI) checks and reads apart
// from its window.
namespace uimain {

// The message for the first entry missing or wrong, tested in this order:
// the customs office, the destination folder, the progressive number. None
// when all three pass.
std::optional<platform::Message> ControlloReplica(const QString &ufficio, const QString &cartella,
                                                  const QString &numero);

// The codes of the customs offices in the archive PercorsoArchivio, in the
// order the query returns them, Null as an empty text. Database errors are
// raised to the caller.
QStringList CodiciUfficiDoganali();

}  // namespace uimain
