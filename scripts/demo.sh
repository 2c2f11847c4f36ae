#!/usr/bin/env bash
# Builds Nivalo and the demo title (pictures drawn by ImageMagick, scripts
# compiled by VIZud, pictures packed by nvpack) and runs it: in a window
# when a display is there, headless otherwise (then the last frame is
# written as a PNG). Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs" --target nivalo VIZud nvpack

title=build/demo-title
rm -rf "$title"
mkdir -p "$title/pac"
cp examples/demo/title.cfg examples/demo/*.nvs "$title"/
examples/demo/make-images.sh build/demo-images
build/bin/VIZud --quiet "$title"
build/bin/nvpack -q build/demo-images -o "$title/pac/demo.npf"

mode=()
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  snapshot=$PWD/build/demo-last-frame.png
  mode=(--headless --frames "${DEMO_FRAMES:-420}" --snapshot "$snapshot")
  echo "demo: no display here, running headless for ${DEMO_FRAMES:-420} frames"
fi
set +e
# In the background so that a signal to this script alone (as `timeout`
# sends) ends the demo too instead of leaving its window behind.
build/bin/nivalo "${mode[@]}" "$title" &
pid=$!
trap 'kill -TERM "$pid" 2>/dev/null' INT TERM HUP
wait "$pid"
rc=$?
while kill -0 "$pid" 2>/dev/null; do
  wait "$pid"
  rc=$?
done
trap - INT TERM HUP
set -e
if (( ${#mode[@]} )); then echo "demo: the last frame is in $snapshot"; fi
exit $rc
