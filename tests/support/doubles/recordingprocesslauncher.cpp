#include "support/doubles/recordingprocesslauncher.h"

namespace platform {

bool RecordingProcessLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    started.push_back({program, arguments});
    return result;
}

}  // namespace platform
