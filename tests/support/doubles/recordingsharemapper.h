#pragma once

#include "platform/sharemapping.h"

#include <QString>
#include <vector>

namespace platform {

// Records every call ("mappa Z: \\SERVER\SHARE", "rimuovi Z:") and maps
// nothing; with `manca` set a mapping fails with 76.
class RecordingShareMapper : public ShareMapper {
public:
    void mappa(QChar lettera, const QString &server, const QString &share) override;
    void rimuovi(QChar lettera) override;
    std::vector<QString> chiamate;
    bool manca = false;
};

}  // namespace platform
