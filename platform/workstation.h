#pragma once

#include "platform/scopedservice.h"

#include <QString>
#include <optional>

namespace platform {

// Where the names of this workstation come from: the host name as the system
// reports it, whole, and the logged-on user. Empty optional: cannot be read.
class WorkstationSource {
public:
    virtual ~WorkstationSource() = default;
    virtual std::optional<QString> hostName() const = 0;
    virtual std::optional<QString> logonUser() const = 0;
};

WorkstationSource &workstationSource();

class SystemWorkstationSource : public WorkstationSource {
public:
    std::optional<QString> hostName() const override;
    std::optional<QString> logonUser() const override;
};

// The pointer behind the accessor; a guard installs a test double in it.
WorkstationSource *&workstationSlot();
using ScopedWorkstationSource = platform::ScopedService<WorkstationSource, workstationSlot>;

// This computer's name, blanks trimmed at both ends, whole ("-" included);
// "???" when it cannot be read.
QString computerName();
// The logged-on user, blanks trimmed at both ends; "??" when it cannot be read.
QString userName();

}  // namespace platform
