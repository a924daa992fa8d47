#!/usr/bin/env bash
# scripts/protask-db against real mariadbd processes: first start (a folder private to its
# owner, temporary files inside it), repeated start, recovery after kill -9, a folder busy
# with someone else's server, a server that cannot start, loading files, stop, and paths.
#
# Environment: PROTASK_SOURCE_DIR (repository root), PROTASK_TEST_TMP (where the scratch
# folder goes; default /tmp). The scratch folder is kept for inspection when a check failed.
set -uo pipefail
SRC="${PROTASK_SOURCE_DIR:-$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/../.." && pwd)}"
DB="$SRC/scripts/protask-db"
unset PROTASK_DB_EXTRA_OPTS PROTASK_DB_START_TIMEOUT PROTASK_DB_STOP_TIMEOUT
export PROTASK_DB_FAST=1
mkdir -p -- "${PROTASK_TEST_TMP:-/tmp}"
SCRATCH="$(mktemp -d "${PROTASK_TEST_TMP:-/tmp}/psrv.XXXXXX")"
FOLDER="$SCRATCH/db one" # a space: everything must be quoted on the way through
SOCK="$FOLDER/mysqld.sock"
PIDFILE="$FOLDER/mysqld.pid"
FOREIGN_DIR="$SCRATCH/foreign"
FOREIGN_SOCK="$FOREIGN_DIR/mysqld.sock"
FOREIGN_PID=""
passed=0
failed=0

ok() { echo "ok - $1"; passed=$((passed + 1)); }
not_ok() {
  echo "not ok - $1"
  shift
  printf '#   %s\n' "$@"
  failed=$((failed + 1))
}
# check DESCRIPTION COMMAND...: passes when the command succeeds.
check() { if "${@:2}"; then ok "$1"; else not_ok "$1" "failed: ${*:2}"; fi; }
check_eq() { if [[ "$2" == "$3" ]]; then ok "$1"; else not_ok "$1" "expected: $2" "actual:   $3"; fi; }
check_has() { if [[ "$3" == *"$2"* ]]; then ok "$1"; else not_ok "$1" "expected to find: $2" "in: $3"; fi; }
check_lacks() { if [[ "$3" != *"$2"* ]]; then ok "$1"; else not_ok "$1" "did not expect: $2" "in: $3"; fi; }
check_fails() { if ((RC != 0)); then ok "$1"; else not_ok "$1" "exit 0: $OUT"; fi; }
# run ARGS...: protask-db's combined output in OUT, its exit code in RC.
run() {
  OUT="$("$DB" "$@" 2>&1)"
  RC=$?
}
sql() { mariadb --no-defaults --socket="$SOCK" -uroot --default-character-set=utf8mb4 -N -B -e "$1" 2>&1; }
ping_sock() { mariadb-admin --no-defaults --socket="$1" -uroot --connect-timeout=2 ping >/dev/null 2>&1; }
# Alive and not a zombie (killed servers are reparented and may stay zombies).
alive() {
  local stat
  { [[ -n "$1" ]] && read -r stat <"/proc/$1/stat"; } 2>/dev/null || return 1
  stat="${stat##*) }"
  [[ "${stat%% *}" != Z ]]
}
wait_dead() {
  local i
  for ((i = 0; i < 150; i++)); do
    alive "$1" || return 0
    sleep 0.2
  done
  return 1
}
pidfile_pid() { tr -dc '0-9' 2>/dev/null <"$PIDFILE"; }
# Pids of live mariadbd processes whose command line names DIR as datadir.
servers_on() {
  local f
  for f in /proc/[0-9]*/cmdline; do
    f="${f#/proc/}"
    f="${f%%/*}"
    tr '\0' '\n' 2>/dev/null <"/proc/$f/cmdline" | grep -qxF -- "--datadir=$1" && alive "$f" && echo "$f"
  done
  return 0
}
cleanup() {
  "$DB" stop "$FOLDER" >/dev/null 2>&1
  if [[ -n "$FOREIGN_PID" ]] && alive "$FOREIGN_PID"; then
    mariadb-admin --no-defaults --socket="$FOREIGN_SOCK" -uroot shutdown >/dev/null 2>&1 || kill -TERM "$FOREIGN_PID" 2>/dev/null
    wait_dead "$FOREIGN_PID" || kill -KILL "$FOREIGN_PID" 2>/dev/null
  fi
  local p
  for p in $(servers_on "$FOLDER/data"); do kill -KILL "$p" 2>/dev/null; done
  if ((failed == 0)); then rm -rf -- "$SCRATCH"; else echo "# scratch folder kept: $SCRATCH"; fi
}
trap cleanup EXIT
[[ -x "$DB" ]] || { not_ok "$DB is executable"; exit 1; }

