#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need
# (only those that are missing); dpkg-dev, file and lintian make and check
# the package.
set -euo pipefail
pacchetti=(cmake ninja-build g++ pkg-config qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql
           qt6-translations-l10n
           libsqlite3-dev sqlite3 libcli11-dev libinih-dev libgtest-dev libgmock-dev
           libpq-dev postgresql xvfb xauth clang libclang-rt-14-dev
           dpkg-dev file lintian)
mancanti=()
for p in "${pacchetti[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || mancanti+=("$p")
done
if [ ${#mancanti[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${mancanti[@]}"
fi
