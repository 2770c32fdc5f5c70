#!/usr/bin/env bash
# Runs a test program where a screen reader would listen: on an X server of
# its own, with a session bus and the accessibility bus on it, so that Qt
# raises its accessibility events (QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 in the
# environment makes it export them without asking whether a reader runs).
#
#   screen_reader_bus.sh PROGRAM ARGS...
set -euo pipefail
folder=$(mktemp -d)
xvfb=
trap '[ -z "$xvfb" ] || { kill "$xvfb" 2>/dev/null; wait "$xvfb"; } || true; rm -rf "$folder"' EXIT
# The X server takes a display number no other server holds and tells it
# once it listens: a number picked beforehand may be taken meanwhile by
# another server starting at the same moment.
mkfifo "$folder/display"
# It tries the numbers in turn and says so for each one taken: its words are
# shown only if it does not start.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$folder/display" 2>"$folder/xvfb.log" &
xvfb=$!
read -r display <"$folder/display" || { cat "$folder/xvfb.log" >&2; exit 1; }
status=0
DISPLAY=":$display" dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  launcher=$!
  status=0
  "$@" || status=$?
  kill "$launcher" 2>/dev/null || true
  exit "$status"' bash "$@" || status=$?
exit "$status"
