#!/usr/bin/env bash
# Gipso as installed: `cmake --install` into a private root (ROOT/usr), then what a desktop, a
# user and the Debian package find there. One check per call:
#   check.sh CHECK BUILD ROOT VERSION PROBE
#     install          cmake --install BUILD into ROOT/usr (the others need it first)
#     files            every file in place, and nothing of the build's own
#     desktopentry     desktop-file-validate, and the entry's program, icon and MIME types exist
#     appstream        appstreamcli validate-tree; the newest release is VERSION
#     mimetypes        .Gipso and .cal known by name, other ZIP and BMP files left alone
#     manpages         the manual pages format without warnings and name every command and option
#     completion       bash completes commands, options and their values
#     datafromprefix   the programs started from ROOT/usr/bin find the data, manuals and languages
#     package          cpack makes the .deb once, in a temporary folder: its files and fields
# Exit 77: a tool the check needs is missing.
set -euo pipefail
check=${1:?usage: $0 CHECK BUILD ROOT VERSION PROBE}
build=$(realpath "$2")
root=$3
version=$4
probe=$5
prefix=$root/usr
testdata=${GIPSO_TESTDATA:-$(dirname "$0")/../../../shared/testdata}

skip() { echo "skipped: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || skip "$1 is not installed (Debian package $2)"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The user's own settings, data and MIME types stay out of every check.
export GIPSO_CONFIG_DIR=$work/config XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data-home
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$GIPSO_CONFIG_DIR" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset GIPSO_DATA_DIR

# Every file of an install below its prefix, except the data folder's (checked on its own).
expected_files() {
  printf '%s\n' bin/gipso bin/gipso-cli bin/gipso-gpssim \
    share/applications/gipso.desktop \
    share/metainfo/io.github.gipso.gipso.metainfo.xml \
    share/mime/packages/gipso.xml \
    share/icons/hicolor/scalable/apps/gipso.svg \
    share/man/man1/gipso.1.gz share/man/man1/gipso-cli.1.gz share/man/man1/gipso-gpssim.1.gz \
    share/bash-completion/completions/gipso-cli \
    share/doc/gipso/copyright
  for size in 16 22 24 32 48 64 128 256; do echo "share/icons/hicolor/${size}x$size/apps/gipso.png"; done
}
data_files=(Gipso.lng Gipso.html Gipso_Eng.html Gipso_Ita.html Disclaimer_Eng.txt Disclaimer_Ita.txt)

# The pictures the manuals show, relative to the data folder.
manual_pictures() {
  local html
  for html in "$1"/Gipso*.html; do { grep -o '<img [^>]*src="[^"]*"' "$html" || true; } | sed 's/.*src="//; s/"$//'; done |
    sort -u
}

# Compares a list of installed files (paths below the prefix, one a line) with what must be there.
check_file_list() {
  local list=$1 data=$2 missing extra f
  missing=$(expected_files | sort | comm -23 - <(sort "$list"))
  [ -z "$missing" ] || fail "missing: $missing"
  extra=$(grep -v '^share/gipso/' "$list" | sort | comm -13 <(expected_files | sort) -)
  [ -z "$extra" ] || fail "not ours to install: $extra"
  for f in "${data_files[@]}"; do grep -qx "share/gipso/$f" "$list" || fail "missing: share/gipso/$f"; done
  ! grep -q '^share/gipso/linux' "$list" || fail "data/linux was installed into the data folder"
  while read -r f; do grep -qx "share/gipso/$f" "$list" || fail "missing: share/gipso/$f (shown in the manual)"; done \
    < <(manual_pictures "$data")
}

# The commands of gipso-cli's usage text, and the options of a command's usage line (all without one).
cli_usage() { "$prefix/bin/gipso-cli" --help; }
cli_commands() { cli_usage | sed -n 's/^  \([a-z][a-z]*\)\( .*\)\{0,1\}$/\1/p'; }
cli_options() { cli_usage | grep -E "${1:+^  $1 }" | grep -oE '(^|[ [(|])--?[a-z][a-z-]*' | sed 's/^[ [(|]//' | sort -u; }
# Whether a text holds a word (options: "-o" is not found inside "--port").
has_word() { grep -qE -- "(^|[^-[:alnum:]])$2([^-[:alnum:]]|$)" <<<"$1"; }

case $check in
install)
  rm -rf "$root"
  cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }
  ;;

files)
  (cd "$prefix" && find . -type f -o -type l) | sed 's|^\./||' >"$work/list"
  check_file_list "$work/list" "$prefix/share/gipso"
  for f in gipso gipso-cli gipso-gpssim; do [ -x "$prefix/bin/$f" ] || fail "bin/$f is not executable"; done
  ;;

desktopentry)
  need desktop-file-validate desktop-file-utils
  entry=$prefix/share/applications/gipso.desktop
  desktop-file-validate "$entry" || fail "desktop-file-validate"
  exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  [ -x "$prefix/bin/$exec_program" ] || fail "Exec names $exec_program, not installed"
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon names $icon, not installed"
  for type in $(sed -n 's/^MimeType=//p' "$entry" | tr ';' ' '); do
    grep -q "<mime-type type=\"$type\">" "$prefix/share/mime/packages/gipso.xml" || fail "MimeType $type is not declared"
  done
  ;;

