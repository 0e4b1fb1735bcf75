#!/usr/bin/env bash
# Starts the application in a sample program folder: BUILD/sample, made with
# corbix-sample-data the first time. Called by `make run`, which has already
# installed what is missing and built; run alone, it builds first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac

if [ ! -x "$build/app/corbix" ] || [ ! -x "$build/tools/corbix-sample-data" ]; then
  make -C "$root" build BUILD="$build"
fi

sample="$build/sample"
if [ ! -e "$sample/CORBIX.INI" ]; then
  "$build/tools/corbix-sample-data" "$sample"
fi

if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: run it from a desktop session, or under xvfb-run." >&2
  exit 1
fi

# The program folder is the current folder.
cd "$sample"
exec "$build/app/corbix"
