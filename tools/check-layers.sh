#!/usr/bin/env bash
# The layers kept: a source folder includes only headers of its own folder and
# of the folders below it (platform on nothing of ours, common on platform,
# flowengine on common and platform, each ui/ folder on flowengine, common and
# platform, ui/transmission and ui/tables also on ui/main; app on all of
# them). tools/ and tests/ may include anything. An include in angle brackets
# is ours when its first name is a folder of the tree, of tests/ or of tools/
# (<ui/main/frmmain.h>, <support/tempdir.h>); any other is the system's.
# Prints every include that runs against the table and exits 1 when there is
# one.
set -euo pipefail
cd "$(dirname "$0")/.."

ours=$(find . tests tools -mindepth 1 -maxdepth 1 -type d ! -name '.*' -printf '%f\n' | sort -u | tr '\n' ' ')

grep -rnH --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' \
     platform common flowengine ui app |
awk -v ours=" $ours" '
BEGIN {
  allowed["platform"] = "platform"
  allowed["common"] = "common platform"
  allowed["flowengine"] = "flowengine common platform"
  allowed["ui/main"] = "ui/main flowengine common platform"
  allowed["ui/transmission"] = "ui/transmission ui/main flowengine common platform"
  allowed["ui/tables"] = "ui/tables ui/main flowengine common platform"
  allowed["app"] = "app ui/main ui/transmission ui/tables flowengine common platform"
  failed = 0
}
# The folder of a path: "ui/" and the next name, or its first name
# ("platform/dao/values.h" is platform'"'"'s); none for a name alone, a header
# of the including file'"'"'s own folder.
function folder(path,    parts, n) {
  n = split(path, parts, "/")
  if (n < 2) return ""
  return parts[1] == "ui" ? parts[1] "/" parts[2] : parts[1]
}
{
  split($0, field, ":")
  file = field[1]; line = field[2]
  header = $0
  sub(/^[^#]*#[[:space:]]*include[[:space:]]*/, "", header)
  angled = substr(header, 1, 1) == "<"
  header = substr(header, 2); sub(/[">].*$/, "", header)
  if (angled) {
    split(header, parts, "/")
    if (index(header, "/") == 0 || index(ours " ", " " parts[1] " ") == 0) next
  }
  from = folder(file); to = folder(header)
  if (to == "" || index(" " allowed[from] " ", " " to " ") > 0) next
  printf "%s:%s: %s may not include \"%s\" (it may include: %s)\n", file, line, from, header, allowed[from]
  failed = 1
}
END { exit failed }'