appstream)
  need appstreamcli appstream
  # validate-tree reads the metainfo with the desktop entry and the icons it points to.
  appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
  metainfo=$prefix/share/metainfo/io.github.gipso.gipso.metainfo.xml
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
  newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n1 | sed 's/.*="//; s/"$//')
  [ "$newest" = "$version" ] || fail "the newest release of the metainfo is $newest, the program is $version"
  for type in $(sed -n 's/^MimeType=//p' "$prefix/share/applications/gipso.desktop" | tr ';' ' '); do
    grep -q "<mediatype>$type</mediatype>" "$metainfo" || fail "the metainfo does not provide $type"
  done
  ;;

mimetypes)
  need update-mime-database shared-mime-info
  [ -f /usr/share/mime/packages/freedesktop.org.xml ] || skip "the shared MIME database is not installed (shared-mime-info)"
  # The database a desktop builds from our package file; a mistake in it is reported here.
  # Built beside the install, which stays as installed for the other checks.
  mkdir -p "$work/share/mime/packages" && cp "$prefix/share/mime/packages/gipso.xml" "$work/share/mime/packages/"
  export XDG_DATA_DIRS=$work/share:/usr/share
  update-mime-database "$work/share/mime" >"$work/mime.log" 2>&1 || { cat "$work/mime.log"; fail "update-mime-database"; }
  [ ! -s "$work/mime.log" ] || { cat "$work/mime.log"; fail "update-mime-database complained"; }
  # A 2x1 BMP with the calibration trailer (eight doubles), the container made of it by
  # gipso-cli, and the same bytes under other names.
  perl -e 'print "BM", pack("VvvV", 62, 0, 0, 54), pack("VllvvVVllVV", 40, 2, 1, 1, 24, 0, 8, 2835, 2835, 0, 0),
           "\xff" x 6, "\0\0", pack("d<8", 0, 0, 2, -1, 10.0, 45.1, 10.1, 45.0)' >"$work/Valle.cal"
  "$prefix/bin/gipso-cli" map "$work/Valle.cal" --save "$work/Valle.Gipso" || fail "gipso-cli map --save"
  cp "$work/Valle.Gipso" "$work/VALLE.GIPSO"
  cp "$work/Valle.Gipso" "$work/archive.zip"
  head -c 62 "$work/Valle.cal" >"$work/plain.bmp"
  cp "$work/Valle.cal" "$work/noname"
  "$probe" "$work"/{Valle.cal,Valle.Gipso,VALLE.GIPSO,archive.zip,plain.bmp,noname} \
    >"$work/types" 2>"$work/probe.log" || { cat "$work/probe.log"; fail "probe"; }
  # What Qt's desktops see, then GTK's when gio is there.
  while read -r file type parent; do
    line=$(grep "^$file " "$work/types") || fail "$file: no type"
    [ "$(cut -d' ' -f2 <<<"$line")" = "$type" ] || fail "$file is $(cut -d' ' -f2 <<<"$line"), not $type"
    [ -z "$parent" ] || [[ ",$(cut -d' ' -f3 <<<"$line")," == *",$parent,"* ]] || fail "$file: $type is not a $parent"
  done <<'EOF'
Valle.cal image/x-gipso-cal image/bmp
Valle.Gipso application/x-gipso-map application/zip
VALLE.GIPSO application/x-gipso-map
archive.zip application/zip
plain.bmp image/bmp
noname image/bmp
EOF
  command -v gio >/dev/null || { echo "gio is not installed (libglib2.0-bin): checked with Qt only"; exit 0; }
  while read -r file type _; do
    got=$(gio info -a standard::content-type "$work/$file" | sed -n 's/.*standard::content-type: //p')
    [ "$got" = "$type" ] || fail "gio: $file is $got, not $type"
  done <"$work/types"
  ;;

manpages)
  need groff groff-base
  for page in gipso gipso-cli gipso-gpssim; do
    gzip -dc "$prefix/share/man/man1/$page.1.gz" >"$work/$page.1"
    LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$work/$page.1" 2>"$work/$page.warnings"
    [ ! -s "$work/$page.warnings" ] || { cat "$work/$page.warnings"; fail "$page.1 formats with warnings"; }
    LC_ALL=C.UTF-8 groff -man -Tascii -P-cbou "$work/$page.1" >"$work/$page.txt" 2>/dev/null
    grep -qF "Gipso $version" "$work/$page.txt" || fail "$page.1 does not name version $version"
  done
  cli=$(cat "$work/gipso-cli.txt")
  for command in $(cli_commands); do
    grep -qE -- "gipso-cli $command( |$)" <<<"$cli" || fail "gipso-cli.1 has no synopsis of $command"
  done
  for option in $(cli_options) --help --version; do
    has_word "$cli" "$option" || fail "gipso-cli.1 does not describe $option"
  done
  sim=$(cat "$work/gipso-gpssim.txt")
  for option in $("$prefix/bin/gipso-gpssim" --help | grep -oE -- '(^| )--?[a-z][a-z-]*' | sort -u); do
    has_word "$sim" "$option" || fail "gipso-gpssim.1 does not describe $option"
  done
  ;;

