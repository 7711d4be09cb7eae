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
  echo "== $name (${NORVANE_FUZZ_SECONDS:-20} s)"
  if ! "$target" -max_total_time="${NORVANE_FUZZ_SECONDS:-20}" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=0 "$corpus" "$SEEDS" > "build/fuzz/$name.log" 2>&1; then
    echo "fuzz target $name failed:"; tail -n 40 "build/fuzz/$name.log"; failed=1
  fi
done
[ "$failed" = 0 ] || exit 1
echo "All tests and fuzz runs passed."
