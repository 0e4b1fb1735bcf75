#pragma once

#include <QStringList>
#include <QTextStream>

// corbix-bench: the road of a busy day timed step by step on a copy of a
// program folder, each step beside its floor (its rows read with one plain
// prepared statement, its bytes written once), as a table of medians.
namespace bench {

// The command line: PROGRAM_FOLDER. Returns the exit code.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

}  // namespace bench
