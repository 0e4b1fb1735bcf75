#include "platform/dao/statementcache.h"

#include <sqlite3.h>

namespace dao {

StatementCache::~StatementCache() { clear(); }

sqlite3_stmt *StatementCache::take(const QString &sql)
{
    for (auto it = kept_.begin(); it != kept_.end(); ++it) {
        if (it->first == sql) {
            sqlite3_stmt *statement = it->second;
            kept_.erase(it);
            return statement;
        }
    }
    return nullptr;
}

void StatementCache::give(const QString &sql, sqlite3_stmt *statement)
{
    if (!statement)
        return;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    for (const auto &kept : kept_) {
        if (kept.first == sql) {
            // The same text was run inside itself: one statement of it is enough.
            sqlite3_finalize(statement);
            return;
        }
    }
    kept_.emplace_front(sql, statement);
    if (kept_.size() > Capacity) {
        sqlite3_finalize(kept_.back().second);
        kept_.pop_back();
    }
}

void StatementCache::clear()
{
    for (const auto &kept : kept_)
        sqlite3_finalize(kept.second);
    kept_.clear();
}

}  // namespace dao
