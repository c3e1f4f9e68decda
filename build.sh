#!/usr/bin/env bash
# Gipso: install what is missing, build, then start the program or run every test.
#   ./build.sh run [FILE...]   install, build and start the program
#   ./build.sh test            install, build and run every test
#   ./build.sh build           install and build only
#   ./build.sh bench           install, build and run the benchmarks
#   ./build.sh package         install, build and make the Debian package (BUILD/gipso_VERSION_ARCH.deb)
set -euo pipefail
cd "$(dirname "$0")"
action=${1:-build}
[ $# -gt 0 ] && shift

scripts/install-deps.sh

build_dir=${GIPSO_BUILD_DIR:-build}
if [ ! -f "$build_dir/build.ninja" ]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
jobs=$(nproc 2>/dev/null || echo 2)
cmake --build "$build_dir" -j "$jobs"

case "$action" in
  run)
    exec "$build_dir/gipso" "$@" ;;
  test)
    export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
    chmod 700 "$XDG_RUNTIME_DIR"
    cd "$build_dir"
    exec ctest --output-on-failure -j "$jobs" --timeout 600 ;;
  bench)
    exec bench/run.sh "$build_dir" ;;
  package)
    exec cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$build_dir" ;;
  build) ;;
  *) echo "usage: $0 run [FILE...] | test | build | bench | package" >&2; exit 2 ;;
esac
