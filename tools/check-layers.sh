#!/usr/bin/env bash
# The layers kept, over every source folder of the tree: a folder includes
# only headers of its own folder and of the folders below it, and only the
# folders whose libraries have windows include QtWidgets (or QtPrintSupport,
# which is built on it). A folder the table below has no rule for fails the
# check, so that a new one is given its place before its first include.
#
# An include in angle brackets is ours when its first name is a folder of the
# tree, of tests/ or of tools/ (<ui/main/frmmain.h>, <support/tempdir.h>);
# any other is the system's, and a widget header when Qt's QtWidgets or
# QtPrintSupport folder holds it (<QLabel>, <QtWidgets/QWidget>). Qt's header
# folder is CORBIX_QT_HEADERS, or else the one Qt reports.
#
# Prints every include that runs against the table and every folder without a
# rule, and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

qt_headers=${CORBIX_QT_HEADERS:-$(qtpaths6 --query QT_INSTALL_HEADERS 2>/dev/null || qmake6 -query QT_INSTALL_HEADERS)}
ours=$(find . tests tools -mindepth 1 -maxdepth 1 -type d ! -name '.*' -printf '%f\n' | sort -u | tr '\n' ' ')
sources=$(find . -path ./build -prune -o -path './build-*' -prune -o -path './.*' -prune -o \
               -type f \( -name '*.h' -o -name '*.cpp' \) -printf '%P\n' | sort)

{
  # A header that QtCore or QtGui also holds (<qaction.h>) is theirs.
  for module in QtWidgets QtPrintSupport; do
    comm -23 <(ls "$qt_headers/$module" | sort) <(ls "$qt_headers/QtCore" "$qt_headers/QtGui" | sort) |
      sed "s|^|widget |; s|\$| $module|"
  done
  sed 's/^/file /' <<<"$sources"
  # shellcheck disable=SC2086
  grep -nH -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' $sources | sed 's/^/include /'
} |
awk -v ours=" $ours" '
BEGIN {
  # folder          may include                                        widgets
  rule("platform",          "platform",                                           1)
  rule("common",            "common platform",                                    1)
  rule("flowengine",        "flowengine common platform",                         0)
  rule("ui/main",           "ui/main flowengine common platform",                 1)
  rule("ui/transmission",   "ui/transmission ui/main flowengine common platform", 1)
  rule("ui/tables",         "ui/tables ui/main flowengine common platform",       1)
  rule("app",               "app ui/main ui/transmission ui/tables flowengine common platform", 1)
  rule("tools",             "*",                                                  1)
  rule("tools/bench",       "*",                                                  1)
  rule("tools/buildflow",   "buildflow ui/main flowengine common platform",       0)
  rule("tools/programdatabase", "programdatabase common platform",              0)
  rule("tools/sampledata",  "sampledata programdatabase flowengine common platform", 0)
  rule("tools/sampleanswer", "sampleanswer flowengine common platform",           0)
  rule("tests",             "*",                                                  1)
  # A subfolder whose files stay free of widgets in a folder that has windows.
  subfolder("platform/dao", 0)
  failed = 0
}
function rule(folder, may, widgets) { allowed[folder] = may; windows[folder] = widgets }
function subfolder(path, widgets) { windows[path] = widgets }
# Whether the folder of a file may include widget headers.
function widgets(file,    path) {
  path = file; sub(/\/[^\/]*$/, "", path)
  return path in windows ? windows[path] : windows[folder(file)]
}
# The folder of a path: "ui/" or "tools/" and the next name when there is one,
# or its first name ("platform/dao/values.h" is platform'"'"'s, every file of
# tests/ is tests'"'"'); none for a name alone, a header of the including
# file'"'"'s own folder.
function folder(path,    parts, n) {
  n = split(path, parts, "/")
  if (n < 2) return ""
  return (parts[1] == "ui" || parts[1] == "tools") && n > 2 ? parts[1] "/" parts[2] : parts[1]
}
$1 == "widget" { widget[$2] = $3; next }
$1 == "file" {
  from = folder($2)
  if (from == "" && $2 !~ /\//) from = "."
  if (!(from in allowed) && !(from in unruled)) {
    unruled[from] = 1
    printf "%s/: no rule for this folder in tools/check-layers.sh\n", from
    failed = 1
  }
  next
}
$1 == "include" {
  line = substr($0, 9)
  split(line, field, ":")
  file = field[1]; number = field[2]
  from = folder(file)
  if (!(from in allowed)) next
  header = line
  sub(/^[^#]*#[[:space:]]*include[[:space:]]*/, "", header)
  angled = substr(header, 1, 1) == "<"
  header = substr(header, 2); sub(/[">].*$/, "", header)
  if (angled) {
    split(header, parts, "/")
    if (index(header, "/") == 0 || index(ours " ", " " parts[1] " ") == 0) {
      module = header ~ /^Qt(Widgets|PrintSupport)\// ? substr(header, 1, index(header, "/") - 1) : widget[header]
      if (module != "" && !widgets(file)) {
        printf "%s:%s: %s may not include <%s> (%s: its library links Qt Core and Gui only)\n", \
               file, number, from, header, module
        failed = 1
      }
      next
    }
  }
  to = folder(header)
  if (to == "" || allowed[from] == "*" || index(" " allowed[from] " ", " " to " ") > 0) next
  printf "%s:%s: %s may not include \"%s\" (it may include: %s)\n", file, number, from, header, allowed[from]
  failed = 1
}
END { exit failed }'
