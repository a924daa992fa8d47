#!/usr/bin/env bash
# Loads the suite schema (twice, as an upgrade would) and the demo data into a scratch
# database on the test server, then runs the blocks of statements.sql against it: the
# schema checks and the demo's figures.
#
# Needs PROTASK_TEST_SOCKET (a running MariaDB with lower_case_table_names=1, root without
# password); PROTASK_SOURCE_DIR defaults to the repository this script lives in.
set -u
: "${PROTASK_TEST_SOCKET:?schema statements: PROTASK_TEST_SOCKET is not set}"
SRC=${PROTASK_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
DB=protask_schema_test
FOLDER=$(dirname "$PROTASK_TEST_SOCKET")
# The statements run under the sql_mode the module pins on its connections (read from the
# code, so the two cannot drift apart); the schema and the demo load under the server's
# default. Every session runs on one stopped clock: the demo dates its rows from the
# server's today, and no month may end between the loading and the last statement.
MODE=$(sed -n 's/.*kSessionSqlMode = "\([^"]*\)".*/\1/p' "$SRC/src/platform/db.cpp")
[ -n "$MODE" ] || { echo "schema statements: cannot read the session sql_mode from src/platform/db.cpp" >&2; exit 1; }
CLOCK="SET timestamp = UNIX_TIMESTAMP('2026-12-15 10:00:00');"
WORK=$(mktemp -d)
sql() { mariadb --socket="$PROTASK_TEST_SOCKET" -uroot --default-character-set=utf8mb4 "$@"; }
load() { "$SRC/scripts/protask-db" load "$@"; }
trap 'sql -e "DROP DATABASE IF EXISTS $DB" >/dev/null 2>&1; rm -rf "$WORK"' EXIT

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAILED: $1" >&2
    [ -z "${2:-}" ] || printf '%s\n' "$2" | sed 's/^/    /' >&2
}
finish() {
    echo "schema statements: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
}

# --- loading ---------------------------------------------------------------

out=$(load --fresh "$FOLDER" "$DB" 2>&1 </dev/null) || { fail "create the test database" "$out"; finish; }
if grep -qiE '^[[:space:]]*(insert|replace)[[:space:]]' "$SRC/schema/suite.sql"; then
    fail "the schema holds no rows" "$(grep -niE '^[[:space:]]*(insert|replace)[[:space:]]' "$SRC/schema/suite.sql" | head -3)"
else
    pass
fi
tables=()
for round in first second; do
    out=$(load "$FOLDER" "$DB" "$SRC/schema/suite.sql" 2>&1) || { fail "load suite.sql ($round time)" "$out"; finish; }
    pass
    tables+=("$(sql -N -B "$DB" -e "select count(*) from information_schema.tables where table_schema = database()")")
done
if [ "${tables[0]}" = "${tables[1]}" ] && [ "${tables[0]}" -gt 0 ]; then
    pass
else
    fail "loading suite.sql again keeps the tables" "tables after each load: ${tables[*]}"
fi
{ printf '%s\n' "$CLOCK"; cat "$SRC/schema/demo.sql"; } >"$WORK/demo.sql"
out=$(load "$FOLDER" "$DB" "$WORK/demo.sql" 2>&1) || { fail "load demo.sql" "$out"; finish; }
pass

# --- statements ------------------------------------------------------------

# check NAME BODY: BODY runs in a transaction that is rolled back; its last statement must
# yield the value after the " = " of NAME.
check() {
    local name=${1% = *} expect=${1##* = } out
    if ! out=$(sql -N -B "$DB" -e "SET SESSION sql_mode = '$MODE'; $CLOCK START TRANSACTION; $2 ROLLBACK;" 2>&1); then
        fail "$name" "$out"
    elif [ "$(tail -n 1 <<<"$out")" != "$expect" ]; then
        fail "$name" "expected: $expect"$'\n'"got:      $(tail -n 1 <<<"$out")"
    else
        pass
    fi
}

name=""
while IFS= read -r line || [ -n "$line" ]; do
    if [[ $line =~ ^--\ @check\ (.*)$ ]]; then
        [ -z "$name" ] || check "$name" "$body"
        name=${BASH_REMATCH[1]} body=""
    elif [ -n "$name" ] && [[ ! $line =~ ^[[:space:]]*-- ]] && [ -n "${line//[[:space:]]/}" ]; then
        body+="$line"$'\n'
    fi
done <"$SRC/tests/schema/statements.sql"
[ -z "$name" ] || check "$name" "$body"
finish
