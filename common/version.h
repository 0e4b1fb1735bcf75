#pragma once

#include <QString>

namespace common {

// The version of the running program.
inline constexpr int VersioneMaggiore = 1;
inline constexpr int VersioneMinore = 0;
inline constexpr int VersioneRevisione = 0;

// Major, minor and revision in plain decimal digits, joined by ".".
inline QString testoVersione(int maggiore, int minore, int revisione)
{
    return QString::number(maggiore) + u'.' + QString::number(minore) + u'.' + QString::number(revisione);
}

inline QString testoVersione() { return testoVersione(VersioneMaggiore, VersioneMinore, VersioneRevisione); }

}  // namespace common
