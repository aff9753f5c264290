#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing,
# and the packages named on the command line.
set -euo pipefail
# The MariaDB server and Connector/C: the build for a shared register and
# the test server its tests start. Qt's own translations: the Italian
# edition's words on the buttons of the dialogs Qt draws. Xvfb, xauth and
# xdotool: the checks on the real program's windows (README, "Look at it on a
# screen"); the tests themselves run on Qt's offscreen platform.
packages=(g++ cmake make pkg-config qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libqt6opengl6-dev libgl1-mesa-dev libsqlite3-dev sqlite3
          libmariadb-dev mariadb-server mariadb-client xvfb xauth xdotool fonts-dejavu-core python3 "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
else
  echo "Missing packages. Run as root:" >&2
  echo "  apt-get install -y ${missing[*]}" >&2
  exit 1
fi
