#!/usr/bin/env bash
# tools/check-layers.sh over the tree as it is (nothing to name), then over a
# copy of the source folders with one include planted in one file: each
# include against the layers is named with its file and line and fails the
# check, each one the layers allow passes.
#   check_layers_test.sh SOURCE_DIR
set -uo pipefail
source_dir=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

expect() {  # NAME EXPECTED_CODE EXPECTED_OUTPUT ACTUAL_CODE ACTUAL_OUTPUT
  if [[ $4 != "$2" || $5 != "$3" ]]; then
    printf 'FAIL %s\n  expected %s: %s\n  got      %s: %s\n' "$1" "$2" "$3" "$4" "$5"
    failures=$((failures + 1))
  fi
}

output=$("$source_dir/tools/check-layers.sh" 2>&1); code=$?
expect "the tree" 0 "" "$code" "$output"

# The folders the check reads, and the names of those of tests/ and tools/
# that tell an angle-bracket include of ours from the system's.
for folder in platform common flowengine ui app; do
  cp -r "$source_dir/$folder" "$scratch/"
done
mkdir -p "$scratch/tools" "$scratch/tests/support" "$scratch/tools/buildflow"
cp "$source_dir/tools/check-layers.sh" "$scratch/tools/"

# file | include planted as its last line | what the check prints (none: passes)
while IFS='|' read -r file include expected; do
  [[ -z $file ]] && continue
  cp "$source_dir/$file" "$scratch/$file.orig"
  echo "$include" >>"$scratch/$file"
  line=$(wc -l <"$scratch/$file")
  expected=${expected//@LINE@/$line}
  output=$("$scratch/tools/check-layers.sh" 2>&1); code=$?
  expect "$file + $include" "$([[ -n $expected ]] && echo 1 || echo 0)" "$expected" "$code" "$output"
  mv "$scratch/$file.orig" "$scratch/$file"
done <<'CASES'
platform/errors.cpp|#include "common/paths.h"|platform/errors.cpp:@LINE@: platform may not include "common/paths.h" (it may include: platform)
platform/dao/values.cpp|#include "flowengine/options.h"|platform/dao/values.cpp:@LINE@: platform may not include "flowengine/options.h" (it may include: platform)
common/paths.cpp|  #  include <flowengine/options.h>|common/paths.cpp:@LINE@: common may not include "flowengine/options.h" (it may include: common platform)
flowengine/options.cpp|#include "ui/main/frmmain.h"|flowengine/options.cpp:@LINE@: flowengine may not include "ui/main/frmmain.h" (it may include: flowengine common platform)
ui/main/composition.cpp|#include "ui/transmission/setup.h"|ui/main/composition.cpp:@LINE@: ui/main may not include "ui/transmission/setup.h" (it may include: ui/main flowengine common platform)
ui/tables/textrules.h|#include "ui/transmission/setup.h"|ui/tables/textrules.h:@LINE@: ui/tables may not include "ui/transmission/setup.h" (it may include: ui/tables ui/main flowengine common platform)
ui/main/composition.cpp|#include <support/doubles/fakeclock.h>|ui/main/composition.cpp:@LINE@: ui/main may not include "support/doubles/fakeclock.h" (it may include: ui/main flowengine common platform)
app/main.cpp|#include "buildflow/buildflow.h"|app/main.cpp:@LINE@: app may not include "buildflow/buildflow.h" (it may include: app ui/main ui/transmission ui/tables flowengine common platform)
ui/transmission/setup.cpp|#include "ui/main/composition.h"|
app/main.cpp|#include "ui/tables/tables.h"|
common/paths.cpp|#include <QtWidgets/QWidget>|
flowengine/options.cpp|#include "options.h"|
CASES

exit $((failures > 0))
