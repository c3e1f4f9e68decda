#!/usr/bin/env bash
# Fuzzes every reader of outside input with libFuzzer, AddressSanitizer and UBSan.
#   tools/fuzz/run.sh SECONDS [TARGET...]
# TARGET is one of the names below (default: all), each run for SECONDS, one after the other.
# Builds in build-fuzz/ (GIPSO_FUZZ_BUILD_DIR) with clang, starts from tools/fuzz/corpus/TARGET
# and leaves it there minimised; crashes, hangs, leaks and running out of memory are saved
# under tools/fuzz/findings/TARGET/ (reproduce with: build-fuzz/tools/fuzz/fuzz_TARGET FILE).
# The test run does not use it. The first inputs came from tools/fuzz/seeds.sh.
set -euo pipefail

all="textfile gpx nmea packets transfers cal container picture config"
if [ $# -lt 1 ] || ! [ "$1" -gt 0 ] 2>/dev/null; then
    echo "usage: $0 SECONDS [TARGET...]   targets: $all" >&2
    exit 2
fi
seconds=$1
shift
targets=${*:-$all}

root=$(cd "$(dirname "$0")/../.." && pwd)
fuzz=$root/tools/fuzz
build=${GIPSO_FUZZ_BUILD_DIR:-$root/build-fuzz}
data=${GIPSO_TESTDATA:-$root/../shared/testdata}

# Largest input of each target: files of a few megabytes, packets of a few kilobytes.
max_len() {
    case $1 in
        textfile | gpx) echo 2097152 ;;
        cal | container | picture) echo 4194304 ;;
        config) echo 1048576 ;;
        nmea) echo 262144 ;;
        transfers) echo 65536 ;;
        packets) echo 4096 ;;
        *) return 1 ;;
    esac
}
# Largest input kept in the corpus: larger ones are fuzzed but not kept, so the repository stays lean.
keep_len() {
    case $1 in
        textfile | gpx | config) echo 65536 ;;
        cal | container | picture) echo 262144 ;;
        *) max_len "$1" ;;
    esac
}
dictionary() {
    case $1 in
        textfile) echo text ;;
        gpx) echo gpx ;;
        nmea) echo nmea ;;
        config) echo ini ;;
    esac
}
# Further seeds from the shared test data: its GPX and NMEA files up to 16 KB (larger ones slow
# every execution down), linked into a folder of the run, never copied into the corpus.
shared() {
    case $1 in
        gpx | nmea) [ -d "$data/$1" ] || return 0 ;;
        *) return 0 ;;
    esac
    if [ ! -d "$work/shared-$1" ]; then
        mkdir "$work/shared-$1"
        find "$data/$1" -type f -size -16385c -exec ln -s -t "$work/shared-$1" {} +
    fi
    echo "$work/shared-$1"
}
for t in $targets; do
    max_len "$t" >/dev/null || { echo "fuzz: unknown target '$t' (targets: $all)" >&2; exit 2; }
done

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz: skipped (clang++ not found)"
    exit 0
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }\n' >"$probe/p.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" >/dev/null 2>&1; then
    echo "fuzz: skipped (clang++ has no libFuzzer)"
    exit 0
fi

if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DGIPSO_FUZZ=ON -DGIPSO_TESTS=OFF -DGIPSO_BENCH=OFF >/dev/null
fi
# shellcheck disable=SC2086
ninja -C "$build" -j2 $(for t in $targets; do echo "fuzz_$t"; done) >/dev/null

