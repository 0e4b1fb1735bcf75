#!/usr/bin/env bash
# The files of the widget-free libraries (platform, common and flowengine, and
# the widget-free code of each ui/ folder) include no QtWidgets header,
# themselves or through any header of ours they include: over the tree as it
# is nothing is named; over a copy with a widget header planted, directly or
# two headers down, the file is named with the road to it.
#   widget_free_test.sh SOURCE_DIR QTWIDGETS_INCLUDE_DIR FILE...
set -uo pipefail
source_dir=$1
widgets_dir=$2
shift 2
files=("$@")
failures=0

# Every file of the widget-free libraries that reaches a QtWidgets header
# under ROOT, with the road to the first one it reaches: "a.cpp -> a.h ->
# <QLabel>". The headers of ours are found from ROOT or from the including
# file's folder.
check() {  # ROOT
  local root=$1
  {
    ls "$widgets_dir" | sed 's/^/widget /'
    (cd "$root" && find platform common flowengine ui -name '*.h' -o -name '*.cpp') | sed 's/^/file /'
    (cd "$root" && grep -rH --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include' \
       platform common flowengine ui) |
      sed -nE 's/^([^:]*):[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^">]+)[">].*/include \1 \2/p'
    printf 'check %s\n' "${files[@]}"
  } | awk '
    $1 == "widget" { widget[$2] = 1; next }
    $1 == "file" { exists[$2] = 1; next }
    $1 == "include" { n = ++count[$2]; included[$2, n] = $3; next }
    function resolve(from, header,    dir) {
      if (header in exists) return header
      dir = from; sub(/[^\/]*$/, "", dir)
      return (dir header) in exists ? dir header : ""
    }
    # The road from FILE to the first widget header it reaches, or "".
    function reaches(file,    i, header, ours, road) {
      if (file in seen) return ""
      seen[file] = 1
      for (i = 1; i <= count[file]; ++i) {
        header = included[file, i]
        if (header ~ /^QtWidgets\// || header in widget) return " -> <" header ">"
        ours = resolve(file, header)
        if (ours != "" && (road = reaches(ours)) != "") return " -> " ours road
      }
      return ""
    }
    $1 == "check" {
      delete seen
      road = reaches($2)
      if (road != "") print $2 road
    }'
}

expect() {  # NAME EXPECTED ACTUAL
  if [[ $2 != "$3" ]]; then
    printf 'FAIL %s\n  expected: %s\n  got:      %s\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  fi
}

expect "the tree" "" "$(check "$source_dir")"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for folder in platform common flowengine ui; do
  cp -r "$source_dir/$folder" "$scratch/"
done

# file | include planted as its last line | what is named, a line each, "; " between
while IFS='|' read -r file include expected; do
  [[ -z $file ]] && continue
  expected=${expected//; /$'\n'}
  cp "$scratch/$file" "$scratch/$file.orig"
  echo "$include" >>"$scratch/$file"
  expect "$file + $include" "$expected" "$(check "$scratch")"
  mv "$scratch/$file.orig" "$scratch/$file"
done <<'CASES'
ui/tables/textrules.cpp|#include <QLabel>|ui/tables/textrules.cpp -> <QLabel>
ui/tables/textrules.h|#include <QtWidgets/QWidget>|ui/tables/textrules.cpp -> ui/tables/textrules.h -> <QtWidgets/QWidget>; ui/tables/textrules.h -> <QtWidgets/QWidget>
platform/texts.cpp|#include <QWidget>|platform/texts.cpp -> <QWidget>
flowengine/decimale.cpp|#include <QtWidgets/QLabel>|flowengine/decimale.cpp -> <QtWidgets/QLabel>
ui/transmission/answerfile.cpp|#include "common/frmmirsomsg.h"|ui/transmission/answerfile.cpp -> common/frmmirsomsg.h -> <QDialog>
CASES

exit $((failures > 0))
