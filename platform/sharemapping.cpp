#include "platform/sharemapping.h"

#include "platform/drives.h"
#include "platform/errors.h"

namespace platform {

ShareMapper *&shareMapperSlot()
{
    static ShareMapper *current = nullptr;
    return current;
}

ShareMapper &shareMapper()
{
    static DriveTableShareMapper real;
    return shareMapperSlot() ? *shareMapperSlot() : real;
}

void DriveTableShareMapper::mappa(QChar lettera, const QString &server, const QString &share)
{
    driveTable().mapDrive(lettera, server, share);
}

void DriveTableShareMapper::rimuovi(QChar lettera) { driveTable().unmapDrive(lettera); }

void RecordingShareMapper::mappa(QChar lettera, const QString &server, const QString &share)
{
    chiamate.push_back(QStringLiteral("mappa ") + lettera + QStringLiteral(": \\\\") + server + u'\\' + share);
    if (manca)
        raise(err::PathNotFound);
}

void RecordingShareMapper::rimuovi(QChar lettera) { chiamate.push_back(QStringLiteral("rimuovi ") + lettera + u':'); }

}  // namespace platform
