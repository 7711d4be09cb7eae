#!/usr/bin/env bash
# run-demo.sh refuses, before building anything, a port that another program answers on.
# Usage: run_demo_port_test.sh SOURCE-DIR SAMPLE-SERVER
set -uo pipefail
SOURCE="$1" SERVER_BIN="$2"
PORT=$((30000 + $$ % 20000))
SCRATCH=$(mktemp -d)
(cd "$SCRATCH" && exec "$SERVER_BIN" "$PORT") >/dev/null 2>&1 &
HOLDER=$!
trap 'kill $HOLDER 2>/dev/null; rm -rf "$SCRATCH"' EXIT
for _ in $(seq 50); do (exec 3<>"/dev/tcp/127.0.0.1/$PORT") 2>/dev/null && break; sleep 0.1; done
OUT=$(NORVANE_SKIP_INSTALL=1 NORVANE_DEMO_PORT=$PORT timeout 20 bash "$SOURCE/tools/run-demo.sh" 2>&1)
STATUS=$?
if [ "$STATUS" -ne 1 ] || ! grep -q "port $PORT on 127.0.0.1 is already in use" <<<"$OUT"; then
  echo "expected a clear refusal (exit 1), got exit $STATUS:"; echo "$OUT"; exit 1
fi
echo "refused as expected: $OUT"