echo "# first start, on an existing folder that others may read (as the host's mkpath leaves it)"
mkdir -p -- "$FOLDER"
chmod 755 -- "$FOLDER"
run start "$FOLDER"
check_eq "start: exits 0" 0 "$RC"
check_has "start: reports pid and socket" "started (pid " "$OUT"
check_has "start: names the socket" "socket $SOCK)" "$OUT"
check "start: FOLDER holds data/, mysqld.sock, mysqld.pid and error.log" \
  test -d "$FOLDER/data/mysql" -a -S "$SOCK" -a -s "$PIDFILE" -a -s "$FOLDER/error.log"
PID1="$(pidfile_pid)"
check "start: pid file names a live server" alive "$PID1"
check "server answers ping as root without password" ping_sock "$SOCK"
check_eq "server runs in a session of its own" "$PID1" "$(ps -o sid= -p "$PID1" | tr -d ' ')"
run status "$FOLDER"
check_eq "status: exits 0 and reports pid and socket" "0 running (pid $PID1, socket $SOCK)" "$RC $OUT"
check_eq "lower-case table names, utf8mb4 in unicode_520_ci, no TCP port, InnoDB" "1 utf8mb4 utf8mb4_unicode_520_ci 1 InnoDB" \
  "$(sql 'SELECT concat_ws(" ", @@lower_case_table_names, @@character_set_server, @@collation_server, @@skip_networking + 0, @@default_storage_engine)')"
check_eq "FOLDER and FOLDER/tmp are their owner's only" "700 700" "$(stat -c %a -- "$FOLDER" "$FOLDER/tmp" | tr '\n' ' ' | sed 's/ $//')"
check_eq "temporary files go to FOLDER/tmp, the server's tmpdir and TMPDIR" "$FOLDER/tmp TMPDIR=$FOLDER/tmp" \
  "$(sql 'SELECT @@tmpdir') $(tr '\0' '\n' 2>/dev/null <"/proc/$PID1/environ" | grep '^TMPDIR=')"
sql "CREATE DATABASE Demo; CREATE TABLE Demo.T_Foo (id INT PRIMARY KEY, name VARCHAR(20)) ENGINE=InnoDB;
     INSERT INTO Demo.T_Foo VALUES (1, 'Zhāng 张三')" >/dev/null
check_eq "table created as T_Foo reads as t_foo" "Zhāng 张三" "$(sql 'SELECT name FROM demo.t_foo WHERE id = 1')"

echo "# start while running"
run start "$FOLDER"
check_eq "second start: exits 0 and says already running" "0 protask-db: already running (pid $PID1, socket $SOCK)" "$RC $OUT"
check_eq "second start: same server" "$PID1" "$(pidfile_pid)"
check_eq "second start: only one server on the folder" "$PID1" "$(servers_on "$FOLDER/data")"

echo "# recovery after the server was killed"
kill -KILL "$PID1"
check "killed server goes away" wait_dead "$PID1"
run status "$FOLDER"
check_eq "status after kill: exits 3 and says stopped" "3 stopped" "$RC $OUT"
run start "$FOLDER"
check_eq "start after kill: exits 0" 0 "$RC"
check_has "start after kill: notes the stale pid file" "stale pid file" "$OUT"
check_has "start after kill: notes the stale socket" "stale socket" "$OUT"
PID2="$(pidfile_pid)"
check "start after kill: new server is alive" alive "$PID2"
check "start after kill: a new process" test "$PID2" != "$PID1"
check_eq "data written before the kill survives" "Zhāng 张三" "$(sql 'SELECT name FROM DEMO.T_FOO WHERE id = 1')"

echo "# folder in use by a server protask-db did not start"
run stop "$FOLDER"
check_eq "stop before foreign start: exits 0" 0 "$RC"
mkdir -p -- "$FOREIGN_DIR"
mariadbd --no-defaults --datadir="$FOLDER/data" --socket="$FOREIGN_SOCK" --pid-file="$FOREIGN_DIR/mysqld.pid" \
  --log-error="$FOREIGN_DIR/error.log" --skip-networking --user="$(id -un)" --lower-case-table-names=1 \
  --innodb-buffer-pool-size=32M </dev/null >/dev/null 2>&1 &
FOREIGN_PID=$!
for ((i = 0; i < 300; i++)); do
  ping_sock "$FOREIGN_SOCK" && break
  alive "$FOREIGN_PID" || break
  sleep 0.2
