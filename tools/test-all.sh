#!/usr/bin/env bash
# Installs, builds with AddressSanitizer + UBSan and runs every test, then runs
# each fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${NORVANE_SKIP_INSTALL:-0}" = 1 ] || bash tools/install-packages.sh
export QT_QPA_PLATFORM=offscreen
cmake --preset debug
cmake --build --preset debug -j"$(nproc)"
ctest --preset debug

# The Debian package: built from the release programs, unpacked into a scratch root;
# the installed programs must make a working folder from their own data and run there.
if [ "${NORVANE_SKIP_PACKAGE:-0}" != 1 ]; then
  cmake --workflow --preset package
  DEB=$(ls -t build/run/norvane_*.deb | head -n 1)
  SCRATCH=$(mktemp -d)
  trap 'rm -rf "$SCRATCH"' EXIT
  dpkg -x "$DEB" "$SCRATCH/root"
  BIN="$SCRATCH/root/usr/bin"
  for f in usr/share/applications/norvane.desktop usr/share/icons/hicolor/scalable/apps/norvane.svg \
           usr/share/norvane/main.stn usr/share/norvane/scripts/startup.nvs usr/bin/varnex usr/bin/tessal; do
    [ -e "$SCRATCH/root/$f" ] || { echo "package test: $f is missing from $DEB"; exit 1; }
  done
  dpkg-deb -f "$DEB" Depends | grep -q libqt6widgets6 || { echo "package test: no Qt dependency declared"; exit 1; }
  # Port 9 on this machine: the test's downloads fail at once and never leave it.
  timeout 30 "$BIN/norvane-workdir" "$SCRATCH/work" http://127.0.0.1:9 | tee "$SCRATCH/workdir.txt"
  grep -q "from $SCRATCH/root/usr/share/norvane" "$SCRATCH/workdir.txt"
  (cd "$SCRATCH/work" && QT_QPA_PLATFORM=offscreen timeout 60 "$BIN/norvane-batch" --no-startup "ECHO hi" --log log.txt)
  grep -qx '\* HI *' <(tr -d '\r' < "$SCRATCH/work/log.txt") || { echo "package test: no ECHO in the log"; cat "$SCRATCH/work/log.txt"; exit 1; }
  # The desktop entry's start: ~/Norvane is made ready (here over a folder whose
  # settings keep downloads local) and NorvaneApp does its start-up there.
  "$BIN/norvane-workdir" "$SCRATCH/home/Norvane" http://127.0.0.1:9 > /dev/null
  rm "$SCRATCH/home/Norvane/main.stn"
  touch "$SCRATCH/home/Norvane/left-over.pid"
  (cd "$SCRATCH" && HOME="$SCRATCH/home" QT_QPA_PLATFORM=offscreen exec timeout 30 "$BIN/NorvaneApp" --home) &
  APP=$!
  for _ in $(seq 1 100); do
    [ -e "$SCRATCH/home/Norvane/left-over.pid" ] || break
    sleep 0.2
  done
  kill "$APP" 2>/dev/null || true
  wait "$APP" || true
  if [ -e "$SCRATCH/home/Norvane/left-over.pid" ] || [ ! -e "$SCRATCH/home/Norvane/main.stn" ]; then
    echo "package test: NorvaneApp --home did not start in ~/Norvane"; exit 1
  fi
  echo "Package test passed: $DEB"
fi

# Fuzz targets: a short bounded run each, seeded from the sample reports when present.
cmake --preset fuzz
cmake --build --preset fuzz -j"$(nproc)"
SEEDS=build/fuzz/seeds
mkdir -p "$SEEDS"
if [ -d ../shared/data ]; then
  head -n 200 ../shared/data/sample_reports.txt | split -l 1 - "$SEEDS/report-" 2>/dev/null || true
fi
failed=0
for target in build/fuzz/bin/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="build/fuzz/corpus-$name"
  mkdir -p "$corpus"
  # A target's own seeds (the bad inputs that were once faults) are in fuzz/corpus/NAME.
  seeds_of_target=()
  [ -d "fuzz/corpus/${name#fuzz_}" ] && seeds_of_target=("fuzz/corpus/${name#fuzz_}")
  echo "== $name (${NORVANE_FUZZ_SECONDS:-20} s)"
  if ! "$target" -max_total_time="${NORVANE_FUZZ_SECONDS:-20}" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=0 "$corpus" "$SEEDS" "${seeds_of_target[@]}" > "build/fuzz/$name.log" 2>&1; then
    echo "fuzz target $name failed:"; tail -n 40 "build/fuzz/$name.log"; failed=1
  fi
done
[ "$failed" = 0 ] || exit 1
echo "All tests and fuzz runs passed."
