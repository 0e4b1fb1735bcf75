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

# The source folders of the tree; the build folders are left out.
for folder in platform common flowengine ui app tools tests; do
  cp -r "$source_dir/$folder" "$scratch/"
done
mkdir -p "$scratch/build/dao"
echo '#include "ui/main/frmmain.h"' >"$scratch/build/dao/generated.cpp"

# file | include planted as its last line, the file made when it is new |
# what the check prints (none: passes)
while IFS='|' read -r file include expected; do
  [[ -z $file ]] && continue
  made=$([[ -e $scratch/$file ]] || echo 1)
  if [[ -n $made ]]; then
    mkdir -p "$(dirname "$scratch/$file")"
  else
    cp "$scratch/$file" "$scratch/$file.orig"
  fi
  echo "$include" >>"$scratch/$file"
  line=$(wc -l <"$scratch/$file")
  expected=${expected//@LINE@/$line}
  expected=${expected//; /$'\n'}
  output=$("$scratch/tools/check-layers.sh" 2>&1); code=$?
  expect "$file + $include" "$([[ -n $expected ]] && echo 1 || echo 0)" "$expected" "$code" "$output"
  if [[ -n $made ]]; then
    rm "$scratch/$file"
  else
    mv "$scratch/$file.orig" "$scratch/$file"
  fi
done <<'CASES'
platform/errors.cpp|#include "common/paths.h"|platform/errors.cpp:@LINE@: platform may not include "common/paths.h" (it may include: platform)
platform/dao/values.cpp|#include "flowengine/options.h"|platform/dao/values.cpp:@LINE@: platform may not include "flowengine/options.h" (it may include: platform)
common/paths.cpp|  #  include <flowengine/options.h>|common/paths.cpp:@LINE@: common may not include "flowengine/options.h" (it may include: common platform)
flowengine/options.cpp|#include "ui/main/frmmain.h"|flowengine/options.cpp:@LINE@: flowengine may not include "ui/main/frmmain.h" (it may include: flowengine common platform)
ui/main/composition.cpp|#include "ui/transmission/setup.h"|ui/main/composition.cpp:@LINE@: ui/main may not include "ui/transmission/setup.h" (it may include: ui/main flowengine common platform)
ui/tables/textrules.h|#include "ui/transmission/setup.h"|ui/tables/textrules.h:@LINE@: ui/tables may not include "ui/transmission/setup.h" (it may include: ui/tables ui/main flowengine common platform)
ui/main/composition.cpp|#include <support/doubles/fakeclock.h>|ui/main/composition.cpp:@LINE@: ui/main may not include "support/doubles/fakeclock.h" (it may include: ui/main flowengine common platform)
app/main.cpp|#include "buildflow/buildflow.h"|app/main.cpp:@LINE@: app may not include "buildflow/buildflow.h" (it may include: app ui/main ui/transmission ui/tables flowengine common platform)
ui/tables/textrules.h|#include "../main/frmmain.h"|ui/tables/textrules.h:@LINE@: ui/tables may not include "../main/frmmain.h" (it may include: ui/tables ui/main flowengine common platform)
tools/sampledata/sampledata.cpp|#include "ui/main/composition.h"|tools/sampledata/sampledata.cpp:@LINE@: tools/sampledata may not include "ui/main/composition.h" (it may include: sampledata programdatabase flowengine common platform)
flowengine/options.cpp|#include <QLabel>|flowengine/options.cpp:@LINE@: flowengine may not include <QLabel> (QtWidgets: its library links Qt Core and Gui only)
platform/dao/values.cpp|  #include <QtWidgets/QWidget>|platform/dao/values.cpp:@LINE@: platform may not include <QtWidgets/QWidget> (QtWidgets: its library links Qt Core and Gui only)
tools/buildflow/buildflow.h|#include <QPrinter>|tools/buildflow/buildflow.h:@LINE@: tools/buildflow may not include <QPrinter> (QtPrintSupport: its library links Qt Core and Gui only)
reports/report.cpp|#include "platform/errors.h"|reports/: no rule for this folder in tools/check-layers.sh
ui/reports/report.h|#include <QLabel>|ui/reports/: no rule for this folder in tools/check-layers.sh
ui/main/composition.cpp|#include <QLabel>|
ui/transmission/setup.cpp|#include "ui/main/composition.h"|
app/main.cpp|#include "ui/tables/tables.h"|
common/paths.cpp|#include <QtWidgets/QWidget>|
flowengine/options.cpp|#include <QPainter>|
flowengine/options.cpp|#include <qaction.h>|
flowengine/options.cpp|#include "options.h"|
tools/bench/bench.cpp|#include <QApplication>|
tests/flowengine/options_test.cpp|#include "ui/main/frmmain.h"|
CASES

exit $((failures > 0))
