#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One step from a fresh Debian 12 machine to a running game or a test run:
# installs the Debian packages that are missing, configures and builds in
# build/, then either starts the game or runs every test.
#
#   tools/bootstrap.sh play    build and start the game
#   tools/bootstrap.sh test    build and run all tests (what CI runs), then
#                              the sanitizer build's tests and the fuzzers
#   tools/bootstrap.sh build   build only
#   tools/bootstrap.sh sanitize  only the tests under ASan+UBSan (build-sanitize/)
#   tools/bootstrap.sh fuzz [seconds]  only the fuzzers, each for that long
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
  # What the install test reads the installed files with: the manual page's
  # formatter and systemd's check of the record server's unit.
  groff-base systemd
  # The record server (vortigo-records): HTTP (Boost.Beast), its two databases, and what its
  # tests start on loopback: a throw-away PostgreSQL cluster and a headless browser.
  libboost-dev libqt6sql6-sqlite libqt6sql6-psql postgresql-15 chromium
  # The screen-reader test: a private D-Bus session, the accessibility bus and
  # its registry, an X server without a screen, a pyatspi client, and keys.
  dbus dbus-daemon at-spi2-core xvfb xauth xdotool x11-utils python3-pyatspi python3-gi gir1.2-atspi-2.0
  # The sound test: a private sound server with a null output in place of a
  # sound card, and its recorder.
  pulseaudio pulseaudio-utils
  # The sanitizer build and the fuzzers (libFuzzer).
  clang-14 libclang-rt-14-dev
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

# Every test again, built by clang with AddressSanitizer and
# UndefinedBehaviorSanitizer; any report ends the test that made it. The same
# build holds the fuzzers.
sanitized="$root/build-sanitize"
sanitize() {
  cmake -S "$root" -B "$sanitized" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
    -DCMAKE_CXX_COMPILER=clang++-14 -DVORTIGO_SANITIZE=ON -DVORTIGO_FUZZ=ON -DVORTIGO_BUILD_BENCH=OFF "${launcher[@]}"
  cmake --build "$sanitized" -j "$jobs"
}
# Leak checking is off: the installed game, run by its test, leaves Qt
# Multimedia's objects of the unloaded sound module behind at exit (620 bytes,
# no other leak reported); memory errors and undefined behaviour stay fatal.
sanitized_tests() {
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$sanitized" --output-on-failure --timeout 600 -j "$jobs"
}

# Each fuzzer runs for a bounded time from the committed seeds (new inputs go
# to a scratch corpus in the build folder); a crash or a broken invariant
# fails the run and leaves the input in build-sanitize/fuzz-crashes/.
fuzz() {
  local seconds=$1 name scratch
  mkdir -p "$sanitized/fuzz-crashes"
  # The fuzzers' files live in memory where possible, and go away afterwards.
  scratch=$(mktemp -d -p /dev/shm vortigo-fuzz.XXXXXX 2>/dev/null || mktemp -d)
  trap 'rm -rf "$scratch"' RETURN
  for name in dictionary settings scores gif; do
    mkdir -p "$sanitized/fuzz-corpus/$name"
    TMPDIR="$scratch" "$sanitized/fuzz/${name}_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=30 -print_final_stats=1 \
      -artifact_prefix="$sanitized/fuzz-crashes/${name}-" \
      "$sanitized/fuzz-corpus/$name" "$root/fuzz/corpus/$name" 2>"$sanitized/fuzz-$name.log" || {
        tail -n 60 "$sanitized/fuzz-$name.log" >&2; echo "fuzzer $name failed" >&2; return 1; }
    echo "fuzzer $name: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$sanitized/fuzz-$name.log" | grep -o '[0-9]*$') runs in ${seconds}s, no crash"
  done
}

case "$mode" in
  play) exec "$build/vortigo" ;;
  test)
    # The package checks (tools/check_package.sh, lintian) are among them.
    ctest --test-dir "$build" --output-on-failure --timeout 120 -j "$jobs"
    # A few minutes: every test again under the sanitizers, then the fuzzers.
    sanitize
    sanitized_tests
    fuzz 30
    ;;
  build) ;;
  sanitize) sanitize; sanitized_tests ;;
  fuzz) sanitize; fuzz "${2:-30}" ;;
  *) echo "usage: $0 [play|test|build|sanitize|fuzz [seconds]]" >&2; exit 2 ;;
esac