completion)
  # shellcheck source=/dev/null
  source "$prefix/share/bash-completion/completions/gipso-cli"
  complete_words() { # the words of the line, the last being the one completed
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    _gipso_cli
    echo "${COMPREPLY[*]:-}"
  }
  while IFS='|' read -r line expected; do
    read -ra words <<<"$line"
    [[ $line == *' ' ]] && words+=('')
    got=$(complete_words "${words[@]}")
    [ "$got" = "$expected" ] || fail "'$line': '$got', expected '$expected'"
  done <<'EOF'
gipso-cli st|stats
gipso-cli --v|--version
gipso-cli download |waypoints route tracks
gipso-cli upload |waypoints route
gipso-cli profile |route tracks
gipso-cli download --port /dev/pts/3 |waypoints route tracks
gipso-cli download tracks |
gipso-cli nmea --sentence |GGA RMC
gipso-cli list tracks a.gpx --units |metric nautical
gipso-cli stats --lang |it en
gipso-cli download tracks --baud 9|9600
gipso-cli render m.Gipso -o |
gipso-cli render m.Gipso --zoom |
gipso-cli help con|convert
EOF
  # Whatever the usage text offers: every command, and each command's options.
  all=" $(complete_words gipso-cli '') "
  for command in $(cli_commands) --help --version; do
    [[ $all == *" $command "* ]] || fail "'gipso-cli ' does not offer $command"
  done
  for command in $(cli_commands); do
    offered=" $(complete_words gipso-cli "$command" -) "
    for option in $(cli_options "$command"); do
      [[ $offered == *" $option "* ]] || fail "'gipso-cli $command -' does not offer $option"
    done
  done
  ;;

datafromprefix)
  # The probe finds the data folder with the program's own code, from where the programs are.
  cp "$probe" "$prefix/bin/gipso-install-probe"
  trap 'rm -rf "$work"; rm -f "$prefix/bin/gipso-install-probe"' EXIT
  LANG=en_GB.UTF-8 "$prefix/bin/gipso-install-probe" >"$work/found"
  data=$(realpath "$prefix/share/gipso")
  cat >"$work/expected" <<EOF
data $data
language 1040 Italiano
language 2057 English
manual 1040 $data/Gipso_Ita.html
manual 2057 $data/Gipso_Eng.html
manual 0 $data/Gipso.html
EOF
  grep -v '^disclaimer' "$work/found" | diff "$work/expected" - || fail "the install's data, as the program finds it"
  for language in 1040 2057; do
    size=$(sed -n "s/^disclaimer $language //p" "$work/found")
    [ "${size:-0}" -gt 0 ] || fail "no disclaimer for $language"
  done
  # The real tool: English captions for an English user come from the installed Gipso.lng (without
  # a language list every user gets Italian).
  first=$(LANG=en_GB.UTF-8 "$prefix/bin/gipso-cli" stats "$testdata/gpx/track-with-empty-segment.gpx" | head -n1)
  [[ $first == "Start date and time:"* ]] || fail "gipso-cli stats from the install: '$first'"
  ;;

package)
  need dpkg-deb dpkg
  need dpkg-shlibdeps dpkg-dev
  [ -f "$build/CPackConfig.cmake" ] || fail "no CPackConfig.cmake in $build"
  # Stripping and dpkg-shlibdeps take some seconds; the package is made once, here, and removed.
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
  deb=$work/package/gipso_${version}_$(dpkg --print-architecture).deb
  [ -f "$deb" ] || { ls "$work/package"; fail "no $(basename "$deb")"; }
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' >"$work/list"
  ! grep -v '^share/\|^bin/' "$work/list" || fail "files outside /usr"
  dpkg-deb -x "$deb" "$work/tree"
  check_file_list "$work/list" "$work/tree/usr/share/gipso"
  field() { dpkg-deb -f "$deb" "$1"; }
  [ "$(field Package)" = gipso ] && [ "$(field Version)" = "$version" ] && [ "$(field Section)" = science ] ||
    fail "Package/Version/Section: $(field Package) $(field Version) $(field Section)"
  [ -n "$(field Maintainer)" ] || fail "no Maintainer"
  [[ $(field Description) == *"gipso-cli"* ]] || fail "Description: $(field Description)"
  # Worked out from the binaries, not written by hand.
  for library in libqt6widgets6 libqt6serialport6 libzip4 libturbojpeg0 libjpeg62-turbo; do
    [[ ", $(field Depends)" == *", $library "* ]] || fail "Depends lacks $library: $(field Depends)"
  done
  [[ $(field Recommends) == *qt6-translations-l10n* ]] || fail "Recommends: $(field Recommends)"
  ! readelf -S "$work/tree/usr/bin/gipso" | grep -q '\.debug_info' || fail "bin/gipso is not stripped"
  ;;

*) fail "unknown check $check" ;;
esac
