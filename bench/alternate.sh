#!/usr/bin/env bash
# Times builds of the program against each other in alternating runs, to
# decide whether a mechanism earns its place: build the program with it and
# without it (a copy of bin/ for each, or the binary under another name beside
# the first, so that it finds its pictures), then
#
#   ./bench/alternate.sh start ROUNDS PROGRAM...   first paint, ms
#   ./bench/alternate.sh idle ROUNDS PROGRAM...    CPU over 10 s with no credits, %
#   ./bench/alternate.sh ticks ROUNDS SPIN...      tick work with the floor off, ms
#
# Each round runs every program once, in the order given, on an Xvfb display
# of its own with the pointer over the window. "ticks" takes builds of
# bench_spin, which shows the real machine window there. bench_minimal_window
# and bench_blink_window may be named as baselines. For each program it
# prints the median, the interquartile range (the spread) and the extremes,
# and whether its median lies outside the first program's spread. Not a test;
# run it on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh

mode=${1:?mode: start, idle or ticks} rounds=${2:?rounds}
shift 2
[ $# -ge 2 ] || { echo "name two programs or more" >&2; exit 2; }
programs=("$@")
probe=${PROBE:-build-bench/bin/bench_window_probe}

work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb DISPLAY "$work" 1280x800x24
export DISPLAY
unset QT_QPA_PLATFORM

# Where each window shows its picture once painted (see run.sh).
regions() {
  case $(basename "$1") in
    bench_minimal_window*) echo "--rect 60,130,467,76" ;;
    bench_blink_window*) echo "--rect 216,8,169,33 --colours 3" ;;
    *) echo "--rect 25,137,119,103 --rect 185,137,119,103 --rect 345,137,119,103" ;;
  esac
}
run_once() { # program -> one figure
  case $mode in
    start) "$probe" $(regions "$1") --pointer 640,400 -- "$1" | values first_paint_ms - ;;
    idle) "$probe" $(regions "$1") --pointer 640,400 --settle 2 --idle 10 -- "$1" |
      values idle_cpu_pct - ;;
    ticks) QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy "$1" pace 1 2>/dev/null |
      values floor_off_tick_median_ms - ;;
    *) echo "unknown mode $mode" >&2; exit 2 ;;
  esac
}

wait_quiet
for round in $(seq "$rounds"); do
  for i in "${!programs[@]}"; do
    run_once "${programs[$i]}" >>"$work/$i" 2>>"$work/log" || echo "round $round: ${programs[$i]} failed" >&2
  done
done

# quartiles FILE -> "q1 median q3 min max"
quartiles() {
  sort -g "$1" | awk '{ v[NR] = $1 }
    function at(p,  x, i) { x = 1 + p * (NR - 1); i = int(x); return v[i] + (x - i) * (v[i + 1] - v[i]) }
    END { printf "%s %s %s %s %s", at(0.25), at(0.5), at(0.75), v[1], v[NR] }'
}
read -r q1 _ q3 _ _ <<<"$(quartiles "$work/0")"
printf '%-44s %8s  %-19s %-19s %s\n' "program ($mode, $rounds rounds)" median "spread (q1 - q3)" \
  "extremes" "against the first"
for i in "${!programs[@]}"; do
  read -r a m b lo hi <<<"$(quartiles "$work/$i")"
  verdict=$(awk -v m="$m" -v a="$q1" -v b="$q3" 'BEGIN { print (m < a || m > b) ? "outside" : "inside" }')
  [ "$i" -eq 0 ] && verdict=""
  printf '%-44s %8.3f  %8.3f - %-8.3f %8.3f - %-8.3f %s\n' "${programs[$i]}" "$m" "$a" "$b" "$lo" "$hi" \
    "$verdict"
done
