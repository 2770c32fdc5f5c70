#!/usr/bin/env bash
# Runs a program on an X server of its own, a 1024 x 768 screen.
#
#   on_own_display.sh PROGRAM ARGS...
set -euo pipefail
folder=$(mktemp -d)
xvfb=
trap '[ -z "$xvfb" ] || { kill "$xvfb" 2>/dev/null; wait "$xvfb"; } || true; rm -rf "$folder"' EXIT
# The X server takes a display number no other server holds and tells it
# once it listens: a number picked beforehand (as xvfb-run -a picks one) may
# be taken meanwhile by another server starting at the same moment.
mkfifo "$folder/display"
# It tries the numbers in turn and says so for each one taken: its words are
# shown only if it does not start.
# It does not reset when its last client leaves (-noreset): a window manager
# that starts slowly connects after the probes looking for it have come and
# gone, and KWin once failed to connect on a fresh machine.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$folder/display" \
    2>"$folder/xvfb.log" &
xvfb=$!
read -r display <"$folder/display" || { cat "$folder/xvfb.log" >&2; exit 1; }
status=0
DISPLAY=":$display" "$@" || status=$?
exit "$status"
