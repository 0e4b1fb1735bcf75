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

}  // namespace platform
