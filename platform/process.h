#pragma once

#include "platform/scopedservice.h"

#include <QString>
#include <QStringList>

namespace platform {

// Starting another program, never waiting for it to end.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // False when the program could not be started.
    virtual bool startDetached(const QString &program, const QStringList &arguments = {}) = 0;
};

ProcessLauncher &processLauncher();

// The QProcess implementation.
class QtProcessLauncher : public ProcessLauncher {
public:
    bool startDetached(const QString &program, const QStringList &arguments = {}) override;
};

// The pointer behind the accessor; a guard installs a test double in it.
ProcessLauncher *&processLauncherSlot();
using ScopedProcessLauncher = platform::ScopedService<ProcessLauncher, processLauncherSlot>;

}  // namespace platform
