#!/usr/bin/env bash
# Installs, builds (release, only the programs it starts) and starts NorvaneApp in
# a ready working folder, with the sample bulletin server on 127.0.0.1 feeding it
# observations.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${NORVANE_SKIP_INSTALL:-0}" = 1 ] || bash tools/install-packages.sh
cmake --preset run
cmake --build --preset run -j"$(nproc)"
cmake --build build/run --target workdir
BIN="$PWD/build/run/bin"
WORK="$PWD/build/run/workdir"
# The local server answers the hourly bulletins that the first server template asks for.
if [ -x "$BIN/norvane-sample-server" ]; then
  (cd "$WORK" && exec "$BIN/norvane-sample-server" 8642) &
  SERVER=$!
  trap 'kill $SERVER 2>/dev/null || true' EXIT
fi
cd "$WORK"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  "$BIN/NorvaneApp"
else
  echo "No desktop found: starting NorvaneApp under Xvfb (display :99)."
  xvfb-run -n 99 -s "-screen 0 1600x1000x24" "$BIN/NorvaneApp"
fi
