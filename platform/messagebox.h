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

// What a program without windows answers: each message is written on the
// error output ("title: text") and answered with its default button, as
// nobody is there to press one. A program with windows installs its message
// box at start-up (platform/qtmessagebox.h).
class UnattendedMessageBoxService : public MessageBoxService {
public:
    MsgResult show(const Message &message) override;
};

// For a piece of work nobody watches, that reports its messages when it
// ends: each one is kept and answered with its default button.
class KeptMessageBoxService : public MessageBoxService {
public:
    MsgResult show(const Message &message) override;

    std::vector<Message> shown;
};

// The pointer behind the accessor; a guard installs a test double in it.
MessageBoxService *&messageBoxSlot();
using ScopedMessageBoxService = platform::ScopedService<MessageBoxService, messageBoxSlot>;

}  // namespace platform
