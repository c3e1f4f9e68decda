#!/usr/bin/env bash
# The real window on a private X server, driven as a person would: three WayPoints and a
# two-point route made by clicks on a calibrated map, named by typing, exported through
# File > Export points into a GPX file, then Exit. The GPX must hold the coordinates of the
# clicked map pixels.
#   create-points-by-clicks.sh PATH/TO/gipso        (exit 77: Xvfb, xdotool or ImageMagick missing)
# E2E_SCREENSHOT=FILE.png keeps a picture of the screen as it was when a step failed.
set -euo pipefail
gipso=$(realpath "${1:?usage: $0 PATH/TO/gipso}")
for tool in Xvfb xdotool import perl; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
xvfb_pid='' gipso_pid=''
cleanup() {
  set +e # a process that has already ended must not keep the others running
  [ -n "$gipso_pid" ] && kill "$gipso_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap "exit 1" INT TERM HUP
fail() { echo "FAIL: $*" >&2; [ -n "${E2E_SCREENSHOT:-}" ] && timeout 10 import -window root "$E2E_SCREENSHOT"; [ -f "$work/gipso.log" ] && sed 's/^/gipso: /' "$work/gipso.log" >&2; exit 1; }
xdo() { timeout 10 xdotool "$@"; }
# Waits up to 15 s for a visible window titled exactly $1 (prints its id), or for none when $2 is "gone".
window() {
  local id
  for _ in $(seq 75); do
    id=$(xdo search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1) || true
    if [ "${2:-}" = gone ]; then [ -z "$id" ] && return 0; else [ -n "$id" ] && { echo "$id"; return 0; }; fi
    sleep 0.2
  done
  fail "window '$1' ${2:-never shown}"
}
keys() { local k; for k in "$@"; do xdo key "$k"; sleep 0.3; done; }

# The map: 400 x 300 pixels, north up; pixel (0,0) is 0.15 N 10 E and (400,300) 0.15 S 10.4 E.
# With the middle latitude at 0 the calibration is exactly linear: 0.001 degrees a pixel, so
# pixel (x, y) is latitude 0.15 - 0.001 y, longitude 10 + 0.001 x. Two marker pixels, magenta
# at (4,6) and cyan at (395,293), let the test find the map on the screen.
perl -e '
  my ($w, $h) = (400, 300); my $pix = "";
  for my $y (reverse 0 .. $h - 1) { for my $x (0 .. $w - 1) {    # BMP rows bottom-up, BGR
    $pix .= $x == 4 && $y == 6 ? "\xff\x00\xff" : $x == 395 && $y == 293 ? "\xff\xff\x00"
          : (($x >> 4) + ($y >> 4)) % 2 ? "\xc0\xe0\xd0" : "\xb0\xd0\xe0" } }
  print "BM", pack("VvvV", 54 + length $pix, 0, 0, 54), pack("VllvvVVllVV", 40, $w, $h, 1, 24, 0, length $pix, 2835, 2835, 0, 0);
  print $pix, pack("d<8", 0, 0, 400, -300, 10.0, 0.15, 10.4, -0.15);   # x1 yUp1 x2 yUp2 lon1 lat1 lon2 lat2
' >"$work/map.cal"

# A private configuration in English, and a private X server on a free display.
mkdir -p "$work/cfg" "$work/run" && chmod 700 "$work/run"
printf '[User %s]\r\nLanguage=2057\r\nCurrentDir=%s\r\n' "$(id -un)" "$work" >"$work/cfg/Gipso.cfg"
# -noreset: the server would otherwise start over whenever its last client leaves (each xdotool
# call), refusing a connection now and then while it does.
exec 3>"$work/display"
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.2; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb HOME="$work" LC_ALL=C.UTF-8
export GIPSO_CONFIG_DIR="$work/cfg" XDG_CONFIG_HOME="$work/cfg" XDG_RUNTIME_DIR="$work/run"
unset QT_QPA_PLATFORMTHEME SESSION_MANAGER
xdo mousemove 1 1 # the pointer stays off the map until the clicks: the cross-hair must not hide a marker

cd "$work"
"$gipso" "$work/map.cal" >"$work/gipso.log" 2>&1 &
gipso_pid=$!
main=$(window "map.cal - Gipso") # the title names the map
xdo windowmove "$main" 40 30 windowsize "$main" 720 560

# Where the map's pixel (0,0) is on the screen: from the markers, which must lie 391 x 287
# screen pixels apart (zoom 100%). Polled until the window shows the map where it was moved.
origin=''
for _ in $(seq 50); do
  read -r ax ay bx by < <(timeout 10 import -silent -window root -depth 8 rgb:- | perl -e '
    local $/; my $d = <STDIN>;
    for my $m ("\xff\x00\xff", "\x00\xff\xff") {  # the first whole pixel of the colour
      my $i = -1; 1 while ($i = index($d, $m, $i + 1)) >= 0 && $i % 3;
      print $i < 0 ? "-1 -1 " : ($i / 3) % 1024 . " " . int($i / 3 / 1024) . " " }') || true
  if [ "${ax:--1}" -ge 40 ] && [ "$ay" -ge 30 ] && [ $((bx - ax)) -eq 391 ] && [ $((by - ay)) -eq 287 ]; then
    origin="$((ax - 4)) $((ay - 6))"
    break
  fi
  sleep 0.2
done
[ -n "$origin" ] || fail "the map's markers are not on the screen 391 x 287 apart (found $ax,$ay and $bx,$by)"
read -r ox oy <<<"$origin"

# Clicks one map pixel in the current creation mode and names the new point in its dialog.
create() { # TITLE NAME X Y
  xdo mousemove $((ox + $3)) $((oy + $4)) click 1
  local dialog
  dialog=$(window "$1")
  xdo windowfocus "$dialog"; sleep 0.3
  xdo type --delay 40 "$2"; keys Return
  window "$1" gone
}
menu() { xdo windowfocus "$main"; sleep 0.3; keys "$@"; }

menu alt+w c # WayPoints > Dynamic Creation
create WayPoint WPA 60 50
create WayPoint WPB 200 120
create WayPoint WPC 330 230
menu alt+r c # RoutePoints > Dynamic Creation
create RoutePoint RTA 80 260
create RoutePoint RTB 300 70

menu alt+f f # File > Export points to File
dialog=$(window "Export WayPoints, RoutePoints and TrackPoints")
xdo windowfocus "$dialog"; sleep 0.3
xdo type --delay 20 "$work/points.gpx"; keys Return
window "Export WayPoints, RoutePoints and TrackPoints" gone
[ -s "$work/points.gpx" ] || fail "no points.gpx after the export"

menu alt+f e # File > Exit: everything is saved, so no question may stop it
for _ in $(seq 50); do kill -0 "$gipso_pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$gipso_pid" 2>/dev/null; then fail "still running 10 s after File > Exit (a question left open?)"; fi
wait "$gipso_pid" || fail "exit status $? after File > Exit"
gipso_pid=''

# Every point in the file's order: element, name, latitude and longitude.
perl -ne 'BEGIN { $/ = undef }
  while (/<(wpt|rtept|trkpt)\s[^>]*?lat="([^"]*)"[^>]*?lon="([^"]*)"[^>]*>.*?<name>(?:<!\[CDATA\[)?([^<\]]*)/sg) { print "$1 $4 $2 $3\n" }' \
  "$work/points.gpx" >"$work/found"
cat >"$work/expected" <<EOF
wpt WPA 60 50
wpt WPB 200 120
wpt WPC 330 230
rtept RTA 80 260
rtept RTB 300 70
EOF
# Within a quarter of a pixel (0.00025 degrees) of the clicked pixel's coordinates.
perl -e '
  open my $f, "<", $ARGV[0]; my @found = <$f>; open my $e, "<", $ARGV[1]; my @exp = <$e>; my $bad = 0;
  @found == @exp or ($bad = 1, print STDERR "found ", scalar @found, " points, expected ", scalar @exp, "\n");
  for my $i (0 .. $#exp) {
    my ($kind, $name, $x, $y) = split " ", $exp[$i]; my ($lat, $lon) = (0.15 - 0.001 * $y, 10 + 0.001 * $x);
    my ($fk, $fn, $flat, $flon) = split " ", $found[$i] // "- - nan nan";
    next if $fk eq $kind && $fn eq $name && abs($flat - $lat) < 0.00025 && abs($flon - $lon) < 0.00025;
    $bad = 1; printf STDERR "point %d: expected %s %s %.6f %.6f (pixel %d,%d), found %s", $i + 1, $kind, $name, $lat, $lon, $x, $y, $found[$i] // "nothing\n";
  }
  exit $bad' "$work/found" "$work/expected" || { sed 's/^/points.gpx: /' "$work/points.gpx" >&2; fail "the exported points are not where they were clicked"; }
echo "passed: 3 WayPoints and 2 RoutePoints clicked, exported and read back at their pixels"
