#pragma once

#include "platform/scopedservice.h"

#include <QString>

namespace common {

// What a caller shows in the window.
struct ThreeButtonRequest {
    QString caption;
    QString message;
    bool adjustVisible = true;
    bool acceptVisible = true;
    bool operator==(const ThreeButtonRequest &) const = default;
};

// The three-button message window (frmMirsoMsg, common/frmmirsomsg.h) is
// reached through this service; the answer is its Tag.
class ThreeButtonDialogService {
public:
    virtual ~ThreeButtonDialogService() = default;
    virtual QString show(const ThreeButtonRequest &request) = 0;
};

ThreeButtonDialogService &threeButtonDialogService();

// What a program without windows answers: the message goes through the
// message-box service, and the answer is "0", the OK that has the focus.
class UnattendedThreeButtonDialogService : public ThreeButtonDialogService {
public:
    QString show(const ThreeButtonRequest &request) override;
};

// The pointer behind the accessor; a guard installs a test double in it.
ThreeButtonDialogService *&threeButtonDialogSlot();
using ScopedThreeButtonDialogService = platform::ScopedService<ThreeButtonDialogService, threeButtonDialogSlot>;

}  // namespace common
