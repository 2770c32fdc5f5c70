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
  clang-14 libclang-rt-14-dev
  pulseaudio pulseaudio-utils
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
    # The fuzz targets (fuzz/): clang's libFuzzer with ASan + UBSan, a short
    # bounded run of each from its committed corpus. New inputs and anything
    # found go to build-fuzz/found/.
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DROLVANGER_FUZZ=ON >/dev/null
    cmake --build build-fuzz --target rolvanger_fuzzers -j"$(nproc)"
    for target in whole_number cue picture; do
      mkdir -p "build-fuzz/found/$target"
      log="build-fuzz/found/$target.log"
      # The cue player keeps what it loaded, which would set off libFuzzer's
      # per-input leak check (slow) on every new cue. SDL sets aside whatever size a corrupt WAV
      # header claims, up to 4 GB; past 256 MB the allocation fails instead,
      # as it may on a small machine, which SDL reports as unreadable.
      leaks=1
      asan=""
      if [ "$target" = cue ]; then
        leaks=0
        asan=allocator_may_return_null=1:max_allocation_size_mb=256
      fi
      if ! ASAN_OPTIONS="$asan" \
        "build-fuzz/fuzz/fuzz_$target" -max_total_time=20 -timeout=10 -detect_leaks=$leaks \
          -rss_limit_mb=2048 -print_final_stats=1 \
          -artifact_prefix="build-fuzz/found/" "build-fuzz/found/$target" "fuzz/corpus/$target" \
          >"$log" 2>&1; then
        cat "$log"
        echo "fuzz_$target failed; the input is in build-fuzz/found/" >&2
        exit 1
      fi
      echo "fuzz_$target: $(grep -E '^Done' "$log")"
    done
    ;;
  *)
    echo "usage: $0 play | test" >&2
    exit 2
    ;;
esac
