#pragma once

#include "common/errordialog.h"

#include <QString>
#include <deque>
#include <vector>

namespace common {

// Records every message and answers from a script; with the script used up
// it answers the default button, Abort.
class RecordingErrorDialogService : public ErrorDialogService {
public:
    platform::MsgResult ask(const QString &text) override;
    void answer(platform::MsgResult result) { script.push_back(result); }

    std::vector<QString> shown;
    std::deque<platform::MsgResult> script;
};

}  // namespace common
