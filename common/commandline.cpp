#include "common/commandline.h"

#include "common/version.h"

#include <QTextStream>

namespace common {

bool OpzioniDelPacchetto(const QStringList &argomenti, const QString &programma, const QString &aiuto,
                         QTextStream &out)
{
    if (argomenti.contains(QLatin1String("--help"))) {
        out << aiuto << '\n';
        out.flush();
        return true;
    }
    if (argomenti.contains(QLatin1String("--version"))) {
        out << programma << ' ' << testoVersione() << '\n';
        out.flush();
        return true;
    }
    return false;
}

bool Opzione(const QString &argomento) { return argomento.startsWith(u'-'); }

}  // namespace common
