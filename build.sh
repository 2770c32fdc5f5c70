#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds the game and plays or tests it.
#   ./build.sh play   install what is missing, build, start the game
#   ./build.sh test   install what is missing, build, run every test
#                     (plain and under AddressSanitizer + UBSan)
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-svg-dev libqt6svg6
  libsdl2-dev libxcb1-dev fonts-comic-neue
  xvfb xauth x11-utils imagemagick
  dpkg-dev desktop-file-utils appstream lintian libx11-dev
)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

configure_and_build() { # dir, extra cmake args...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}

run_tests() { # dir
  (cd "$1" && ctest --output-on-failure -j"$(nproc)")
}

case "${1:-}" in
  play)
    install_missing
    configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
    exec build/bin/rolvanger
    ;;
  test)
    install_missing
    configure_and_build build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROLVANGER_WERROR=ON
    run_tests build-test
    configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DROLVANGER_WERROR=ON -DROLVANGER_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
      run_tests build-asan
    ;;
  *)
    echo "usage: $0 play | test" >&2
    exit 2
    ;;
esac
