#include "platform/process.h"

#include <QProcess>

namespace platform {

ProcessLauncher *&processLauncherSlot()
{
    static QtProcessLauncher qtLauncher;
    static ProcessLauncher *current = &qtLauncher;
    return current;
}

ProcessLauncher &processLauncher() { return *processLauncherSlot(); }

bool QtProcessLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

}  // namespace platform
