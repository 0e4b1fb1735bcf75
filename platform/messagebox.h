#pragma once

#include "platform/scopedservice.h"

#include <QString>
#include <memory>
#include <vector>

namespace platform {

enum class MsgIcon { None, Information, Exclamation, Critical, Question };

enum class MsgButtons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };

// The answers keep the numbers the system's code compares with.
enum class MsgResult { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct Message {
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::OK;
    int defaultButton = 1;  // 1-based, in the order the buttons are listed above
};

bool operator==(const Message &a, const Message &b);

// Every message box of the program goes through this service.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual MsgResult show(const Message &message) = 0;
};

MessageBoxService &messageBoxService();

// Shows a message through the installed service.
MsgResult msgBox(const Message &message);
MsgResult msgBox(const QString &text, const QString &title, MsgIcon icon = MsgIcon::None,
                 MsgButtons buttons = MsgButtons::OK, int defaultButton = 1);

// The buttons of a set, in order; the first is button 1.
std::vector<MsgResult> buttonsOf(MsgButtons buttons);

// The QMessageBox implementation. Boxes without a Cancel or an OK answer
// (Abort/Retry/Ignore, Yes/No) can be closed only through their buttons.
class QtMessageBoxService : public MessageBoxService {
public:
    MsgResult show(const Message &message) override;
};

// The pointer behind the accessor; a guard installs a test double in it.
MessageBoxService *&messageBoxSlot();
using ScopedMessageBoxService = platform::ScopedService<MessageBoxService, messageBoxSlot>;

}  // namespace platform
