#pragma once

#include <QString>
#include <gtest/gtest.h>
#include <vector>

namespace testsupport {

// Whether the lines are those of the text fixture at that path under the
// tests' source folder, one a line. When they are not, they are written
// beside it under the same name ending in ".actual", to be read or diffed.
::testing::AssertionResult SameAsFixture(const QString &fixture, const std::vector<QString> &lines);

}  // namespace testsupport
