#include "support/doubles/recordingfiledialog.h"

namespace uimain {

std::optional<QString> RecordingFileDialogService::scegli(QWidget *, const RichiestaFile &richiesta)
{
    requests.push_back(richiesta);
    if (script.empty())
        return std::nullopt;
    const bool scelto = script.front().has_value();
    const QString percorso = scelto ? *script.front() : QString();
    script.pop_front();
    if (!scelto)
        return std::nullopt;
    return percorso;
}

}  // namespace uimain
