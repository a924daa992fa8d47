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

# T_BillType and t_billtype are one table: the code spells it both ways.
out=$(sql -N -B "$DB" -e "START TRANSACTION;
      insert into T_BillType (FID, FBillTypeID, FBillTypeNo, FPreCode, FBillName, FPrintStyle) values (999, 3999, 'CASE', 'CASE', 'case', 1);
      select count(*) from t_billtype where FID = 999;
      update t_BILLTYPE set FPrintStyle = 3 where FID = 999;
      select FPrintStyle from T_BillType where FID = 999;
      ROLLBACK;" 2>&1)
if [ "$(tr '\n' ' ' <<<"$out")" = "1 3 " ]; then pass; else fail "T_BillType and t_billtype name the same table" "$out"; fi

# --- statements ------------------------------------------------------------

read -r MONTH_BEGIN MONTH_END MONTH_NEXT YM < <(sql -N -B -e "$CLOCK select DATE_FORMAT(NOW(),'%Y-%m-01'), LAST_DAY(NOW()), LAST_DAY(NOW()) + INTERVAL 1 DAY, DATE_FORMAT(NOW(),'%Y%m')")
sed -e "s/@MONTH_BEGIN@/$MONTH_BEGIN/g" -e "s/@MONTH_END@/$MONTH_END/g" -e "s/@MONTH_NEXT@/$MONTH_NEXT/g" -e "s/@YM@/$YM/g" \
    "$SRC/tests/schema/statements.sql" >"$WORK/statements.sql"

# run_block KIND NAME BODY: a setup is committed, every other block rolled back; a check's
# last statement must yield the value after the " = " of its name.
run_block() {
    local kind=$1 name=$2 body=$3 expect="" out
    [ "$kind" = setup ] || body="START TRANSACTION; $body ROLLBACK;"
    [ "$kind" != check ] || { expect=${name##* = }; name=${name% = *}; }
    if ! out=$(sql -N -B "$DB" -e "SET SESSION sql_mode = '$MODE'; $CLOCK $body" 2>&1); then
        fail "$name" "$out"
    elif [ "$kind" = check ] && [ "$(tail -n 1 <<<"$out")" != "$expect" ]; then
        fail "$name" "expected: $expect"$'\n'"got:      $(tail -n 1 <<<"$out")"
    else
        pass
    fi
}

kind=""
while IFS= read -r line || [ -n "$line" ]; do
    if [[ $line =~ ^--\ @(check|setup|query|write)\ (.*)$ ]]; then
        [ -z "$kind" ] || run_block "$kind" "$name" "$body"
        kind=${BASH_REMATCH[1]} name=${BASH_REMATCH[2]} body=""
    elif [ -n "$kind" ] && [[ ! $line =~ ^[[:space:]]*-- ]] && [ -n "${line//[[:space:]]/}" ]; then
        body+="$line"$'\n'
    fi
done <"$WORK/statements.sql"
[ -z "$kind" ] || run_block "$kind" "$name" "$body"
finish
