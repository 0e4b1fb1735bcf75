#pragma once

#include "platform/messagebox.h"

namespace platform {

// The QMessageBox implementation of the message-box service, which
// ImpostaApplicazione installs. Boxes without a Cancel or an OK answer
// (Abort/Retry/Ignore, Yes/No) can be closed only through their buttons.
class QtMessageBoxService : public MessageBoxService {
public:
    MsgResult show(const Message &message) override;
};

}  // namespace platform
