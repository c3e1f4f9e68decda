#!/usr/bin/env bash
# Runs every benchmark program of the build and prints their figures.
set -uo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
fi
status=0
for b in "$build"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue # not the build's *_autogen folders
  echo "== $(basename "$b")"
  "$b" || status=1
done
exit $status
