#include "common/threebuttondialog.h"

#include "platform/messagebox.h"

namespace common {

ThreeButtonDialogService *&threeButtonDialogSlot()
{
    static UnattendedThreeButtonDialogService unattended;
    static ThreeButtonDialogService *current = &unattended;
    return current;
}

ThreeButtonDialogService &threeButtonDialogService() { return *threeButtonDialogSlot(); }

QString UnattendedThreeButtonDialogService::show(const ThreeButtonRequest &request)
{
    platform::msgBox(request.message, request.caption);
    return QStringLiteral("0");
}

}  // namespace common
