#include "common/servizioedi.h"

namespace common {

QString NomeMacchinaServizio()
{
    const QString name = qEnvironmentVariable("CORBIX_MACCHINA_SERVIZIO").trimmed();
    return name.isEmpty() ? QStringLiteral("MIRSOLAN") : name;
}

}  // namespace common
