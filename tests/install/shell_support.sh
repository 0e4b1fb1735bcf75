# What the shell tests of the installed programs share, sourced by each: a
# work folder of their own, removed at the end; fail; a virtual display
# started on demand; and only what the test started stopped, also when the
# test is stopped.
work=$(mktemp -d)
xvfb=
corbix=
trap '[ -n "$corbix" ] && kill "$corbix" 2>/dev/null; [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
fail() { echo "$*" >&2; exit 1; }

# Starts Xvfb on a display number of its own choosing, left in $display.
start_display() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  i=0
  while [ ! -s "$work/display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  display=":$(cat "$work/display")"
}

# Runs a program as a terminal without a display meets it, HOME being
# $work/casa: its output in $work/out and $work/err, its exit code in $rc.
run_without_display() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work/casa" "$@" >"$work/out" 2>"$work/err"
  rc=$?
}

# Fails when anything was written in the empty folder or the home folder.
nothing_written() {
  written=$(find "$work/vuota" "$work/casa" -mindepth 1)
  [ -z "$written" ] || fail "$1 wrote: $written"
}

# Under the sanitizer build, a program on an X display meets a read in the
# keyboard library Qt's X platform uses (libxkbcommon-x11 copies a name with
# strndup from a buffer that does not end it), which strict string checks
# report; that one check is left out for the programs started on a display,
# every other check stays.
on_display_asan="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0"
