#include "platform/dao/statementcache.h"

#include <sqlite3.h>

namespace dao {

StatementCache::~StatementCache() { clear(); }

sqlite3_stmt *StatementCache::take(const QString &sql)
{
    const auto found = byText_.find(sql);
    if (found == byText_.end())
        return nullptr;
    sqlite3_stmt *statement = found.value()->second;
    kept_.erase(found.value());
    byText_.erase(found);
    return statement;
}

void StatementCache::give(const QString &sql, sqlite3_stmt *statement)
{
    if (!statement)
        return;
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    if (byText_.contains(sql)) {
        // The same text was run inside itself: one statement of it is enough.
        sqlite3_finalize(statement);
        return;
    }
    kept_.emplace_front(sql, statement);
    byText_.insert(sql, kept_.begin());
    if (kept_.size() > Capacity) {
        byText_.remove(kept_.back().first);
        sqlite3_finalize(kept_.back().second);
        kept_.pop_back();
    }
}

void StatementCache::clear()
{
    for (const auto &kept : kept_)
        sqlite3_finalize(kept.second);
    kept_.clear();
    byText_.clear();
}

}  // namespace dao
