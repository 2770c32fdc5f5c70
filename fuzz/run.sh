#!/usr/bin/env bash
# Builds the fuzz targets (clang's libFuzzer with ASan + UBSan, in build-fuzz/)
# and gives each a short bounded run from its committed corpus. New inputs and
# anything found go to build-fuzz/found/; the status is 1 when a target fails,
# with its log on the output. `./build.sh test` runs it after the tests, and
# installs the release's clang and its sanitizer runtime for it.
#
#   ./fuzz/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
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
