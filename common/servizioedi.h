#pragma once

#include <QString>

namespace common {

// The name of the EDI service's machine on the network, the host that serves
// the EDI users' shares: the environment's CORBIX_MACCHINA_SERVIZIO, or
// "MIRSOLAN" when it is not set.
QString NomeMacchinaServizio();

}  // namespace common
