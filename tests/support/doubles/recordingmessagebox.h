#pragma once

#include "platform/messagebox.h"

#include <deque>
#include <functional>
#include <vector>

namespace platform {

// Records every message and answers from a script; with the script used up
// it answers the default button.
class RecordingMessageBoxService : public MessageBoxService {
public:
    MsgResult show(const Message &message) override;
    void answer(MsgResult result) { script.push_back(result); }

    std::vector<Message> shown;
    std::deque<MsgResult> script;
    // Run as each message is shown, before it is answered: what happens
    // while the user reads it.
    std::function<void(const Message &)> whileShown;
};

}  // namespace platform
