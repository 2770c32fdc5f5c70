#!/usr/bin/env bash
# Builds the benchmarks and prints every figure beside its budget, each the
# median over repeated runs. Not a test: it measures, and says where a figure
# is over its budget; its exit status is 1 then.
#
#   ./bench/run.sh            full run (about 15 minutes on 2 cores)
#   ./bench/run.sh --quick    fewer repeats, for a first look
#
# Headless: the windows open on an Xvfb display of their own, the in-process
# benchmarks use Qt's offscreen platform, and sound goes to SDL's dummy driver
# wherever the machine has no sound card; the cues and the spin are also timed
# through a PulseAudio and a PipeWire server of its own, each on a null sink,
# with a bare client's cues beside the player's as the floor, and PipeWire's
# cycle from its profiler. Other builds running at the same time disturb the
# timings: run it on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
root=$PWD
build=$root/build-bench
bin=$build/bin

startup_runs=15 idle_runs=3 cue_calls=150 pace_spins=5 read_runs=3 memory_spins=1000
if [ "${1:-}" = "--quick" ]; then
  startup_runs=5 idle_runs=1 cue_calls=100 pace_spins=2 read_runs=1
fi

# What the bench needs beyond ./build.sh's packages.
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev libsdl2-dev
  libx11-dev xvfb valgrind fonts-comic-neue libpulse-dev pulseaudio pulseaudio-utils pipewire
  pipewire-bin pipewire-pulse wireplumber dbus-daemon at-spi2-core python3-pyatspi)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
  -DROLVANGER_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target rolvanger bench_minimal_window bench_blink_window \
  bench_window_probe bench_cue_latency bench_spin >/dev/null

work=$(mktemp -d)
server_pids=""
cleanup() {
  stop_xvfb
  [ -n "$server_pids" ] && kill $server_pids 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "bench: a step failed; the end of its log:" >&2; tail -n 5 "$work/probe.log" >&2' ERR
touch "$work/probe.log"

# A screen at a desktop scale of 1, and one of twice the density for scale 2.
start_xvfb DISPLAY "$work" 1280x800x24
export DISPLAY
start_xvfb display2 "$work" 2048x1536x24
unset QT_QPA_PLATFORM SDL_AUDIODRIVER

missed=0
# row LABEL VALUE UNIT BUDGET CONDITION: CONDITION is an awk test on v, or "" for
# a figure without a budget of its own.
row() {
  local verdict=""
  if [ -n "$5" ]; then
    if awk -v v="$2" "BEGIN { exit !($5) }"; then verdict="ok"; else verdict="OVER"; missed=1; fi
  fi
  printf '%-46s %10s %-4s  %-32s %s\n' "$1" "$2" "$3" "$4" "$verdict"
}
ms() { awk -v v="$1" 'BEGIN { printf "%.1f", v }'; }
# A / B to two places; "nan", never within a budget, when either is missing
# or B is 0.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { num = "^[0-9]+([.][0-9]*)?$"
  if (a ~ num && b ~ num && b > 0) printf "%.2f", a / b; else print "nan" }'; }

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "Load at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo

# 1 + 5a. Start-up and resident memory, the real program and the minimal window
# alternately, watched from outside the same way: first paint is when every
# region named shows a picture (the three reels; the minimal window's text).
reels=(--rect 25,137,119,103 --rect 185,137,119,103 --rect 345,137,119,103)
text=(--rect 60,130,467,76)
# The pointer rests mid-screen, over each (centred) window, unless moved away.
on_window=(--pointer 640,400)
off_window=(--pointer 2,2)
# At scale 2 the windows, their regions and the screen are twice the size.
reels2=(--rect 50,274,238,206 --rect 370,274,238,206 --rect 690,274,238,206)
text2=(--rect 120,260,934,152)
wait_quiet
for _ in $(seq "$startup_runs"); do
  DISPLAY=$display2 QT_SCALE_FACTOR=2 "$bin/bench_window_probe" "${text2[@]}" --pointer 1024,768 \
    -- "$bin/bench_minimal_window" >>"$work/minimal_scale2" 2>>"$work/probe.log"
  DISPLAY=$display2 QT_SCALE_FACTOR=2 "$bin/bench_window_probe" "${reels2[@]}" --pointer 1024,768 \
    -- "$bin/rolvanger" >>"$work/rolvanger_scale2" 2>>"$work/probe.log"
  "$bin/bench_window_probe" "${text[@]}" "${on_window[@]}" -- "$bin/bench_minimal_window" \
    >>"$work/minimal" 2>>"$work/probe.log"
  "$bin/bench_window_probe" "${reels[@]}" "${on_window[@]}" -- "$bin/rolvanger" \
    >>"$work/rolvanger" 2>>"$work/probe.log"
  SDL_AUDIODRIVER=dummy "$bin/bench_window_probe" "${reels[@]}" "${on_window[@]}" -- "$bin/rolvanger" \
    >>"$work/rolvanger_dummy" 2>>"$work/probe.log"
