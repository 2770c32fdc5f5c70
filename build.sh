#!/usr/bin/env bash
# Sets up a Debian 13 or 12 machine, builds the game and plays or tests it.
#   ./build.sh play   install what building and playing need, build, start the game
#   ./build.sh test   install that and the test tools, build, run every test
#                     (plain and under AddressSanitizer + UBSan), then fuzz/run.sh
set -euo pipefail
cd "$(dirname "$0")"

# Building and playing: the compiler and CMake (with make), the development
# files of Qt, libpulse and SDL, Qt's X platform plugin and the machine's font.
play_packages=(
  build-essential cmake
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-svg-dev libqt6svg6
  libpulse-dev libsdl2-dev libxcb1-dev fonts-comic-neue
)
# Testing adds Ninja for the sanitizer and fuzz builds, an X server and
# window managers for the package test (openbox here, KWin below), the
# packaging checkers (lintian, appstream, desktop-file-utils), the release's
# own clang and its sanitizer runtime for the fuzzers, and the two sound
# servers the sound server test plays through: PulseAudio, and PipeWire with
# its session manager, its PulseAudio service and a session bus; on that bus
# the accessibility bus, for what a screen reader is told.
test_packages=(
  ninja-build libx11-dev
  xvfb xauth x11-utils xdotool openbox imagemagick
  dpkg-dev desktop-file-utils appstream lintian
  clang libclang-rt-dev
  pulseaudio pulseaudio-utils
  pipewire pipewire-bin pipewire-pulse wireplumber dbus-daemon at-spi2-core
)

# Installs whatever is missing of the packages named: those before "--" with
# what they recommend, those after it without.
install_missing() { # packages... [-- packages...]
  local with=() without=() missing=() group=with
  for p in "$@"; do
    if [ "$p" = -- ]; then
      group=without
      continue
    fi
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' && continue
    missing+=("$p")
    if [ $group = with ]; then with+=("$p"); else without+=("$p"); fi
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  # Every name is looked up before anything is installed: on a release that
  # lacks one (an older Debian, a derivative) nothing is half installed.
  local unknown=()
  for p in "${missing[@]}"; do
    [[ $(apt-cache policy "$p" 2>/dev/null) =~ Candidate:\ [^\(] ]] || unknown+=("$p")
  done
  if [ ${#unknown[@]} -gt 0 ]; then
    echo "This system's package archive has no ${unknown[*]}; nothing was installed." >&2
    echo "The set-up knows Debian 13 and Debian 12." >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  [ ${#with[@]} -eq 0 ] || $sudo apt-get install -y -qq "${with[@]}"
  [ ${#without[@]} -eq 0 ] || $sudo apt-get install -y -qq --no-install-recommends "${without[@]}"
}

configure_and_build() { # dir, generator, extra cmake args...
  local dir=$1 generator=$2 fresh=()
  shift 2
  # A folder an earlier version of this script made with the other generator
  # is configured afresh instead of refused.
  if [ -f "$dir/CMakeCache.txt" ] &&
    ! grep -qxF "CMAKE_GENERATOR:INTERNAL=$generator" "$dir/CMakeCache.txt"; then
    fresh=(--fresh)
  fi
  cmake "${fresh[@]}" -S . -B "$dir" -G "$generator" "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}

run_tests() { # dir
  (cd "$1" && ctest --output-on-failure -j"$(nproc)")
}

case "${1:-}" in
  play)
    # What Debian merely recommends (GTK, GnuPG, Vulkan drivers...) is left
    # out: a desktop has it already, and the game does not need it.
    install_missing -- "${play_packages[@]}"
    configure_and_build build "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
    exec build/bin/rolvanger
    ;;
  test)
    # The package test's hardening-check is a script in devscripts, which
    # recommends 120 MB of packaging tools (debhelper, git...) it does not need;
    # its second window manager, KWin, with its title bars, recommends much of
    # the Plasma desktop.
    install_missing "${play_packages[@]}" "${test_packages[@]}" \
      -- devscripts kwin-x11 kwin-style-breeze
    # The plain build uses CMake's default generator, as packagers and IDEs
    # do; the sanitizer build uses Ninja, so both stay in working order.
    configure_and_build build-test "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROLVANGER_WERROR=ON
    run_tests build-test
    configure_and_build build-asan Ninja -DCMAKE_BUILD_TYPE=Debug -DROLVANGER_WERROR=ON \
      -DROLVANGER_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
      run_tests build-asan
    ./fuzz/run.sh
    ;;
  *)
    echo "usage: $0 play | test" >&2
    exit 2
    ;;
esac
