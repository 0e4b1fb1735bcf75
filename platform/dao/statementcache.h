#pragma once

#include <QHash>
#include <QString>
#include <list>
#include <utility>

struct sqlite3;
struct sqlite3_stmt;

namespace dao {

// The prepared statements of one connection, kept for the next use of the
// same text: the program runs the same few queries thousands of times, and
// compiling one costs more than running it. A statement comes back here
// reset and with its bindings cleared, so a kept statement never holds a
// lock nor a value between uses. One in use is out of the cache, so the same
// text run inside itself gets a statement of its own.
class StatementCache {
public:
    explicit StatementCache(sqlite3 *db) : db_(db) {}
    ~StatementCache();
    StatementCache(const StatementCache &) = delete;
    StatementCache &operator=(const StatementCache &) = delete;

    // The kept statement of the text, taken out of the cache; null when
    // there is none.
    sqlite3_stmt *take(const QString &sql);
    // Resets the statement and keeps it for its text; the least recently
    // used one is finalized when the cache is full.
    void give(const QString &sql, sqlite3_stmt *statement);
    // Finalizes every kept statement.
    void clear();

private:
    static constexpr std::size_t Capacity = 64;
    sqlite3 *db_;
    using Kept = std::list<std::pair<QString, sqlite3_stmt *>>;
    Kept kept_;                              // most recently used first
    QHash<QString, Kept::iterator> byText_;  // each kept statement by its text
};

}  // namespace dao
