# What the bench scripts share; sourced, not run.

xvfb_pids=""
# start_xvfb VAR FOLDER GEOMETRY: an X server on a display number of its own
# choosing, black root window, never reset between clients; its name goes
# into VAR.
start_xvfb() {
  local file
  file=$(mktemp "$2/display.XXXXXX")
  Xvfb -displayfd 3 -screen 0 "$3" -nolisten tcp -noreset -br 3>"$file" 2>>"$2/xvfb.log" &
  xvfb_pids="$xvfb_pids $!"
  for _ in $(seq 100); do
    [ -s "$file" ] && break
    sleep 0.1
  done
  [ -s "$file" ] || { echo "Xvfb did not start" >&2; return 1; }
  printf -v "$1" ':%s' "$(cat "$file")"
}
stop_xvfb() {
  [ -n "$xvfb_pids" ] && kill $xvfb_pids 2>/dev/null || true
}

# Other work on the machine disturbs every timing: before each timed part,
# wait (up to 5 minutes) until the CPUs have been at least 85 % idle for a
# second, and say so when they never were.
busy_percent() {
  { head -1 /proc/stat; sleep 1; head -1 /proc/stat; } | awk '
    { t = 0; for (i = 2; i <= NF; i++) t += $i; idle[NR] = $5; total[NR] = t }
    END { printf "%d", 100 - 100 * (idle[2] - idle[1]) / (total[2] - total[1]) }'
}
wait_quiet() {
  local deadline=$((SECONDS + 300)) busy
  while busy=$(busy_percent) && [ "$busy" -gt 15 ]; do
    if [ $SECONDS -ge $deadline ]; then
      echo "(the machine stayed busy, $busy % of its CPUs: the timings below are disturbed)"
      return
    fi
  done
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan";
  else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# The value of KEY in a file of "key value" lines, one per run ("-": standard input).
values() { awk -v k="$1" '$1 == k { print $2 }' "$2"; }
