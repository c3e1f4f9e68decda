#!/usr/bin/env bash
# Runs the same gipso-cli work with two builds and compares everything they produce: standard
# output, messages and exit codes, exported point files, saved maps, rendered PNGs, downloads,
# uploads and the packet logs of --verbose, against each build's own simulated receiver.
# Used when code is reorganised: nothing a user sees may change.
#   scripts/compare-builds.sh OLD_BUILD_DIR NEW_BUILD_DIR [WORK_DIR]
# Exits 0 when both builds produced identical results. Needs faketime, so that the points a
# download stamps with the current time carry the same time in both runs.
set -uo pipefail
old=$(realpath "$1") new=$(realpath "$2")
work=${3:-$(mktemp -d)}
here=$(cd "$(dirname "$0")/.." && pwd)
testdata=${GIPSO_TESTDATA:-$here/../shared/testdata}
command -v faketime >/dev/null || { echo "compare-builds: faketime is missing (apt-get install faketime)" >&2; exit 2; }
mkdir -p "$work"
export GIPSO_CONFIG_DIR="$work/config" LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen
mkdir -p "$GIPSO_CONFIG_DIR"

# A calibrated test map: a 24-bit BMP with the 64-byte calibration trailer of a .cal file.
python3 - "$work/input" <<'EOF'
import os, struct, sys
d = sys.argv[1]; os.makedirs(d, exist_ok=True)
w, h = 320, 240
row = (w * 3 + 3) & ~3
pixels = bytearray()
for y in range(h):
    line = bytearray()
    for x in range(w):
        line += bytes(((x * 7 + y) & 255, (y * 5) & 255, ((x ^ y) * 3) & 255))
    pixels += line + bytes(row - len(line))
header = b'BM' + struct.pack('<IHHI', 54 + len(pixels), 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
bmp = header + info + pixels
open(os.path.join(d, 'map.bmp'), 'wb').write(bmp)
# x1 yUp1 x2 yUp2 lon1 lat1 lon2 lat2
open(os.path.join(d, 'map.cal'), 'wb').write(bmp + struct.pack('<8d', 20, -20, 300, -220, 13.9, 46.0, 14.3, 45.8))
EOF

cli() { FAKETIME_DONT_FAKE_MONOTONIC=1 faketime -f '2026-03-04 10:20:30' "$cli_bin" "$@"; }

run_with() {
    local build=$1 out=$2
    cli_bin=$build/gipso-cli
    local sim=(env FAKETIME_DONT_FAKE_MONOTONIC=1 faketime -f "2026-03-04 10:20:30" "$build/tools/gipso-gpssim")
    mkdir -p "$out"
    cd "$out" || exit 2
    step() { # name, command...: records output and exit code
        local name=$1; shift
        "$@" >"$name.out" 2>"$name.err"
        echo $? >"$name.rc"
    }
    for f in "$testdata"/gpx/*.gpx; do
        b=$(basename "$f" .gpx)
        step "info-$b" cli info "$f"
        step "gpx2txt-$b" cli convert "$f" "$b.txt"
        step "gpx2gpx-$b" cli convert "$f" "$b.gpx"
        step "txt2gpx-$b" cli convert "$b.txt" "$b.back.gpx"
    done
    step info-missing cli info "$work/input/none.gpx"
    step convert-bad cli convert "$work/input/map.bmp" bad.gpx
    step usage cli
    step map-bmp cli map "$work/input/map.bmp"
    step map-cal cli map "$work/input/map.cal"
    step map-save-cal cli map "$work/input/map.cal" --save saved.cal
    step map-save-gipso cli map "$work/input/map.cal" --save saved.Gipso
    step map-gipso cli map saved.Gipso
    mkdir -p gipso-members && (cd gipso-members && unzip -qo ../saved.Gipso) && rm -f saved.Gipso
    step map-save-bad cli map "$work/input/map.cal" --save saved.png
    step render cli render "$work/input/map.cal" "$testdata/gpx/korita-zbevnica.gpx" "$testdata/gpx/route.gpx" -o render.png --size 300x200
    step render-zoom cli render saved.cal "$testdata/gpx/gpx1.0_with_all_fields.gpx" -o render2.png --size 200x150 --zoom 2 --scroll 10,20

    # Transfers against this build's simulator.
    local points=$testdata/gpx/gpx1.0_with_all_fields.gpx
    "${sim[@]}" --points "$points" --record "$out/recorded.gpx" >sim.port 2>sim.log &
    local simpid=$!
    for _ in $(seq 50); do [ -s sim.port ] && break; sleep 0.1; done
    port=$(head -1 sim.port)
    [ -n "$port" ] || { echo "compare-builds: the simulator of $build did not start" >&2; exit 2; }
    for what in waypoints route tracks; do
        step "download-$what" cli download $what --port "$port" --verbose -o "down-$what.gpx"
    done
    step upload-waypoints cli upload waypoints --port "$port" --verbose "$testdata/gpx/korita-zbevnica.gpx"
    step upload-route cli upload route --port "$port" --verbose "$testdata/gpx/route.gpx"
    step download-after-upload cli download waypoints --port "$port" -o down-after.txt
    kill $simpid 2>/dev/null; wait $simpid 2>/dev/null

    "${sim[@]}" --nmea-log "$testdata/nmea/garmin48.log" --nmea-interval 0 >nmea.port 2>/dev/null &
    simpid=$!
    for _ in $(seq 50); do [ -s nmea.port ] && break; sleep 0.1; done
    step nmea cli nmea --port "$(head -1 nmea.port)" --interval 0 --count 5 --verbose -o nmea.gpx
    kill $simpid 2>/dev/null; wait $simpid 2>/dev/null
    step download-dead cli download waypoints --port /dev/null/none -o none.gpx
    rm -f sim.port nmea.port sim.log
    # The pseudo-terminal's path differs between runs.
    sed -i -E 's#/dev/pts/[0-9]+#/dev/pts/N#g' ./*.err ./*.out
    cd - >/dev/null || exit 2
}

run_with "$old" "$work/old"
run_with "$new" "$work/new"
if diff -r "$work/old" "$work/new" >"$work/diff.txt"; then
    echo "compare-builds: identical ($(find "$work/old" -type f | wc -l) files compared in $work)"
    exit 0
fi
echo "compare-builds: differences (see $work/diff.txt):"
head -40 "$work/diff.txt"
exit 1
