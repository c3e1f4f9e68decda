#!/bin/sh
# Fuzzes the text point file and GPX readers for a bounded time with libFuzzer.
# Usage: tools/fuzz/run.sh [seconds]   (default 60). Not part of the test run.
# Needs clang with libFuzzer; says it skipped otherwise.
set -eu

seconds=${1:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=${GIPSO_FUZZ_DIR:-$root/build-fuzz}

cxx=""
for c in clang++ clang++-14 clang clang-14; do
    if command -v "$c" >/dev/null 2>&1; then
        cxx=$c
        break
    fi
done
if [ -z "$cxx" ]; then
    echo "fuzz: skipped (no clang found)"
    exit 0
fi
mkdir -p "$work/corpus"
probe="$work/probe.cpp"
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }\n' >"$probe"
if ! "$cxx" -x c++ -fsanitize=fuzzer "$probe" -o "$work/probe" >/dev/null 2>&1; then
    echo "fuzz: skipped ($cxx has no libFuzzer)"
    exit 0
fi
if ! pkg-config --exists Qt6Core Qt6Gui; then
    echo "fuzz: skipped (Qt 6 development files not found by pkg-config)"
    exit 0
fi

# The readers and what they use of the base library, with the fuzzer and the sanitizers.
sources="$root/tools/fuzz/fuzz_pointfiles.cpp $root/files/FileIO.cpp $root/files/GpxFile.cpp
 $root/files/TextPointFile.cpp $root/files/PointFiles.cpp $root/base/TextCodec.cpp $root/base/SafeFile.cpp
 $root/base/DateValue.cpp $root/base/Clock.cpp $root/points/PointStore.cpp"
# shellcheck disable=SC2086
"$cxx" -x c++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -DGIPSO_VERSION_MAJOR=2 -DGIPSO_VERSION_MINOR=6 -I"$root" $(pkg-config --cflags Qt6Core Qt6Gui) \
    $sources -o "$work/fuzz_pointfiles" $(pkg-config --libs Qt6Core Qt6Gui) -lstdc++

# Seeds: the real files of the test data, when present.
data=${GIPSO_TESTDATA:-$root/../shared/testdata}
if [ -d "$data/gpx" ]; then
    cp "$data"/gpx/*.gpx "$work/corpus/" 2>/dev/null || true
fi
printf 'Gipso 2.6 - x\r\n\r\n\r\nWP, CASA  ,   45.4640000000,    9.1900000000,   122.00, 05/12/2026, 17:44:27, home\r\n' \
    >"$work/corpus/seed.txt"

echo "fuzz: running for $seconds s in $work"
cd "$work"
./fuzz_pointfiles -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 corpus
