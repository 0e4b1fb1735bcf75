#pragma once

#include <QString>

namespace platform {

// The text without the spaces at either end; tabs and line ends stay, as the
// original platform's trim leaves them.
QString TrimSpaces(const QString &text);

}  // namespace platform