done
start_min=$(values first_paint_ms "$work/minimal" | median)
start_game=$(values first_paint_ms "$work/rolvanger" | median)
start_dummy=$(values first_paint_ms "$work/rolvanger_dummy" | median)
start_min_scale2=$(values first_paint_ms "$work/minimal_scale2" | median)
start_scale2=$(values first_paint_ms "$work/rolvanger_scale2" | median)
rss_min=$(values rss_kb "$work/minimal" | median)
rss_game=$(values rss_kb "$work/rolvanger" | median)

echo "Figure (median of $startup_runs start-ups unless said)       value       budget"
row "Start-up, minimal Qt window" "$(ms "$start_min")" ms "baseline" ""
row "Start-up, rolvanger" "$(ms "$start_game")" ms "" ""
row "Start-up, rolvanger with SDL_AUDIODRIVER=dummy" "$(ms "$start_dummy")" ms "" ""
row "Start-up ratio, rolvanger / minimal" "$(awk -v a="$start_game" -v b="$start_min" 'BEGIN { printf "%.2f", a / b }')" x "<= 1.3" "v <= 1.3"
row "Start-up, minimal Qt window at scale 2" "$(ms "$start_min_scale2")" ms "baseline at scale 2" ""
row "Start-up, rolvanger at scale 2" "$(ms "$start_scale2")" ms "" ""
row "Start-up ratio at scale 2, rolvanger / minimal" "$(awk -v a="$start_scale2" -v b="$start_min_scale2" 'BEGIN { printf "%.2f", a / b }')" x "" ""

