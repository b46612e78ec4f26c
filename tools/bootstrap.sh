#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One step from a fresh Debian 12 machine to a running game or a test run:
# installs the Debian packages that are missing, configures and builds in
# build/, then either starts the game or runs every test.
#
#   tools/bootstrap.sh play    build and start the game
#   tools/bootstrap.sh test    build and run all tests (what CI runs)
#   tools/bootstrap.sh build   build only
set -euo pipefail

mode=${1:-play}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

packages=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-multimedia-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # Free look-alikes of the game's fonts: Tahoma (Wine's) and Courier New's metric twin.
  fonts-wine fonts-liberation
  # The picture generator writes the scalable icon through QtSvg.
  qt6-svg-dev
  # The package checks of `test`: the Debian package and what validates it.
  dpkg-dev file lintian desktop-file-utils appstream
  # The record server (vortigo-records): HTTP, its two databases, and what its
  # tests start on loopback: a throw-away PostgreSQL cluster and a headless browser.
  libcpp-httplib-dev libqt6sql6-sqlite libqt6sql6-psql postgresql-15 chromium
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
# ccache, where present, makes rebuilds of unchanged sources nearly free.
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# Benchmarks and the generators of the delivered files are off in a plain
# build (a package's); the developer's build has them.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORTIGO_BUILD_BENCH=ON -DVORTIGO_BUILD_GENERATORS=ON "${launcher[@]}"
cmake --build "$build" -j "$jobs"

case "$mode" in
  play) exec "$build/vortigo" ;;
  test)
    ctest --test-dir "$build" --output-on-failure --timeout 120 -j "$jobs"
    # About a minute: the package, its layout, desktop-file-validate,
    # appstreamcli and lintian.
    "$root/tools/check_package.sh" "$build"
    ;;
  build) ;;
  *) echo "usage: $0 [play|test|build]" >&2; exit 2 ;;
esac
