#pragma once

// A step of a run at which the crash tests stop the process dead, named at
// its call site ("spostamento.rinominata"):
//
//     CORBIX_PUNTO_DI_ARRESTO("composizione.registrata");
//
// Only the build made for the crash tests has them (CORBIX_PUNTI_DI_ARRESTO
// defined, see the crash-test programs in tests/): everywhere else the step
// expands to nothing, so the program a user runs holds neither the steps nor
// their names. In that build, with CORBIX_ARRESTO_PUNTO=NAME or NAME#K in the
// environment the process kills itself (SIGKILL, as a power cut would stop
// it) the first (or the Kth) time it reaches that step; with
// CORBIX_PUNTI=FILE it appends each name it reaches to that file, one a line,
// so that a test learns every step a road passes. With CORBIX_PAUSA_PUNTO=NAME
// or NAME#K it writes the step's name on its standard output there and waits
// for a line on its standard input, so that a test can change what the run
// finds (a medium taken out) at that very step.
#ifdef CORBIX_PUNTI_DI_ARRESTO

namespace platform {
void puntoDiArresto(const char *nome);
}  // namespace platform

#define CORBIX_PUNTO_DI_ARRESTO(nome) ::platform::puntoDiArresto(nome)

#else

#define CORBIX_PUNTO_DI_ARRESTO(nome) static_cast<void>(0)

#endif
