#!/usr/bin/env bash
# Writes the first inputs of every fuzz target into tools/fuzz/corpus/TARGET/: point files and
# GPX of our own, what the simulated receiver sends in every transfer and as NMEA, small maps of
# each kind and the configuration files. run.sh then keeps what adds coverage. The shared test
# data is not copied here: run.sh reads it as further seeds. Needs the normal build (build/, or
# GIPSO_BUILD_DIR).
#   tools/fuzz/seeds.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
bin=${GIPSO_BUILD_DIR:-$root/build}
corpus=$root/tools/fuzz/corpus
cli=$bin/gipso-cli
sim=$bin/tools/gipso-gpssim
for p in "$cli" "$sim"; do
    [ -x "$p" ] || { echo "seeds: $p missing (build the program first)" >&2; exit 1; }
done
work=$(mktemp -d)
sim_pid=
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen GIPSO_CONFIG_DIR=$work/config

# Bytes of hex text (blanks ignored).
unhex() {
    local hex
    hex=$(tr -d ' \r\n')
    # shellcheck disable=SC2059
    printf "$(sed -E 's/(..)/\\x\1/g' <<<"$hex")"
}
seed() { mkdir -p "$corpus/$1" && cat >"$corpus/$1/$2"; }

# Point files: all three kinds, a Windows-1252 name and description, two tracks; GPX with
# the cases its reader handles (CDATA, entities, either quote, elements closed in their start
# tag, tracks and segments); and each converted to the other format by gipso-cli.
points=$work/points.txt
printf '%s\r\n' 'Gipso 2.6 - x' '' '' \
    'WP, CASA  ,   45.4640000000,    9.1900000000,   122.00, 05/12/2026, 17:44:27, home' \
    'WP, CITT'$'\xc0'' ,  -33.8600000000,  151.2100000000,    -3.50, 29/02/2024, 23:59:59, caff'$'\xe8' \
    '' \
    'RP, R1    ,   45.0000000000,    9.0000000000,     0.00, 01/01/2000, 00:00:00, ' \
    'RP, R2    ,   45.1000000000,    9.1000000000,    10.00, 01/01/2000, 00:00:01, ' \
    '' \
    'TP,    45.0000000000,    9.0000000000,   100.00, 12/05/2026, 17:44:27, first track' \
    'TP,    45.0010000000,    9.0010000000,   101.00, 12/05/2026, 17:44:37, ' \
    'TP,    46.0000000000,   10.0000000000,   200.00, 13/05/2026, 08:00:00, second track' \
    'TP,    46.0010000000,   10.0010000000,   201.00, 13/05/2026, 08:00:10, ' >"$points"
seed textfile points.txt <"$points"
"$cli" convert "$points" "$work/points.gpx" >/dev/null 2>&1
seed gpx points.gpx <"$work/points.gpx"
cat >"$work/cases.gpx" <<'GPX'
<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="fuzz" xmlns="http://www.topografix.com/GPX/1/1">
<wpt lat="45.464" lon="9.19"><ele>122</ele><time>2026-05-12T17:44:27Z</time><name><![CDATA[CASA]]></name><desc>home &amp; garden &#233;&#x20AC;</desc></wpt>
<wpt lat='-33.86' lon='151.21'>
<name>CITTA</name>
</wpt>
<rte><name>R</name><rtept lat="45" lon="9"><name>R1</name></rtept><rtept lat="45.1" lon="9.1"><name>R&lt;2&gt;</name><cmt>c</cmt></rtept></rte>
<trk><name>first</name><trkseg><trkpt lat="45" lon="9"><ele>100</ele><time>2026-05-12T17:44:27Z</time></trkpt><trkpt lat="45.001" lon="9.001"></trkpt></trkseg>
<trkseg><trkpt lat="45.002" lon="9.002"><desc><![CDATA[a]]><![CDATA[b]]></desc></trkpt></trkseg></trk>
<trk><trkseg><trkpt lat="46" lon="10"></trkpt></trkseg></trk>
</gpx>
GPX
printf '%s\n' '<gpx version="1.0">' '<wpt lat="1" lon="2"/>' \
    '<trk><trkseg><trkpt lat="3" lon="4"/><trkpt lat="5" lon="6"/></trkseg></trk>' '</gpx>' |
    seed gpx closed-in-start-tag.gpx
seed gpx cases.gpx <"$work/cases.gpx"
"$cli" convert "$work/cases.gpx" "$work/cases.txt" >/dev/null 2>&1
seed textfile cases.txt <"$work/cases.txt"

# What the simulated receiver sends in each transfer: the "<--" lines of the verbose log, with
# the DLE of size, data and checksum doubled again as on the wire.
wire() {
    grep '^<-- [0-9A-F]*$' | sed 's/^<-- //' |
        awk '{ n = length($0) / 2; out = substr($0, 1, 4)
               for (i = 3; i <= n - 2; i++) { b = substr($0, 2 * i - 1, 2); out = out b; if (b == "10") out = out b }
               print out substr($0, 2 * n - 3, 4) }' | unhex
}
# The simulated receiver on a new pseudo-terminal; its path in $port.
start_sim() {
    rm -f "$work/sim.out"
    "$sim" --points "$points" "$@" >"$work/sim.out" 2>/dev/null &
    sim_pid=$!
    for _ in $(seq 50); do grep -qs '^/dev/' "$work/sim.out" && break; sleep 0.1; done
    port=$(head -1 "$work/sim.out")
}
stop_sim() {
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=
}
transfer() { # SELECTOR NAME ARGS...: one transfer against a new simulator, seeded both ways
    local selector=$1 name=$2
    shift 2
    start_sim "${SIM_ARGS[@]}"
    "$cli" "$@" --port "$port" --verbose 2>"$work/log" >/dev/null ||
        { echo "seeds: $name: gipso-cli failed:" >&2; tail -3 "$work/log" >&2; exit 1; }
    stop_sim
    wire <"$work/log" >"$work/bytes"
    { printf "\\x$selector"; cat "$work/bytes"; } | seed transfers "$name"
    { printf '\x00'; cat "$work/bytes"; } | seed packets "$name"
}
SIM_ARGS=()
transfer 00 waypoints download waypoints -o "$work/w.gpx"
transfer 01 route download route -o "$work/r.gpx"
transfer 02 tracks download tracks -o "$work/t.gpx"
transfer 03 upload-waypoints upload waypoints "$points"
transfer 04 upload-route upload route "$points"
SIM_ARGS=(--fault dle --fault checksum@3 --fault trailer@4)
transfer 32 tracks-dle-faults download tracks -o "$work/t.gpx"

