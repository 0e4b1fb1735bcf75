#include "support/doubles/recordingmessagebox.h"

namespace platform {

MsgResult RecordingMessageBoxService::show(const Message &message)
{
    shown.push_back(message);
    if (whileShown)
        whileShown(message);
    if (!script.empty()) {
        const MsgResult r = script.front();
        script.pop_front();
        return r;
    }
    const std::vector<MsgResult> results = buttonsOf(message.buttons);
    const size_t def = static_cast<size_t>(message.defaultButton) - 1;
    return def < results.size() ? results[def] : results.front();
}

}  // namespace platform
