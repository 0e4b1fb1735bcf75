#pragma once

#include "platform/scopedservice.h"

#include "platform/messagebox.h"

#include <QString>
#include <deque>
#include <vector>

namespace common {

// The box of the error management: the message, no icon, the buttons Abort,
// Retry and Ignore (Abort the default), titled "GESTIONE DEGLI ERRORI". Only
// its buttons close it. The answer is MsgResult::Abort, Retry or Ignore.
class ErrorDialogService {
public:
    virtual ~ErrorDialogService() = default;
    virtual platform::MsgResult ask(const QString &text) = 0;
};

ErrorDialogService &errorDialogService();

class QtErrorDialogService : public ErrorDialogService {
public:
    platform::MsgResult ask(const QString &text) override;
};

// Records every message and answers from a script; with the script used up
// it answers the default button, Abort.
class RecordingErrorDialogService : public ErrorDialogService {
public:
    platform::MsgResult ask(const QString &text) override;
    void answer(platform::MsgResult result) { script.push_back(result); }

    std::vector<QString> shown;
    std::deque<platform::MsgResult> script;
};

// The pointer behind the accessor; a guard installs a test double in it.
ErrorDialogService *&errorDialogSlot();
using ScopedErrorDialogService = platform::ScopedService<ErrorDialogService, errorDialogSlot>;

}  // namespace common
