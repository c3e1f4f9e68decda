#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the test peers need.
# Quiet and quick when everything is already there.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-serialport-dev libzip-dev libturbojpeg0-dev libjpeg62-turbo-dev
  libgtest-dev libbenchmark-dev
  # Qt's own buttons and dialogs in Italian (qtbase_it.qm)
  qt6-translations-l10n
  # tests and test peers
  gpsbabel gpsd libxml2-utils poppler-utils xvfb xauth xdotool imagemagick socat unzip zip fonts-dejavu-core faketime tidy
  # the icons, the Debian package (dpkg-shlibdeps) and the checks of the desktop files
  librsvg2-bin dpkg-dev desktop-file-utils appstream shared-mime-info
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq >/dev/null
$sudo apt-get install -y -qq "${missing[@]}" >/dev/null