# 2 and 3. Cue latency and the spin's pace: on SDL's dummy driver, and
# through the two sound servers desktops run, each of our own with a null
# sink, its sockets in a folder of its own: Debian's PulseAudio, and PipeWire
# with its session manager and PulseAudio service on a session bus.
start_pulseaudio() { # folder
  XDG_RUNTIME_DIR="$1" HOME="$1" pulseaudio --daemonize=no --exit-idle-time=-1 \
    --disallow-exit -n --load="module-null-sink sink_name=out rate=44100 channels=1" \
    --load=module-native-protocol-unix >"$1.log" 2>&1 &
  server_pids=$!
}
start_pipewire() { # folder
  mkdir -p "$1/config/pipewire/pipewire.conf.d"
  echo 'context.objects = [ { factory = adapter args = { factory.name = support.null-audio-sink
    node.name = "out" media.class = "Audio/Sink" object.linger = true
    audio.position = [ FL FR ] } } ]' >"$1/config/pipewire/pipewire.conf.d/50-null-sink.conf"
  local env=(env XDG_RUNTIME_DIR="$1" HOME="$1" XDG_STATE_HOME="$1" XDG_CONFIG_HOME="$1/config"
    DBUS_SESSION_BUS_ADDRESS="unix:path=$1/bus")
  "${env[@]}" dbus-daemon --session --address="unix:path=$1/bus" --nofork --nopidfile \
    >"$1.log" 2>&1 &
  server_pids=$!
  "${env[@]}" pipewire >>"$1.log" 2>&1 &
  server_pids="$server_pids $!"
  for _ in $(seq 100); do
    [ -S "$1/pipewire-0" ] && break
    sleep 0.1
  done
  "${env[@]}" wireplumber >>"$1.log" 2>&1 &
  server_pids="$server_pids $!"
  "${env[@]}" pipewire-pulse >>"$1.log" 2>&1 &
  server_pids="$server_pids $!"
}
# Through a server, a bare client plays the same cues in turns with the
# player (see cue_latency.cpp). Where the server's own cycle puts that floor
# above a budget, the player is held to within 1 ms of the floor instead.
cue_rows() { # label, figures file
  local cue name median p95 floor_median floor_p95
  for cue in roll cue300; do
    name=$([ $cue = roll ] && echo "roll.wav" || echo "300 ms cue")
    median=$(values ${cue}_beyond_median_ms "$2")
    p95=$(values ${cue}_beyond_p95_ms "$2")
    floor_median=$(values floor_${cue}_beyond_median_ms "$2")
    floor_p95=$(values floor_${cue}_beyond_p95_ms "$2")
    if [ -z "$floor_median" ]; then
      row "$1, $name, median" "$median" ms "<= 6 ms ($cue_calls calls)" "v <= 6"
      row "$1, $name, p95" "$p95" ms "<= 10 ms" "v <= 10"
      continue
    fi
    row "$1, $name, median" "$median" ms "<= 6 ms, or floor + 1 ($cue_calls calls)" \
      "v <= 6 || v <= $floor_median + 1"
    row "$1, $name, p95" "$p95" ms "<= 10 ms, or floor + 1" "v <= 10 || v <= $floor_p95 + 1"
    row "  the floor: a bare client, median / p95" "$floor_median / $floor_p95" ms "" ""
  done
}
# cycle_rows FILE: PipeWire's own cycle while the cues played, from its
# profiler: the time from one cycle's start to the next, against the
# quantum's length.
cycle_rows() {
  [ -s "$1" ] || { row "PipeWire's cycle" "none" "" "(no profiler data)" ""; return; }
  local nominal
  nominal=$(awk '{ print $4 / 1000 }' "$1" | median)
  row "PipeWire's cycle, its quantum" "$nominal" ms "" ""
  row "PipeWire's cycle, median" "$(awk '{ print $1 / 1000 }' "$1" | median)" ms "" ""
  row "PipeWire's cycle, p95" "$(awk '{ print $1 / 1000 }' "$1" | sort -g | awk '{ v[NR] = $1 }
    END { print v[int(0.95 * NR + 0.999)] }')" ms "" ""
  row "PipeWire's cycle, longest" "$(awk '{ print $1 / 1000 }' "$1" | sort -g | tail -1)" ms "" ""
  row "PipeWire's cycles over twice the quantum" "$(awk -v n="$nominal" '$1 / 1000 > 2 * n' "$1" |
    wc -l) of $(wc -l <"$1")" "" "" ""
}
# cues_and_pace NAME: the cue and spin figures through whatever the
# environment reaches, into $work/cues_NAME and $work/pace_NAME.
cues_and_pace() {
  wait_quiet
  local profiler=""
  if [ "$1" = pipewire ]; then
    # It leaves plots in the folder it runs in.
    (cd "$work" && XDG_RUNTIME_DIR="$work/pipewire" exec pw-profiler -o "$work/cycles") \
      >/dev/null 2>&1 &
    profiler=$!
  fi
  "$bin/bench_cue_latency" "$cue_calls" >"$work/cues_$1" 2>>"$work/probe.log"
  if [ -n "$profiler" ]; then
    kill "$profiler"
    wait "$profiler" || true
  fi
  wait_quiet
  QT_QPA_PLATFORM=offscreen "$bin/bench_spin" pace "$pace_spins" >"$work/pace_$1" \
    2>>"$work/probe.log"
}
# read_spins NAME VARIABLE=VALUE...: the spin while a screen reader reads the
# game (bench/screen_reader.py asks after every event it is told), on an X
# server of its own with the accessibility bus, into $work/read_NAME.
read_spins() {
  local name=$1
  shift
  wait_quiet
  env "$@" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    bash tests/support/screen_reader_bus.sh bash -c '
      /usr/bin/python3 bench/screen_reader.py 600 >/dev/null &
      reader=$!
      sleep 1
      status=0
      "$@" || status=$?
      kill "$reader"
      exit "$status"' bash "$bin/bench_spin" pace "$pace_spins" >>"$work/read_$name" \
    2>>"$work/probe.log"
}
SDL_AUDIODRIVER=dummy cues_and_pace dummy
for server in pulseaudio pipewire; do
  mkdir -m 700 "$work/$server"
  "start_$server" "$work/$server"
  for _ in $(seq 100); do
    PULSE_SERVER="unix:$work/$server/pulse/native" pactl get-default-sink 2>/dev/null |
      grep -qx out && break
    sleep 0.1
  done
  PULSE_SERVER="unix:$work/$server/pulse/native" cues_and_pace "$server"
  if [ $server = pipewire ]; then
    for _ in $(seq "$read_runs"); do
      read_spins dummy SDL_AUDIODRIVER=dummy
      read_spins pipewire PULSE_SERVER="unix:$work/$server/pulse/native"
    done
  fi
  kill $server_pids
  server_pids=""
