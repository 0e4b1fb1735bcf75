#pragma once

namespace dao {

// The program's number for an SQLite result that the statement does not
// decide (a lock's number depends on the operation, a rule's on the rule),
// given the system's error of the failed call.
int errorNumberFor(int rc, int systemErrno);

}  // namespace dao
