#pragma once

#include <QString>

namespace common {

// The version of the running program.
inline constexpr int VersioneMaggiore = 1;
inline constexpr int VersioneMinore = 0;
inline constexpr int VersioneRevisione = 0;

// Major, minor and revision in plain decimal digits, joined by ".".
inline QString testoVersione()
{
    return QString::number(VersioneMaggiore) + u'.' + QString::number(VersioneMinore) + u'.'
           + QString::number(VersioneRevisione);
}

}  // namespace common