done
cue_rows "Cue beyond its length, dummy driver" "$work/cues_dummy"
cue_rows "Cue through PulseAudio" "$work/cues_pulseaudio"
cue_rows "Cue through PipeWire" "$work/cues_pipewire"
cycle_rows "$work/cycles"

pace_file=$work/pace_dummy
spin_off=$(values sound_off_spin_median_ms "$pace_file")
spin_dummy=$(values sound_on_spin_median_ms "$pace_file")
row "Default spin (limit 75), sound off" "$(ms "$spin_off")" ms "3000 +/- 10 % ($pace_spins spins)" "v >= 2700 && v <= 3300"
row "Default spin (limit 75), sound on, dummy driver" "$(ms "$spin_dummy")" ms "the baseline (lever.wav comes first)" ""
row "Tick, sound off, p95" "$(values sound_off_tick_p95_ms "$pace_file")" ms "<= 12 ms" "v <= 12"
row "Tick, sound on, dummy driver, p95" "$(values sound_on_tick_p95_ms "$pace_file")" ms "<= 12 ms" "v <= 12"
for server in pulseaudio pipewire; do
  label=$([ $server = pulseaudio ] && echo PulseAudio || echo PipeWire)
  spin=$(values sound_on_spin_median_ms "$work/pace_$server")
  row "Default spin, sound on, through $label" "$(ms "$spin")" ms "" ""
  row "Spin ratio, $label / dummy driver" "$(ratio "$spin" "$spin_dummy")" x "<= 1.10" "v <= 1.10"
  row "Tick, sound on, through $label, p95" "$(values sound_on_tick_p95_ms "$work/pace_$server")" ms "<= 12 ms" "v <= 12"
done
read_dummy=$(values sound_on_spin_median_ms "$work/read_dummy" | median)
read_pipewire=$(values sound_on_spin_median_ms "$work/read_pipewire" | median)
row "Default spin, screen reader reading, dummy driver" "$(ms "$read_dummy")" ms "($read_runs runs, in turns)" ""
row "Default spin, screen reader reading, PipeWire" "$(ms "$read_pipewire")" ms "" ""
row "Spin ratio with a screen reader, PipeWire / dummy" "$(ratio "$read_pipewire" "$read_dummy")" x "<= 1.10" "v <= 1.10"
row "Tick work with the floor off, median" "$(values floor_off_tick_median_ms "$pace_file")" ms "" ""
row "Tick work with the floor off, p95" "$(values floor_off_tick_p95_ms "$pace_file")" ms "" ""
wait_quiet
QT_SCALE_FACTOR=2 QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy "$bin/bench_spin" pace "$pace_spins" \
  >"$work/pace2" 2>>"$work/probe.log"
row "Tick work with the floor off at scale 2, median" "$(values floor_off_tick_median_ms "$work/pace2")" ms "" ""
row "Tick work with the floor off at scale 2, p95" "$(values floor_off_tick_p95_ms "$work/pace2")" ms "" ""

# 4. Idle: nothing but the display refresh, on a real window: with no credits
# it blinks "INSERT COIN" ten times a second. With the pointer resting over the
# window Qt asks the X server where it is at each blink; away, it does not.
# The floor is a bare Qt window that only blinks one label at that pace; the
# budget is a share of it measured in the same run, as a share of a core is
# not the same figure from one machine to the next.
wait_quiet
for _ in $(seq "$idle_runs"); do
  "$bin/bench_window_probe" "${reels[@]}" "${on_window[@]}" --settle 2 --idle 10 -- "$bin/rolvanger" \
    >>"$work/idle" 2>>"$work/probe.log"
  "$bin/bench_window_probe" --rect 216,8,169,33 --colours 3 "${on_window[@]}" --settle 2 --idle 10 -- \
    "$bin/bench_blink_window" >>"$work/idle_floor" 2>>"$work/probe.log"
  "$bin/bench_window_probe" "${reels[@]}" "${off_window[@]}" --settle 2 --idle 10 -- "$bin/rolvanger" \
    >>"$work/idle_away" 2>>"$work/probe.log"
