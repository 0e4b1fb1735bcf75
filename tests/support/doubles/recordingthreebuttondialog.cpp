#include "support/doubles/recordingthreebuttondialog.h"

namespace common {

QString RecordingThreeButtonDialogService::show(const ThreeButtonRequest &request)
{
    shown.push_back(request);
    if (script.empty())
        return QStringLiteral("0");
    const QString tag = script.front();
    script.pop_front();
    return tag;
}

}  // namespace common
