#!/usr/bin/env bash
# A library sees, by their paths from the root, its own headers and those of
# the libraries it links, and no other: a file planted in a library that
# includes a header of a folder above it, or a window's header in a
# widget-free library, is not compiled, the header not found; one that
# includes a header the library may use is.
#   staged_includes_test.sh COMPILER CASE...
# where a CASE is LIBRARY|HEADER|found or missing|the library's include
# folders, ":" between them.
set -uo pipefail
compiler=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

for case in "$@"; do
  IFS='|' read -r library header expected folders <<<"$case"
  printf '#include "%s"\n' "$header" >"$scratch/planted.cpp"
  flags=()
  IFS=':' read -ra includes <<<"$folders"
  for folder in "${includes[@]}"; do
    flags+=(-I "$folder")
  done
  output=$("$compiler" -std=c++20 -fPIC -fsyntax-only "${flags[@]}" "$scratch/planted.cpp" 2>&1)
  code=$?
  if [[ $expected == found ]]; then
    if [[ $code -ne 0 ]]; then
      printf 'FAIL %s + "%s": not compiled\n%s\n' "$library" "$header" "$output"
      failures=$((failures + 1))
    fi
  elif [[ $code -eq 0 || $output != *"fatal error: $header: No such file or directory"* ]]; then
    printf 'FAIL %s + "%s": expected the header not found, got %s\n%s\n' "$library" "$header" "$code" "$output"
    failures=$((failures + 1))
  fi
done

exit $((failures > 0))
