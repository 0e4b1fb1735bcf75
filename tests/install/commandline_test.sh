#!/bin/sh
# The installed programs as a terminal meets them: --help and --version
# answer on stdout with 0 and touch nothing (corbix without a display, so
# that a window it tried to open would fail it); an argument starting with
# "-" is no folder; corbix refuses an argument that is not Qt's and says
# that it needs a display where none answers; a start of corbix that fails
# ends with a code that says so, once its message has been answered under a
# virtual display, and writes that message on stderr too.
# commandline_test.sh PREFIX BUILD_FLOW VERSION
set -u
prefix=$1
buildflow=$2
version=$3
. "$(dirname "$0")/shell_support.sh"

mkdir "$work/vuota" "$work/casa"
cd "$work/vuota" || exit 1
for program in "$prefix/bin/corbix" "$prefix/bin/corbix-sample-data" "$prefix/bin/corbix-sample-answer" "$buildflow"; do
  name=$(basename "$program")
  run_without_display "$program" --help
  [ "$rc" -eq 0 ] || fail "$name --help: exit $rc"
  head -n 1 "$work/out" | grep -q "^Uso: $name " || fail "$name --help: $(cat "$work/out")"
  [ ! -s "$work/err" ] || fail "$name --help wrote on stderr: $(cat "$work/err")"
  run_without_display "$program" --version
  [ "$rc" -eq 0 ] || fail "$name --version: exit $rc"
  [ "$(cat "$work/out")" = "$name $version" ] || fail "$name --version: $(cat "$work/out")"
  [ ! -s "$work/err" ] || fail "$name --version wrote on stderr: $(cat "$work/err")"
  nothing_written "$name --help or --version"
done

# An option no program knows, where a folder is expected: refused, nothing made.
for args in "corbix-sample-data -h" "corbix-sample-answer -h 2026-12-10 7"; do
  set -- $args
  program=$1
  shift
  "$prefix/bin/$program" "$@" >"$work/out" 2>"$work/err"
  rc=$?
  [ "$rc" -eq 2 ] || fail "$args: exit $rc"
  grep -q "^Uso: $program " "$work/err" || fail "$args: $(cat "$work/err")"
  [ -z "$(ls -A "$work/vuota")" ] || fail "$args made: $(ls -A "$work/vuota")"
done
"$buildflow" -h sel out --destination 1 >"$work/out" 2>"$work/err"
[ $? -eq 2 ] || fail "corbix-build-flow -h: $(cat "$work/err")"

# corbix given what is neither its own option nor Qt's: its usage line, and
# nothing opened or written (no display either, so that a window it tried
# to open would fail it otherwise). Qt's own options are taken.
for args in "-h" "--bogus" "extra" "-platform" "-style=Fusion extra"; do
  set -- $args
  run_without_display "$prefix/bin/corbix" "$@"
  [ "$rc" -eq 2 ] || fail "corbix $args: exit $rc $(cat "$work/err")"
  [ "$(cat "$work/err")" = "Uso: corbix [--help | --version]" ] || fail "corbix $args: $(cat "$work/err")"
  [ ! -s "$work/out" ] || fail "corbix $args wrote on stdout: $(cat "$work/out")"
  nothing_written "corbix $args"
done

# Without a display that answers (none named, or one nobody serves), one
# Italian line says so, before anything is opened or written.
for shown in "" ":9999"; do
  if [ -n "$shown" ]; then
    run_without_display env DISPLAY="$shown" "$prefix/bin/corbix" -style Fusion
  else
    run_without_display "$prefix/bin/corbix"
  fi
  [ "$rc" -eq 1 ] || fail "corbix without a display ($shown): exit $rc $(cat "$work/err")"
  [ "$(cat "$work/err")" = "corbix: nessuno schermo raggiungibile: il programma ha bisogno di uno schermo grafico (DISPLAY o WAYLAND_DISPLAY)." ] \
    || fail "corbix without a display ($shown): $(cat "$work/err")"
  nothing_written "corbix without a display"
done

# A program folder whose archive is missing: the start-up says so and ends.
"$prefix/bin/corbix-sample-data" "$work/programma" >/dev/null || fail "corbix-sample-data failed"
rm "$work/programma/Archivio.mdb"
start_display
cd "$work/programma" || exit 1
env -u QT_QPA_PLATFORM ASAN_OPTIONS="$on_display_asan" DISPLAY="$display" HOME="$work/casa" "$prefix/bin/corbix" >"$work/out" 2>"$work/err" &
corbix=$!
# Each message is answered with Enter once it shows, until the program ends.
i=0
while kill -0 "$corbix" 2>/dev/null && [ $i -lt 150 ]; do
  for window in $(DISPLAY="$display" xdotool search --onlyvisible --name '^Corbix doganali$' 2>/dev/null); do
    DISPLAY="$display" xdotool windowfocus "$window" key Return 2>/dev/null
  done
  sleep 0.2
  i=$((i + 1))
done
if kill -0 "$corbix" 2>/dev/null; then
  fail "corbix did not end after its messages: $(cat "$work/out")"
fi
wait "$corbix"
rc=$?
corbix=
[ "$rc" -ne 0 ] || fail "corbix ended with 0 after a failed start"
# The reason the box gave is on the error output too.
grep -q "^Corbix doganali: Impossibile aprire l'archivio 'C:\\\\Archivio.mdb'\." "$work/err" \
  || fail "a failed start did not say why on stderr: $(cat "$work/err")"
exit 0
