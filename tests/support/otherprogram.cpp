#include "support/otherprogram.h"

#include <QCoreApplication>
#include <stdexcept>

namespace testsupport {

OtherProgram::OtherProgram(const QString &path)
{
    process_.setProgram(QStringLiteral(CORBIX_OTHER_PROGRAM));
    process_.setArguments({path});
    process_.start();
    if (!process_.waitForStarted())
        throw std::runtime_error("the other program did not start");
}

OtherProgram::~OtherProgram()
{
    process_.closeWriteChannel();
    if (!process_.waitForFinished(10000))
        process_.kill();
}

int OtherProgram::exec(const QString &sql)
{
    QString line = sql;
    line.replace(u'\n', u' ');
    process_.write(line.toUtf8() + '\n');
    lastRows.clear();
    // The answer: one "row TEXT" line per row, then "rc TEXT".
    for (;;) {
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(10000))
                throw std::runtime_error("the other program did not answer");
        const QString answer = QString::fromUtf8(process_.readLine()).chopped(1);
        if (answer.startsWith(QLatin1String("row "))) {
            lastRows << answer.mid(4);
            continue;
        }
        const qsizetype space = answer.indexOf(u' ', 3);
        lastMessage = space < 0 ? QString() : answer.mid(space + 1);
        return answer.mid(3, space < 0 ? -1 : space - 3).toInt();
    }
}

int otherProcessWrites(const QString &path, const QString &sql)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sqlite3,sys\nc=sqlite3.connect(sys.argv[1],timeout=0,isolation_level=None)\n"
                                 "c.executescript('BEGIN;'+sys.argv[2]+';COMMIT;')"),
                  path, sql});
    python.waitForFinished(30000);
    return python.exitStatus() == QProcess::NormalExit ? python.exitCode() : -1;
}

}  // namespace testsupport
