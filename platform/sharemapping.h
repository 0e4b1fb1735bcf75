#pragma once

#include "platform/scopedservice.h"

#include <QChar>
#include <QString>

namespace platform {

// Mapping a network share as a drive letter and removing the mapping, as
// the network's "use" command does.
class ShareMapper {
public:
    virtual ~ShareMapper() = default;
    // 76 when the share cannot be reached.
    virtual void mappa(QChar lettera, const QString &server, const QString &share) = 0;
    virtual void rimuovi(QChar lettera) = 0;
};

ShareMapper &shareMapper();

// On the drive table in use.
class DriveTableShareMapper : public ShareMapper {
public:
    void mappa(QChar lettera, const QString &server, const QString &share) override;
    void rimuovi(QChar lettera) override;
};

// The pointer behind the accessor; a guard installs a test double in it.
ShareMapper *&shareMapperSlot();
using ScopedShareMapper = platform::ScopedService<ShareMapper, shareMapperSlot>;

}  // namespace platform
