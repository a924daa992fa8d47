#!/usr/bin/env bash
# protask-host --help and --version answer on a machine without a display: they print and
# exit 0 before the GUI application starts, and touch no data folder.
set -uo pipefail
host=${1:?protask-host path}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
passed=0
failed=0
# check DESCRIPTION CONDITION...: the condition is a test command.
check() {
  if "${@:2}"; then echo "ok - $1"; passed=$((passed + 1)); return; fi
  echo "not ok - $1"
  printf '#   %s\n' "exit $RC" "$OUT" "$(cat "$WORK/err")"
  failed=$((failed + 1))
}
# run ARGS...: the host without any display and with a home of its own; OUT (standard
# output) and RC.
run() {
  OUT=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u PROTASK_HOME HOME="$WORK/home" XDG_DATA_HOME="$WORK/data" \
    timeout 30 "$host" "$@" 2>"$WORK/err")
  RC=$?
}

for flag in --help -h; do
  run "$flag"
  check "$flag exits 0" [ "$RC" -eq 0 ]
  for option in --home --db-host --db-port --db-socket --db-user --db-password --db-name --user --plugin --open; do
    check "$flag lists $option" grep -q -- "^ *$option " <<<"$OUT"
  done
done
run --version
check "--version exits 0" [ "$RC" -eq 0 ]
check "--version prints the version" grep -q "0\.[0-9]" <<<"$OUT"
# Options before --help are not taken for a run: no folder is made, no server started.
run --db-name other --help
check "--help after other options exits 0" [ "$RC" -eq 0 ]
check "no data folder is made" test ! -e "$WORK/home" -a ! -e "$WORK/data"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
