#pragma once

namespace platform {

// A step of a filing at which the crash tests stop the process dead. With
// CORBIX_ARRESTO=N in the environment, the process kills itself (SIGKILL, as
// a power cut would stop it) at the Nth step it reaches; without it, nothing
// happens.
void puntoDiArresto();

}  // namespace platform
