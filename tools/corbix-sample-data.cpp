#include "sampledata/sampledata.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return sampledata::run(app.arguments().mid(1), out, err);
}
