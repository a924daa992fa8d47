#!/usr/bin/env bash
# The demo comes up: scripts/demo under a virtual display saves a picture of the main
# window. Uses a data folder of its own and stops its server afterwards.
set -euo pipefail
ROOT=${PROTASK_SOURCE_DIR:?}
BUILD=${PROTASK_BINARY_DIR:?}
WORK=$(mktemp -d /tmp/protask-demo-smoke.XXXXXX)
export PROTASK_DEMO_HOME="$WORK/home"
export PROTASK_BUILD_DIR="$BUILD"
export PROTASK_DEMO_NO_BUILD=1
unset QT_QPA_PLATFORM
trap '"$ROOT/scripts/protask-db" stop "$PROTASK_DEMO_HOME/db" >/dev/null 2>&1 || true; rm -rf "$WORK"' EXIT

# Without a display the demo explains how to get one and fails.
if env -u DISPLAY -u WAYLAND_DISPLAY "$ROOT/scripts/demo" > "$WORK/nodisplay.txt" 2>&1; then
  echo "not ok - the demo started without a display"; exit 1
fi
grep -q "xvfb-run" "$WORK/nodisplay.txt" || { echo "not ok - no hint about xvfb-run"; cat "$WORK/nodisplay.txt"; exit 1; }
echo "ok - without a display the demo says how to get one"

timeout 300 xvfb-run -a -s "-screen 0 1400x900x24" "$ROOT/scripts/demo" --screenshot "$WORK/demo.png"
[ -s "$WORK/demo.png" ] || { echo "not ok - no screenshot"; exit 1; }
size=$(stat -c %s "$WORK/demo.png")
[ "$size" -gt 20000 ] || { echo "not ok - screenshot too small ($size bytes)"; exit 1; }
file "$WORK/demo.png" | grep -q "PNG image data" || { echo "not ok - not a PNG"; exit 1; }
echo "ok - screenshot of the main window ($size bytes)"
cp "$WORK/demo.png" "$BUILD/demo-screenshot.png"

# A second run reuses the data folder and the running server.
pid_before=$(cat "$PROTASK_DEMO_HOME/db/mysqld.pid")
timeout 300 xvfb-run -a -s "-screen 0 1400x900x24" "$ROOT/scripts/demo" --screenshot "$WORK/demo2.png"
pid_after=$(cat "$PROTASK_DEMO_HOME/db/mysqld.pid")
[ "$pid_before" = "$pid_after" ] || { echo "not ok - the second run started another server"; exit 1; }
echo "ok - the second run reuses the server"
echo "3 passed, 0 failed"
