#include "platform/process.h"

#include <QProcess>

namespace platform {

namespace {

ProcessLauncher *&installed()
{
    static QtProcessLauncher qtLauncher;
    static ProcessLauncher *current = &qtLauncher;
    return current;
}

}  // namespace

ProcessLauncher &processLauncher() { return *installed(); }

bool QtProcessLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool RecordingProcessLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    started.push_back({program, arguments});
    return result;
}

ScopedProcessLauncher::ScopedProcessLauncher(ProcessLauncher &launcher) : previous_(installed())
{
    installed() = &launcher;
}

ScopedProcessLauncher::~ScopedProcessLauncher() { installed() = previous_; }

}  // namespace platform