done
if ping_sock "$FOREIGN_SOCK"; then
  ok "foreign server is up"
  run start "$FOLDER"
  check_fails "start on a busy folder: fails"
  check_has "start on a busy folder: says it is in use" "in use" "$OUT"
  check_has "start on a busy folder: names the other server" "pid $FOREIGN_PID" "$OUT"
  check_eq "start on a busy folder: starts nothing" "$FOREIGN_PID" "$(servers_on "$FOLDER/data")"
  check "start on a busy folder: leaves no socket behind" test ! -e "$SOCK"
  echo "$FOREIGN_PID" >"$PIDFILE" # our pid file naming a live server that does not answer on our socket
  run start "$FOLDER"
  check_fails "pid file of a deaf server: start fails"
  check_has "pid file of a deaf server: says it is in use" "in use by mariadbd pid $FOREIGN_PID" "$OUT"
  check_has "pid file of a deaf server: names our socket" "not answering on $SOCK" "$OUT"
  rm -f -- "$PIDFILE"
  run stop "$FOLDER"
  check_eq "stop leaves a foreign server alone: exits 0" 0 "$RC"
  check "stop leaves a foreign server alone: it still answers" ping_sock "$FOREIGN_SOCK"
  mariadb-admin --no-defaults --socket="$FOREIGN_SOCK" -uroot shutdown >/dev/null 2>&1
  check "foreign server stops" wait_dead "$FOREIGN_PID"
  wait "$FOREIGN_PID" 2>/dev/null
  FOREIGN_PID=""
else
  not_ok "foreign server is up" "$(tail -n 20 "$FOREIGN_DIR/error.log" 2>/dev/null)"
fi

echo "# a server that cannot start"
OUT="$(PROTASK_DB_EXTRA_OPTS=--no-such-option "$DB" start "$FOLDER" 2>&1)"
RC=$?
check_fails "bad option: start fails"
check_has "bad option: says the server did not start" "the server did not start; its log says:" "$OUT"
check_has "bad option: shows the server's own error" "unknown option '--no-such-option'" "$OUT"
# error.log holds earlier successful starts; only this attempt may be shown.
check_lacks "bad option: shows only this attempt's log lines" "ready for connections" "$OUT"
check_eq "bad option: no server left on the folder" "" "$(servers_on "$FOLDER/data")"
check "bad option: no pid file left" test ! -e "$PIDFILE"
run status "$FOLDER"
check_eq "bad option: status says stopped" 3 "$RC"

echo "# loading files and stop"
run start "$FOLDER"
check_eq "start after failures: exits 0" 0 "$RC"
PID3="$(pidfile_pid)"
check_eq "start after failures: data still there" 1 "$(sql 'SELECT COUNT(*) FROM demo.t_foo')"
# The database is made (any name), files run in order, the first failing file stops the load
# with the client's message, --fresh starts from an empty database.
printf 'create table t_a (id int);\ninsert into t_a values (1);\n' >"$SCRATCH/a.sql"
printf 'insert into t_a values (2);\n' >"$SCRATCH/b.sql"
printf 'insert into t_missing values (3);\n' >"$SCRATCH/bad.sql"
loaded() { sql 'SELECT group_concat(id order by id) FROM `odd``name`.t_a'; }
run load "$FOLDER" 'odd`name' "$SCRATCH/a.sql" "$SCRATCH/b.sql"
check_eq "load: exits 0, the files ran in order" "0 1,2" "$RC $(loaded)"
run load "$FOLDER" 'odd`name' "$SCRATCH/bad.sql" "$SCRATCH/b.sql"
check_eq "load: a failing file fails the load and the files after it do not run" "1 1,2" "$RC $(loaded)"
check_has "load: the client's message is shown" "t_missing" "$OUT"
run load --fresh "$FOLDER" 'odd`name' "$SCRATCH/b.sql"
check_eq "load --fresh: starts from an empty database" 1 "$RC"
run load --fresh "$FOLDER" 'odd`name'
check_eq "load --fresh without files: an empty database" 0 "$(sql 'SELECT count(*) FROM information_schema.tables where table_schema = "odd`name"')"
run stop "$FOLDER"
check_eq "stop: exits 0" 0 "$RC"
check "stop: server process is gone" wait_dead "$PID3"
check "stop: pid file and socket removed" test ! -e "$PIDFILE" -a ! -e "$SOCK"
run status "$FOLDER"
check_eq "stop: status exits 3" 3 "$RC"
run stop "$FOLDER"
check_eq "stop again: exits 0" 0 "$RC"
run stop "$SCRATCH/never-started"
check_eq "stop on a folder never used: exits 0 and creates nothing" "0 1" "$RC $(test -e "$SCRATCH/never-started"; echo $?)"

echo "# paths"
long="$SCRATCH/$(printf 'x%.0s' {1..100})"
run start "$long"
check_fails "socket path over 100 bytes: start fails"
check_has "socket path over 100 bytes: message names the path" "$long/mysqld.sock" "$OUT"
check "socket path over 100 bytes: nothing created" test ! -e "$long"
check_eq "socket: relative folder resolves to an absolute path" "$SCRATCH/rel/mysqld.sock" "$(cd -- "$SCRATCH" && "$DB" socket rel)"
run bogus "$FOLDER"
check_eq "unknown command: usage error" 2 "$RC"

echo "$passed passed, $failed failed"
((failed == 0))
