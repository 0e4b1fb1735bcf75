#pragma once

#include <QProcess>
#include <QString>
#include <sqlite3.h>

namespace testsupport {

// Another program sharing a database file: a process of its own (SQLite's
// locks belong to a process, so a second connection inside the test would
// share ours), on a plain SQLite connection that never waits for a lock. It
// holds locks and makes writes that the layer never sees.
class OtherProgram {
public:
    explicit OtherProgram(const QString &path);
    ~OtherProgram();
    OtherProgram(const OtherProgram &) = delete;
    OtherProgram &operator=(const OtherProgram &) = delete;

    // The SQLite result of a statement; its message is kept in lastMessage.
    // A query's rows are kept in lastRows, one text per row, columns joined
    // by "|".
    int exec(const QString &sql);

    QString lastMessage;
    QStringList lastRows;

private:
    QProcess process_;
};

// Another program writing the file: python3's sqlite3 module, in a process of
// its own, runs the statements (separated by ";") in one transaction, with no
// wait for a lock. 0 when they committed.
int otherProcessWrites(const QString &path, const QString &sql);

}  // namespace testsupport
