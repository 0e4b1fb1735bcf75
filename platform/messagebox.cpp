#include "platform/messagebox.h"

#include <cstdio>

namespace platform {

MessageBoxService *&messageBoxSlot()
{
    static UnattendedMessageBoxService unattended;
    static MessageBoxService *current = &unattended;
    return current;
}

bool operator==(const Message &a, const Message &b)
{
    return a.text == b.text && a.title == b.title && a.icon == b.icon && a.buttons == b.buttons
           && a.defaultButton == b.defaultButton;
}

MessageBoxService &messageBoxService() { return *messageBoxSlot(); }

MsgResult msgBox(const Message &message) { return messageBoxService().show(message); }

MsgResult msgBox(const QString &text, const QString &title, MsgIcon icon, MsgButtons buttons,
                 int defaultButton)
{
    return msgBox(Message{text, title, icon, buttons, defaultButton});
}

std::vector<MsgResult> buttonsOf(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OK: return {MsgResult::OK};
    case MsgButtons::OKCancel: return {MsgResult::OK, MsgResult::Cancel};
    case MsgButtons::AbortRetryIgnore: return {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore};
    case MsgButtons::YesNoCancel: return {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
    case MsgButtons::YesNo: return {MsgResult::Yes, MsgResult::No};
    case MsgButtons::RetryCancel: return {MsgResult::Retry, MsgResult::Cancel};
    }
    return {MsgResult::OK};
}

namespace {

MsgResult defaultAnswer(const Message &message)
{
    const std::vector<MsgResult> results = buttonsOf(message.buttons);
    const size_t def = static_cast<size_t>(message.defaultButton) - 1;
    return def < results.size() ? results[def] : results.front();
}

}  // namespace

MsgResult UnattendedMessageBoxService::show(const Message &message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(message.title), qPrintable(message.text));
    std::fflush(stderr);
    return defaultAnswer(message);
}

MsgResult KeptMessageBoxService::show(const Message &message)
{
    shown.push_back(message);
    return defaultAnswer(message);
}

}  // namespace platform
