#pragma once

#include <QString>

namespace platform {
class RuntimeError;
}

// The texts of a run-time error, as every procedure of the program tells one:
// "Errore di Run-time ", the error's number, CR LF and its description. The
// procedures that tell it differently keep their own form, which users and
// their notes already know; each form is built here once.
namespace common {

// "Errore di Run-time " + number + CR LF + description.
QString TestoErroreRuntime(int numero, const QString &descrizione);

// The form of the open with retry: "Errore di Run-rime " + number + CR LF +
// description. The misspelt "Run-rime" is the text that procedure has always
// shown and is kept as it is, deliberately.
QString TestoErroreRunRime(int numero, const QString &descrizione);

// The flow engine's form, with a colon after the number ("Errore di Run-time
// 68:" + CR LF + description), shown critical, titled "Corbix doganali".
void mostraErroreRunTime(const platform::RuntimeError &error);

}  // namespace common
