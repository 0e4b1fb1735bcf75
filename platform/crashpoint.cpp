#include "platform/crashpoint.h"

#include <QByteArray>
#include <QHash>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

[[noreturn]] void arresta()
{
    ::kill(::getpid(), SIGKILL);
    ::_exit(137);
}

}  // namespace

void puntoDiArresto(const char *nome)
{
    static const QByteArray traccia = qgetenv("CORBIX_PUNTI");
    static const QByteArray richiesto = qgetenv("CORBIX_ARRESTO_PUNTO");
    static QHash<QByteArray, int> passaggi;
    if (traccia.isEmpty() && richiesto.isEmpty())
        return;
    const QByteArray punto(nome);
    const int volta = ++passaggi[punto];
    if (!traccia.isEmpty()) {
        const int fd = ::open(traccia.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd >= 0) {
            const QByteArray riga = punto + '\n';
            [[maybe_unused]] const ssize_t scritti = ::write(fd, riga.constData(), size_t(riga.size()));
            ::close(fd);
        }
    }
    const qsizetype cancelletto = richiesto.indexOf('#');
    const QByteArray nomeRichiesto = cancelletto < 0 ? richiesto : richiesto.left(cancelletto);
    const int voltaRichiesta = cancelletto < 0 ? 1 : richiesto.mid(cancelletto + 1).toInt();
    if (nomeRichiesto == punto && volta == voltaRichiesta)
        arresta();
}

}  // namespace platform
