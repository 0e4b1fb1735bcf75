#include "common/errordialog.h"

namespace common {

ErrorDialogService *&errorDialogSlot()
{
    static UnattendedErrorDialogService unattended;
    static ErrorDialogService *current = &unattended;
    return current;
}

ErrorDialogService &errorDialogService() { return *errorDialogSlot(); }

platform::MsgResult UnattendedErrorDialogService::ask(const QString &text)
{
    return platform::msgBox(text, QStringLiteral("GESTIONE DEGLI ERRORI"), platform::MsgIcon::None,
                            platform::MsgButtons::AbortRetryIgnore, 1);
}

}  // namespace common
