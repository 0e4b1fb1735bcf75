#pragma once

#include <QString>

namespace common {

// Pictures lay a value out as text: X(n) characters, N(n) zero-suppressed and
// Z(n) zero-filled digits, S the sign, V the decimal point, R no decimals,
// "text" always written, 'text' written only when what follows it gives
// something.

// Whether a picture is well formed; the empty picture is.
bool CheckPictureMask(const QString &picture);

// The next token of a picture: a non-empty argument starts a new picture, an
// empty one goes on with the last. Empty when the picture is used up.
QString NextPictureToken(const QString &picture = QString());

// The value laid out by the picture; the value unchanged when the picture is
// not well formed.
QString FormatByPicture(const QString &value, const QString &picture);

}  // namespace common
