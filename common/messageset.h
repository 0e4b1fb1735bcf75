#pragma once

#include <QString>

namespace common {

// The text of a message reference "[n]rest": entry n of ElencoMessaggi
// followed by rest; the empty text after a message box when the reference
// cannot be read or names no entry of the set.
QString GetMessageText(const QString &reference);

}  // namespace common
