#include "common/runtimeerror.h"

#include "common/globals.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

namespace common {

namespace {

QString testo(const QString &intestazione, int numero, const QString &separatore, const QString &descrizione)
{
    return intestazione + QString::number(numero) + separatore + descrizione;
}

}  // namespace

QString TestoErroreRuntime(int numero, const QString &descrizione)
{
    return testo(QStringLiteral("Errore di Run-time "), numero, QStringLiteral("\r\n"), descrizione);
}

QString TestoErroreRunRime(int numero, const QString &descrizione)
{
    // "Run-rime" on purpose: see the header.
    return testo(QStringLiteral("Errore di Run-rime "), numero, QStringLiteral("\r\n"), descrizione);
}

void mostraErroreRunTime(const platform::RuntimeError &error)
{
    platform::msgBox(testo(QStringLiteral("Errore di Run-time "), error.number(), QStringLiteral(":\r\n"),
                           error.description()),
                     TitoloCorbix, platform::MsgIcon::Critical);
}

}  // namespace common
