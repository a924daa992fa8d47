#!/usr/bin/env bash
# protask-host --help and --version answer on a machine without a display: they print
# and exit 0 before the GUI application starts, and touch no data folder.
set -uo pipefail
host=${1:?protask-host path}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

passed=0
failed=0
ok() { echo "ok - $1"; passed=$((passed + 1)); }
not_ok() { echo "not ok - $1"; printf '#   %s\n' "${@:2}"; failed=$((failed + 1)); }

# run ARGS...: the host without any display, with a home of its own; OUT, ERR and RC.
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u PROTASK_HOME \
    HOME="$WORK/home" XDG_DATA_HOME="$WORK/data" \
    timeout 30 "$host" "$@" >"$WORK/out" 2>"$WORK/err"
  RC=$?
  OUT=$(cat "$WORK/out")
  ERR=$(cat "$WORK/err")
}

for flag in --help -h; do
  run "$flag"
  if [ "$RC" -eq 0 ]; then ok "$flag exits 0"; else not_ok "$flag exits 0" "exit $RC" "$ERR"; fi
  for option in --home --db-host --db-port --db-socket --db-user --db-password --db-name --user --plugin --open; do
    if grep -q -- "^ *$option " <<<"$OUT"; then ok "$flag lists $option"; else not_ok "$flag lists $option" "$OUT"; fi
  done
done

run --version
if [ "$RC" -eq 0 ] && grep -q "0\.[0-9]" <<<"$OUT"; then ok "--version prints the version"; else not_ok "--version prints the version" "exit $RC" "$OUT$ERR"; fi

# Options before --help are not taken for a run: no folder is made, no server started.
run --db-name other --help
if [ "$RC" -eq 0 ]; then ok "--help after other options exits 0"; else not_ok "--help after other options exits 0" "exit $RC"; fi
if [ ! -e "$WORK/home" ] && [ ! -e "$WORK/data" ]; then
  ok "no data folder is made"
else
  not_ok "no data folder is made" "$(ls -AR "$WORK")"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
