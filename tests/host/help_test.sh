#!/usr/bin/env bash
# protask-host --help and --version answer on a machine without a display: they print and
# exit 0 before the GUI application starts, and touch no data folder (options before --help
# are not taken for a run).
set -euo pipefail
host=${1:?protask-host path}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
trap 'echo "not ok - line $LINENO: $BASH_COMMAND"' ERR
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u PROTASK_HOME HOME="$WORK/home" XDG_DATA_HOME="$WORK/data" \
    timeout 30 "$host" "$@"
}
for flag in --help -h; do
  out=$(run --db-name other "$flag")
  grep -q -- "^ *--db-name " <<<"$out" || { echo "not ok - $flag does not list the options"; exit 1; }
done
run --version | grep -q "0\.[0-9]"
test ! -e "$WORK/home" -a ! -e "$WORK/data"
echo "ok - help and version without a display or a data folder"
