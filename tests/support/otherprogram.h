#pragma once

#include <QFile>
#include <QString>
#include <sqlite3.h>

namespace testsupport {

// Another program sharing a database file, on its own plain SQLite
// connection: it holds locks and makes writes that the layer never sees.
class OtherProgram {
public:
    explicit OtherProgram(const QString &path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(db_, 0);
    }
    ~OtherProgram() { sqlite3_close(db_); }
    OtherProgram(const OtherProgram &) = delete;
    OtherProgram &operator=(const OtherProgram &) = delete;

    // The SQLite result of a statement; its message is kept in lastMessage.
    int exec(const QString &sql)
    {
        char *message = nullptr;
        const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &message);
        lastMessage = message ? QString::fromUtf8(message) : QString();
        sqlite3_free(message);
        return rc;
    }

    QString lastMessage;

private:
    sqlite3 *db_ = nullptr;
};

}  // namespace testsupport
