#!/usr/bin/env bash
# Runs a test program where a screen reader would listen: on an X server of
# its own, with a session bus and the accessibility bus on it, so that Qt
# raises its accessibility events (QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 in the
# environment makes it export them without asking whether a reader runs).
#
#   screen_reader_bus.sh PROGRAM ARGS...
set -euo pipefail
exec bash "$(dirname "$0")/on_own_display.sh" dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  launcher=$!
  status=0
  "$@" || status=$?
  kill "$launcher" 2>/dev/null || true
  exit "$status"' bash "$@"