# NMEA as the simulated receiver streams it, and sentences without a fix, with a wrong
# checksum, without one, south and west; the first byte is the target's set-up (fuzz_nmea.cpp).
start_sim --nmea both --nmea-interval 0
"$cli" nmea --port "$port" --interval 0 --count 4 --verbose -o "$work/n.gpx" 2>"$work/log" >/dev/null
stop_sim
{
    grep '^<-- \$' "$work/log" | sed 's/^<-- //; s/$/\r/'
    printf '%s\r\n' '$GPGGA,120000.00,,,,,0,00,99.9,,M,,M,,' '$GPRMC,120000.00,V,,,,,,,120526,,' \
        '$GPGGA,235960.50,3351.6000,S,15112.6000,W,2,05,1.5,-12.5,M,0.0,M,,*00' \
        '$GNRMC,235960.50,A,3351.6000,S,15112.6000,W,0.0,0.0,311299,,' '$GPGSV,3,1,12*70'
} >"$work/nmea"
{ printf '\x00'; cat "$work/nmea"; } | seed nmea gga
{ printf '\x01'; cat "$work/nmea"; } | seed nmea rmc
{ printf '\x38'; cat "$work/nmea"; } | seed nmea gga-end-chunk3

# Maps: a 4 x 4 BMP, a 1 x 1 GIF, the JPEG and PNG the program makes of them, ".cal" files
# (picture + eight little-endian doubles: pixels (0, 0) and (3, -3) at 46N 9E and 45N 10E)
# and ".Gipso" containers as the program writes them, and with the calibration stored.
bmp=$work/map.bmp
{
    echo '424D 66000000 0000 0000 36000000 28000000 04000000 04000000 0100 1800 00000000 30000000'
    echo '130B0000 130B0000 00000000 00000000'
    for row in 1 2 3 4; do echo '0000FF 00FF00 FF0000 FFFFFF'; done
} | unhex >"$bmp"
printf 'GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;' \
    >"$work/map.gif"
trailer=$work/trailer
echo '0000000000000000 0000000000000000 0000000000000840 00000000000008C0
      0000000000002240 0000000000004740 0000000000002440 0000000000804640' | unhex >"$trailer"
cat "$bmp" "$trailer" >"$work/bmp.cal"
"$cli" map "$work/bmp.cal" --save "$work/map.Gipso" >/dev/null
unzip -p "$work/map.Gipso" '*.jpg' >"$work/map.jpg"
"$cli" render "$work/bmp.cal" -o "$work/map.png" --size 4x4 >/dev/null
for f in map.bmp map.gif map.jpg map.png; do
    seed picture "$f" <"$work/$f"
    cat "$work/$f" "$trailer" | seed cal "$f.cal"
done
seed container map.Gipso <"$work/map.Gipso"
{ unzip -p "$work/map.Gipso" '*.txt'; printf '\x00'; cat "$work/map.jpg"; } | seed container members
if command -v zip >/dev/null 2>&1; then
    mkdir "$work/members"
    (cd "$work/members" && unzip -q "$work/map.Gipso" && zip -q -0 "$work/stored.Gipso" ./*)
    seed container stored.Gipso <"$work/stored.Gipso"
fi

# Configuration: the language list, a user's section with every key, and both in one file
# (fuzz_config.cpp reads its input as Gipso.cfg and as Gipso.lng).
cfg=$work/Gipso.cfg
printf '%s\r\n' '[Install]' 'Language=2057' '' '[User fuzz]' 'Language=2057' 'SerialPort=1' 'WayPointColor=FF' \
    'RouteColor=0' 'TrackColor=FF0000' 'CharDimension=16' 'LineThickness=2' 'CursorThickness=1' 'SymbolDim=6' \
    'WayPointSymbol=1' 'WayPointName=1' 'RoutePointSymbol=1' 'RoutePointName=1' 'RouteHeadings=1' \
    'RouteLengths=0' 'TrackPointSymbol=1' 'TrackPointName=1' 'AutoTrackPointColor=1' 'IgnoreTxTDescription=1' \
    'IgnoreGPXDescription=1' 'Units=-1' 'NMEASentence=1' 'NMEATime=20' 'WindowLeft=105' 'WindowTop=105' \
    'WindowWidth=9225' 'WindowHeight=5115' 'WindowMax=0' 'CurrentDir="/home/fuzz"' 'LastMap1=/home/fuzz/a.Gipso' \
    '' '[User other]' '; kept as it is' 'Language=1040' >"$cfg"
seed config Gipso.lng <"$root/data/Gipso.lng"
seed config Gipso.cfg <"$cfg"
cat "$root/data/Gipso.lng" "$cfg" | seed config both

du -sh "$corpus"/*
