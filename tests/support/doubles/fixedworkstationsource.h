#pragma once

#include "platform/workstation.h"

#include <QString>
#include <optional>
#include <utility>

namespace platform {

// Fixed names of the workstation; an empty optional is a name that cannot be
// read.
class FixedWorkstationSource : public WorkstationSource {
public:
    FixedWorkstationSource(std::optional<QString> host, std::optional<QString> user)
        : host_(std::move(host)), user_(std::move(user)) {}
    std::optional<QString> hostName() const override { return host_; }
    std::optional<QString> logonUser() const override { return user_; }

private:
    std::optional<QString> host_;
    std::optional<QString> user_;
};

}  // namespace platform
