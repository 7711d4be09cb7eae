#!/usr/bin/env bash
# Installs, builds (release, only the programs it starts) and starts NorvaneApp in
# a ready working folder, with the sample bulletin server on 127.0.0.1 feeding it
# observations.
#
# NORVANE_DEMO_PORT picks the server's port (default 8642). A port that another
# program already answers on is refused before anything is built: the map would
# otherwise show that program's data.
set -euo pipefail
cd "$(dirname "$0")/.."
PORT="${NORVANE_DEMO_PORT:-8642}"
port_answers() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
if port_answers "$PORT"; then
  echo "run-demo: port $PORT on 127.0.0.1 is already in use by another program." >&2
  echo "Stop that program, or pick a free port, e.g. NORVANE_DEMO_PORT=8650 bash tools/run-demo.sh" >&2
  exit 1
fi
[ "${NORVANE_SKIP_INSTALL:-0}" = 1 ] || bash tools/install-packages.sh
cmake --preset run
cmake --build --preset run -j"$(nproc)"
BIN="$PWD/build/run/bin"
WORK="$PWD/build/run/workdir"
"$BIN/norvane-workdir" "$WORK" "http://127.0.0.1:$PORT"
# The demo folder is ours: its server templates follow the port chosen for this run.
sed -i "s#http://127\.0\.0\.1:[0-9]*/#http://127.0.0.1:$PORT/#g" "$WORK/norvane.ini"
# The local server answers the hourly bulletins that the first server template asks for.
if [ -x "$BIN/norvane-sample-server" ]; then
  (cd "$WORK" && exec "$BIN/norvane-sample-server" "$PORT") &
  SERVER=$!
  trap 'kill $SERVER 2>/dev/null || true' EXIT
  sleep 1
  if ! kill -0 "$SERVER" 2>/dev/null; then
    echo "run-demo: the sample server could not listen on port $PORT; see its message above." >&2
    exit 1
  fi
fi
cd "$WORK"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  "$BIN/NorvaneApp"
else
  echo "No desktop found: starting NorvaneApp under Xvfb (display :99)."
  xvfb-run -n 99 -s "-screen 0 1600x1000x24" "$BIN/NorvaneApp"
fi
