#include "support/doubles/recordingsharemapper.h"

#include "platform/errors.h"

namespace platform {

void RecordingShareMapper::mappa(QChar lettera, const QString &server, const QString &share)
{
    chiamate.push_back(QStringLiteral("mappa ") + lettera + QStringLiteral(": \\\\") + server + u'\\' + share);
    if (manca)
        raise(err::PathNotFound);
}

void RecordingShareMapper::rimuovi(QChar lettera) { chiamate.push_back(QStringLiteral("rimuovi ") + lettera + u':'); }

}  // namespace platform
