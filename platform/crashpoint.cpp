#include "platform/crashpoint.h"

#include <QByteArray>
#include <QHash>
#include <cerrno>
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

// Whether the step is the one asked for: NAME, or NAME#K for its Kth time.
bool richiesto(const QByteArray &richiesta, const QByteArray &punto, int volta)
{
    const qsizetype cancelletto = richiesta.indexOf('#');
    const QByteArray nomeRichiesto = cancelletto < 0 ? richiesta : richiesta.left(cancelletto);
    const int voltaRichiesta = cancelletto < 0 ? 1 : richiesta.mid(cancelletto + 1).toInt();
    return nomeRichiesto == punto && volta == voltaRichiesta;
}

// Says the step's name on the standard output and waits for a line on the
// standard input: meanwhile the test changes the world around the run.
void sospendi(const QByteArray &punto)
{
    const QByteArray riga = punto + '\n';
    [[maybe_unused]] const ssize_t scritti = ::write(STDOUT_FILENO, riga.constData(), size_t(riga.size()));
    for (char c = 0; c != '\n';) {
        const ssize_t letti = ::read(STDIN_FILENO, &c, 1);
        if (letti == 0 || (letti < 0 && errno != EINTR))
            break;
    }
}

}  // namespace

void puntoDiArresto(const char *nome)
{
    static const QByteArray traccia = qgetenv("CORBIX_PUNTI");
    static const QByteArray arresto = qgetenv("CORBIX_ARRESTO_PUNTO");
    static const QByteArray pausa = qgetenv("CORBIX_PAUSA_PUNTO");
    static QHash<QByteArray, int> passaggi;
    if (traccia.isEmpty() && arresto.isEmpty() && pausa.isEmpty())
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
    if (richiesto(pausa, punto, volta))
        sospendi(punto);
    if (richiesto(arresto, punto, volta))
        arresta();
}

}  // namespace platform
