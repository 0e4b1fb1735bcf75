#include "support/doubles/recordingerrordialog.h"

namespace common {

platform::MsgResult RecordingErrorDialogService::ask(const QString &text)
{
    shown.push_back(text);
    if (script.empty())
        return platform::MsgResult::Abort;
    const platform::MsgResult r = script.front();
    script.pop_front();
    return r;
}

}  // namespace common
