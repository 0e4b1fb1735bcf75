#include "bench/bench.h"

#include "common/dialogs.h"
#include "platform/application.h"

#include <QApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A virtual display of the bench's own, for as long as it runs: the
// windows it measures are shown, as a user sees them.
class DisplayVirtuale {
public:
    // Starts Xvfb on a free display and names it in DISPLAY; false when it cannot.
    bool avvia()
    {
        int tubo[2];
        if (pipe(tubo) != 0)
            return false;
        pid_ = fork();
        if (pid_ == 0) {
            ::close(tubo[0]);
            const std::string fd = std::to_string(tubo[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   static_cast<char *>(nullptr));
            _exit(127);
        }
        ::close(tubo[1]);
        std::string numero;
        char c = 0;
        while (pid_ > 0 && ::read(tubo[0], &c, 1) == 1 && c != '\n')
            numero += c;
        ::close(tubo[0]);
        if (pid_ <= 0 || numero.empty())
            return false;
        setenv("DISPLAY", (':' + numero).c_str(), 1);
        return true;
    }
    ~DisplayVirtuale()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

private:
    pid_t pid_ = -1;
};

}  // namespace

int main(int argc, char **argv)
{
    DisplayVirtuale display;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        && !display.avvia()) {
        std::fputs("corbix-bench: impossibile avviare il display virtuale (Xvfb)\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    platform::ImpostaApplicazione();
    common::InstallaDialoghi();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return bench::run(app.arguments().mid(1), out, err);
}
