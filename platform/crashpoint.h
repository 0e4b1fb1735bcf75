#pragma once

namespace platform {

// A step of a filing at which the crash tests stop the process dead. With
// CORBIX_ARRESTO=N in the environment, the process kills itself (SIGKILL, as
// a power cut would stop it) at the Nth step it reaches; without it, nothing
// happens.
void puntoDiArresto();

// A step named at its call site ("spostamento.rinominata"), counted apart
// from the steps above. With CORBIX_ARRESTO_PUNTO=NAME or NAME#K the process
// kills itself the first (or the Kth) time it reaches that step; with
// CORBIX_PUNTI=FILE it appends each name it reaches to that file, one a line,
// so that a test learns every step a road passes.
void puntoDiArresto(const char *nome);

}  // namespace platform
