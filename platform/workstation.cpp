#include "platform/workstation.h"

#include "platform/texts.h"

#include <QSysInfo>
#include <pwd.h>
#include <unistd.h>

namespace platform {

WorkstationSource *&workstationSlot()
{
    static SystemWorkstationSource system;
    static WorkstationSource *current = &system;
    return current;
}

WorkstationSource &workstationSource() { return *workstationSlot(); }

std::optional<QString> SystemWorkstationSource::hostName() const
{
    const QString name = QSysInfo::machineHostName();
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QString> SystemWorkstationSource::logonUser() const
{
    if (const passwd *entry = getpwuid(geteuid()); entry && entry->pw_name && *entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    const QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        return std::nullopt;
    return user;
}

QString computerName()
{
    const std::optional<QString> name = workstationSource().hostName();
    return name ? TrimSpaces(*name) : QStringLiteral("???");
}

QString userName()
{
    const std::optional<QString> name = workstationSource().logonUser();
    return name ? TrimSpaces(*name) : QStringLiteral("??");
}

}  // namespace platform
