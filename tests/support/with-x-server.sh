#!/usr/bin/env bash
# Runs a command on a virtual X server (800x600, 24-bit) with a window
# manager, as a desktop would have, so that full screen and window
# placement behave as they do for players.
set -euo pipefail
exec xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 1  # the manager announces itself before it has taken over the screen
  "$@"; rc=$?
  kill $wm 2>/dev/null || true
  exit $rc' bash "$@"
