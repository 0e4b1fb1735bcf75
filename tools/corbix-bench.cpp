#include "bench/bench.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // The screens measured are never shown: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return bench::run(app.arguments().mid(1), out, err);
}
