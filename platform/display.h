#pragma once

#include <QStringList>

// What a program with windows checks before it makes its application
// object: the arguments Qt takes as its own, and whether the display its
// windows would go to answers. Qt ends a program whose display cannot be
// reached with an abort; the program says so itself instead.
namespace platform {

// Whether every argument is one of the options Qt's application object takes
// ("-platform NAME", "-display NAME", "-style NAME" or "-style=NAME",
// "-reverse", ..., with one "-" or two), each with the value it takes.
bool SoloOpzioniQt(const QStringList &argomenti);

// Whether the windows can be shown: the platforms Qt would try (those
// "-platform" or QT_QPA_PLATFORM name, or else the desktop session's) hold
// one that needs no display server, or an X or Wayland display that
// answers.
bool SchermoRaggiungibile(const QStringList &argomenti);

}  // namespace platform
