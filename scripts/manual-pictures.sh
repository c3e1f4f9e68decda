#!/usr/bin/env bash
# Makes the pictures of the user manual (data/manual/*.png) again from the program itself, in
# English and Italian: run it after a change to the main window, the calibration dialog or
# the options, then look at the pictures and commit them.
#   scripts/manual-pictures.sh [BUILD_DIR]     (default: build, or $GIPSO_BUILD_DIR)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-${GIPSO_BUILD_DIR:-build}}
[ -f "$build_dir/build.ninja" ] || [ -f "$build_dir/Makefile" ] ||
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --target gipso-manual-pictures -j 2
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
# Offscreen, with the fonts of fonts-dejavu-core, so the pictures do not depend on a desktop.
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$runtime GIPSO_DATA_DIR=$PWD/data \
  "$build_dir/gipso-manual-pictures" data/manual
