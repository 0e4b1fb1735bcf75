#include "common/workstation.h"

#include "platform/workstation.h"

namespace common {

QString NomePostazione() { return platform::computerName() + u'-' + platform::userName(); }

}  // namespace common