done
idle_over=$(values idle_cpu_pct "$work/idle" | median)
idle_away=$(values idle_cpu_pct "$work/idle_away" | median)
idle_floor=$(values idle_cpu_pct "$work/idle_floor" | median)
row "Idle CPU, a bare window blinking one label" "$idle_floor" % "floor, pointer over it ($idle_runs runs)" ""
row "Idle CPU over 10 s, pointer over the window" "$idle_over" % "" ""
row "Idle CPU over 10 s, pointer away" "$idle_away" % "" ""
row "Idle ratio, pointer over / floor" "$(ratio "$idle_over" "$idle_floor")" x "<= 0.85" "v <= 0.85"
row "Idle ratio, pointer away / floor" "$(ratio "$idle_away" "$idle_floor")" x "<= 0.85" "v <= 0.85"

# 5. Memory.
row "Resident memory after start-up, minimal window" "$((rss_min / 1024))" MB "baseline" ""
row "Resident memory after start-up, rolvanger" "$((rss_game / 1024))" MB "" ""
row "Resident memory ratio, rolvanger / minimal" "$(awk -v a="$rss_game" -v b="$rss_min" 'BEGIN { printf "%.2f", a / b }')" x "<= 1.3" "v <= 1.3"
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy "$bin/bench_spin" memory "$memory_spins" \
  >"$work/memory" 2>>"$work/probe.log"
row "Memory growth over $memory_spins speed-mode spins" "$(values rss_growth_kb "$work/memory")" kB "< 1024 kB" "v < 1024"
row "Heap growth over the same spins" "$(values heap_growth_kb "$work/memory")" kB "" ""

# Leak check: valgrind on the real program (start, refresh, close box) and on
# a whole game in one process. A leak is the program's when the code that
# allocated the lost block, the first frame past the allocator, is in src/.
# Children forked on the way (the sound server's autospawn, D-Bus's autolaunch)
# would report the parent's heap as their own: they are kept silent.
vg=(valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect
  --num-callers=40 --fullpath-after= --child-silent-after-fork=yes)
"$bin/bench_window_probe" "${reels[@]}" "${on_window[@]}" --timeout 300 --settle 3 --close -- \
  "${vg[@]}" --log-file="$work/vg-rolvanger" "$bin/rolvanger" >"$work/close" 2>>"$work/probe.log"
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy "${vg[@]}" --log-file="$work/vg-game" \
  "$bin/bench_spin" game >/dev/null 2>>"$work/probe.log"
leaks() { # valgrind log -> "ours_bytes all_bytes"
  awk -v src="$root/src/" '
    / are (definitely|indirectly) lost in loss record / {
      gsub(",", "", $2); bytes = $2; open = 1; decided = 0; all += bytes; next }
    open && /(at|by) 0x[0-9A-F]+: / {
      if (decided) next
      if ($0 ~ /: (malloc|calloc|realloc|memalign|posix_memalign|aligned_alloc|strdup|strndup|operator new|g_malloc|g_malloc0|g_realloc|g_strdup)[ (]/) next
      decided = 1
      if (index($0, src)) { ours += bytes; print "  " $0 > "/dev/stderr" }
      next }
    /^==[0-9]+== $/ { open = 0 }
    END { printf "%d %d\n", ours, all }' "$1"
}
read -r ours_real all_real < <(leaks "$work/vg-rolvanger")
read -r ours_game all_game < <(leaks "$work/vg-game")
row "Exit status after the close box" "$(values exit_status "$work/close")" "" "0" "v == 0"
row "Leaked by the program (rolvanger)" "$ours_real" B "0" "v == 0"
row "Leaked by the program (a whole game)" "$ours_game" B "0" "v == 0"
row "Lost inside system libraries (rolvanger)" "$((all_real - ours_real))" B "" ""
row "Lost inside system libraries (a whole game)" "$((all_game - ours_game))" B "" ""

echo
echo "Load at end: $(cut -d' ' -f1-3 /proc/loadavg)"
if [ -n "${BENCH_KEEP:-}" ]; then
  mkdir -p "$build/bench-logs" && cp -r "$work"/. "$build/bench-logs/"
fi
exit "$missed"
