#pragma once

#include "platform/messagebox.h"
#include "platform/scopedservice.h"

#include <QString>

namespace common {

// The box of the error management: the message, no icon, the buttons Abort,
// Retry and Ignore (Abort the default), titled "GESTIONE DEGLI ERRORI". Only
// its buttons close it. The answer is MsgResult::Abort, Retry or Ignore. The
// program installs its window at start-up (common/dialogs.h).
class ErrorDialogService {
public:
    virtual ~ErrorDialogService() = default;
    virtual platform::MsgResult ask(const QString &text) = 0;
};

ErrorDialogService &errorDialogService();

// What a program without windows answers: the same box through the
// message-box service, whose answer there is Abort, the default.
class UnattendedErrorDialogService : public ErrorDialogService {
public:
    platform::MsgResult ask(const QString &text) override;
};

// The pointer behind the accessor; a guard installs a test double in it.
ErrorDialogService *&errorDialogSlot();
using ScopedErrorDialogService = platform::ScopedService<ErrorDialogService, errorDialogSlot>;

}  // namespace common
