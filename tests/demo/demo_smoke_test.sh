#!/usr/bin/env bash
# The demo comes up: scripts/demo under a virtual display saves a picture of the main
# window. Uses a data folder of its own and stops its server afterwards.
set -euo pipefail
ROOT=${PROTASK_SOURCE_DIR:?}
BUILD=${PROTASK_BINARY_DIR:?}
WORK=$(mktemp -d /tmp/protask-demo-smoke.XXXXXX)
export PROTASK_DEMO_HOME="$WORK/home" PROTASK_BUILD_DIR="$BUILD" PROTASK_DEMO_NO_BUILD=1
unset QT_QPA_PLATFORM
trap '"$ROOT/scripts/protask-db" stop "$PROTASK_DEMO_HOME/db" >/dev/null 2>&1 || true; rm -rf "$WORK"' EXIT
fail() {
  echo "not ok - $*"
  exit 1
}
demo() { timeout 300 xvfb-run -a -s "-screen 0 1400x900x24" "$ROOT/scripts/demo" --screenshot "$1"; }

# Without a display the demo explains how to get one and fails.
! env -u DISPLAY -u WAYLAND_DISPLAY "$ROOT/scripts/demo" >"$WORK/nodisplay.txt" 2>&1 || fail "the demo started without a display"
grep -q "xvfb-run" "$WORK/nodisplay.txt" || fail "no hint about xvfb-run: $(cat "$WORK/nodisplay.txt")"
echo "ok - without a display the demo says how to get one"

demo "$WORK/demo.png"
size=$(stat -c %s "$WORK/demo.png" 2>/dev/null || echo 0)
[ "$size" -gt 20000 ] || fail "no screenshot, or one too small ($size bytes)"
file "$WORK/demo.png" | grep -q "PNG image data" || fail "the screenshot is not a PNG"
echo "ok - screenshot of the main window ($size bytes)"
cp "$WORK/demo.png" "$BUILD/demo-screenshot.png"

# A second run reuses the data folder and the running server.
pid_before=$(cat "$PROTASK_DEMO_HOME/db/mysqld.pid")
demo "$WORK/demo2.png"
[ "$pid_before" = "$(cat "$PROTASK_DEMO_HOME/db/mysqld.pid")" ] || fail "the second run started another server"
echo "ok - the second run reuses the server"
echo "3 passed, 0 failed"