# The inputs of the readers that take a path go to a private folder in memory.
work=$(mktemp -d /dev/shm/gipso-fuzz.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$probe" "$work"' EXIT

# Re-runs a finding alone and writes FILE.txt: its signature (the kind, the target's own
# message, the first frames in the program's sources), the sanitizer's summary and the frames.
describe() {
    local t=$1 f=$2 out kind message frames
    out=$(UBSAN_OPTIONS=print_stacktrace=1 TMPDIR=$work/tmp-$t timeout 300 "$build/tools/fuzz/fuzz_$t" \
        -timeout=10 -rss_limit_mb=2048 "$f" 2>&1 || true)
    kind=$(grep -m1 -oE '(ERROR: [A-Za-z]+: [a-z-]+( [a-z-]+)*|runtime error)' <<<"$out" || echo "unknown")
    message=$(grep -m1 -oE 'gipso fuzz: .*' <<<"$out" || true)
    frames=$(grep -E '^ *#[0-9]+ 0x[0-9a-f]+ in ' <<<"$out" |
        grep -oE ' in .* /\S*/(base|geo|points|state|files|map|gps)/[A-Za-z]+\.(cpp|h):[0-9]+' |
        sed -E 's#^ in ##; s# /\S*/(base|geo|points|state|files|map|gps)/# \1/#' | head -3 || true)
    {
        echo "signature: $kind | $message | $(paste -sd ';' <<<"$frames")"
        grep -m1 -E 'SUMMARY: |runtime error: ' <<<"$out" || true
        grep -E '^ *#[0-9]+ 0x[0-9a-f]+ in ' <<<"$out" | grep -vE 'libFuzzer|fuzzer::|libc\.so|_start' | head -12 || true
    } | sed -E "s|$root/||g; s| \(BuildId: [0-9a-f]+\)||" >"$f.txt"
}

# "COV/FT" of the pass over a corpus in LOG, "?" when it did not finish.
coverage() {
    local c
    c=$(sed -nE 's/.*INITED cov: ([0-9]+) ft: ([0-9]+).*/\1\/\2/p' "$1" | tail -1)
    echo "${c:-?}"
}

summary=()
cd "$work" # libFuzzer writes what its replays and merges find into the current folder
for t in $targets; do
    corpus=$fuzz/corpus/$t
    findings=$fuzz/findings/$t
    mkdir -p "$corpus" "$findings" "$work/new-$t" "$work/tmp-$t" "$work/merged-$t" "$work/found-$t"
    opts=(-max_len="$(max_len "$t")" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1)
    d=$(dictionary "$t")
    [ -n "$d" ] && opts+=(-dict="$fuzz/dict/$d.dict")
    echo "fuzz: $t for $seconds s"
    # The corpus first, once: an input that fails after a change of the program is a finding
    # too (the fuzzing below silently leaves such inputs out).
    UBSAN_OPTIONS=print_stacktrace=1 TMPDIR=$work/tmp-$t "$build/tools/fuzz/fuzz_$t" "${opts[@]}" -runs=0 \
        -artifact_prefix="$work/found-$t/" "$corpus" >"$work/$t.corpus.log" 2>&1 || true
    # One worker at a time (the machine is shared); a finding does not end the run.
    UBSAN_OPTIONS=print_stacktrace=1 TMPDIR=$work/tmp-$t "$build/tools/fuzz/fuzz_$t" "${opts[@]}" -fork=1 \
        -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -artifact_prefix="$work/found-$t/" \
        -max_total_time="$seconds" "$work/new-$t" "$corpus" $(shared "$t") >"$work/$t.log" 2>&1 || true
    # Minimised into a fresh folder: only inputs that add coverage stay in the repository, and
    # only what the shared test data does not cover already (it is put there first, then taken out).
    mkdir -p "$work/aside-$t"
    find "$corpus" "$work/new-$t" -type f -size +"$(keep_len "$t")"c -exec mv -t "$work/aside-$t" --backup=numbered {} +
    s=$(shared "$t")
    if [ -n "$s" ]; then
        for f in "$s"/*; do cp "$f" "$work/merged-$t/shared-$(basename "$f")"; done
        # Nor a new input that holds 47 characters in a row of it (one of the 24-character pieces
        # its lines are cut into), unless the corpus, which holds none of it, holds that piece too
        # (an XML declaration and the like).
        awk '{ sub(/\r$/, ""); for (i = 1; i + 23 <= length($0); i += 24) print substr($0, i, 24) }' "$s"/* |
            LC_ALL=C sort -u >"$work/pieces-$t"
        { grep -ahoF -f "$work/pieces-$t" "$corpus"/* || true; } | LC_ALL=C sort -u >"$work/ours-$t"
        LC_ALL=C comm -23 "$work/pieces-$t" "$work/ours-$t" >"$work/theirs-$t"
        { grep -alF -f "$work/theirs-$t" "$work/new-$t"/* || true; } | xargs -r mv -t "$work/aside-$t" --backup=numbered
    fi
    TMPDIR=$work/tmp-$t "$build/tools/fuzz/fuzz_$t" "${opts[@]}" -merge=1 \
        "$work/merged-$t" "$corpus" "$work/new-$t" >"$work/$t.merge.log" 2>&1 || true
    rm -f "$work/merged-$t"/shared-*
    if grep -q 'MERGE-OUTER: [0-9]* new files' "$work/$t.merge.log" && [ -n "$(ls "$work/merged-$t")" ]; then
        rm -rf "$corpus"
        mv "$work/merged-$t" "$corpus"
    fi
    # Every fault once: a finding whose signature is known already (for any target) is dropped.
    found=0
    for f in "$work/found-$t"/*; do
        [ -f "$f" ] && [ "${f%.txt}" = "$f" ] || continue
        describe "$t" "$f"
        sig=$(head -1 "$f.txt")
        if ! grep -qsxF "$sig" "$fuzz"/findings/*/*.txt; then
            mv "$f" "$f.txt" "$findings/"
            found=$((found + 1))
            sed -n 1,2p "$findings/$(basename "$f").txt" | sed 's/^/    /'
        fi
    done
    # Executions from the last status line of the run ("#EXECS: cov: ... time: Ss"); coverage
    # of the corpus before and after, from a pass over it ("#N INITED cov: C ft: F corp: ...").
    status=$(grep -E '^#[0-9]+: +cov: ' "$work/$t.log" | tail -1 || true)
    execs=$(sed -nE 's/^#([0-9]+):.*/\1/p' <<<"$status")
    secs=$(sed -nE 's/.* time: ([0-9]+)s.*/\1/p' <<<"$status")
    faults=$(sed -nE 's|.*oom/timeout/crash: ([0-9/]+).*|\1|p' <<<"$status")
    TMPDIR=$work/tmp-$t "$build/tools/fuzz/fuzz_$t" "${opts[@]}" -runs=0 "$corpus" >"$work/$t.after.log" 2>&1 || true
    bytes=$(find "$corpus" -type f -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }')
    rate=$((${execs:-0} / (${secs:-0} > 0 ? ${secs:-1} : 1)))
    line=$(printf '%-10s %9s execs %6s/s  cov/ft %11s -> %-11s corpus %4s files %8s bytes  ' "$t" "${execs:-?}" \
        "$rate" "$(coverage "$work/$t.corpus.log")" "$(coverage "$work/$t.after.log")" "$(ls "$corpus" | wc -l)" "$bytes")
    line+="oom/timeout/crash ${faults:-?}, new findings $found"
    echo "$line"
    summary+=("$line")
    cp "$work/$t.log" "$build/fuzz-$t.log"
done

echo
echo "fuzz: summary (logs in $build/fuzz-TARGET.log; findings in tools/fuzz/findings/TARGET/)"
printf '%s\n' "${summary[@]}"
