#include "programdatabase/programdatabase.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return programdatabase::run(app.arguments().mid(1), out, err);
}
