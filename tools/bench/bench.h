#pragma once

#include <QStringList>
#include <QTextStream>

// corbix-bench: the road of a busy day timed step by step on a copy of a
// program folder, each step beside the least that its work needs, as a
// table of medians. The windows a user waits on are shown and timed up to
// their next paint, with the longest stretch without a paint; the fetch's
// memory is measured in a fresh process of the bench itself.
namespace bench {

// The command line: PROGRAM_FOLDER. Returns the exit code: 0 every step
// within its target, 3 when one misses it, 1 the program failed, 2 wrong
// usage or a floor that could not do its work.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

}  // namespace bench
