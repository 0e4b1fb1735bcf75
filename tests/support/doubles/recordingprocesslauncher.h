#pragma once

#include "platform/process.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace platform {

// Records every start and answers with `result`; nothing is started.
class RecordingProcessLauncher : public ProcessLauncher {
public:
    struct Start {
        QString program;
        QStringList arguments;
        bool operator==(const Start &) const = default;
    };

    bool startDetached(const QString &program, const QStringList &arguments = {}) override;

    std::vector<Start> started;
    bool result = true;
};

}  // namespace platform
