#pragma once

#include <QString>

namespace common {

// The workstation as the places that record who did something name it:
// computer name + "-" + user name ("???" and "??" for names that cannot be
// read). A caller that needs the computer alone takes
// platform::computerName(), since host names may hold "-".
QString NomePostazione();

}  // namespace common
