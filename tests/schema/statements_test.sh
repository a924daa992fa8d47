#!/usr/bin/env bash
# Loads the suite schema (twice, as an upgrade would) and the demo data into a scratch
# database on the test server, then runs the statements of statements.sql against it:
# the demo's figures must agree, and every statement the module sends must run.
#
# Needs PROTASK_TEST_SOCKET (Unix socket of a running MariaDB with
# lower_case_table_names=1, user root without password); PROTASK_SOURCE_DIR defaults to
# the repository this script lives in.
set -u

if [ -z "${PROTASK_TEST_SOCKET:-}" ]; then
    echo "schema statements: PROTASK_TEST_SOCKET is not set" >&2
    exit 1
fi
SOURCE_DIR=${PROTASK_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
SUITE_SQL=$SOURCE_DIR/schema/suite.sql
DEMO_SQL=$SOURCE_DIR/schema/demo.sql
STATEMENTS_SQL=$SOURCE_DIR/tests/schema/statements.sql
DB=protask_schema_test
# The statements are tried with the sql_mode the module pins on its connections (read
# from the code, so the two cannot drift apart). The schema and the demo load under the
# server's default.
MODULE_MODE=$(sed -n 's/.*kSessionSqlMode = "\([^"]*\)".*/\1/p' "$SOURCE_DIR/src/platform/db.cpp")
if [ -z "$MODULE_MODE" ]; then
    echo "schema statements: cannot read the session sql_mode from src/platform/db.cpp" >&2
    exit 1
fi
# The demo dates its rows from the server's today and the statements compare with it:
# every session of this test runs on one stopped clock, so that no month or day ends
# between the loading and the last statement.
PIN_CLOCK="SET timestamp = UNIX_TIMESTAMP('2026-12-15 10:00:00');"
SESSION_MODE="SET SESSION sql_mode = '$MODULE_MODE'; $PIN_CLOCK"

WORK=$(mktemp -d)
cleanup() {
    sql -e "DROP DATABASE IF EXISTS $DB" >/dev/null 2>&1
    rm -rf "$WORK"
}
trap cleanup EXIT

sql() {
    mariadb --socket="$PROTASK_TEST_SOCKET" -uroot --default-character-set=utf8mb4 "$@"
}

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAILED: $1" >&2
    if [ -n "${2:-}" ]; then
        printf '%s\n' "$2" | sed 's/^/    /' >&2
    fi
}

# --- loading ---------------------------------------------------------------

load() { "$SOURCE_DIR/scripts/protask-db" load "$@"; }
FOLDER=$(dirname "$PROTASK_TEST_SOCKET")
if ! out=$(load --fresh "$FOLDER" "$DB" 2>&1 </dev/null); then
    fail "create the test database" "$out"
    echo "schema statements: $passed passed, $failed failed"
    exit 1
fi

if grep -qiE '^[[:space:]]*(insert|replace)[[:space:]]' "$SUITE_SQL"; then
    fail "the schema holds no rows" "$(grep -niE '^[[:space:]]*(insert|replace)[[:space:]]' "$SUITE_SQL" | head -3)"
else
    pass
fi

tables_after=()
for round in first second; do
    if out=$(load "$FOLDER" "$DB" "$SUITE_SQL" 2>&1); then
        pass
    else
        fail "load suite.sql ($round time)" "$out"
        echo "schema statements: $passed passed, $failed failed"
        exit 1
    fi
    tables_after+=("$(sql -N -B "$DB" -e "select count(*) from information_schema.tables where table_schema = database()")")
done
if [ "${tables_after[0]}" = "${tables_after[1]}" ] && [ "${tables_after[0]}" -gt 0 ]; then
    pass
else
    fail "loading suite.sql again keeps the tables" "tables after each load: ${tables_after[*]}"
fi

{ printf '%s\n' "$PIN_CLOCK"; cat "$DEMO_SQL"; } >"$WORK/demo.sql"
if out=$(load "$FOLDER" "$DB" "$WORK/demo.sql" 2>&1); then
    pass
else
    fail "load demo.sql" "$out"
    echo "schema statements: $passed passed, $failed failed"
    exit 1
fi

# T_BillType and t_billtype are one table: the code spells it both ways.
if out=$(sql -N -B "$DB" -e "START TRANSACTION;
      insert into T_BillType (FID, FBillTypeID, FBillTypeNo, FPreCode, FBillName, FPrintStyle) values (999, 3999, 'CASE', 'CASE', 'case', 1);
      select count(*) from t_billtype where FID = 999;
      update t_BILLTYPE set FPrintStyle = 3 where FID = 999;
      select FPrintStyle from T_BillType where FID = 999;
      ROLLBACK;" 2>&1) && [ "$(tr '\n' ' ' <<<"$out")" = "1 3 " ]; then
    pass
else
    fail "T_BillType and t_billtype name the same table" "$out"
fi

# --- statements ------------------------------------------------------------

read -r MONTH_BEGIN MONTH_END NEXT_DAY YM YEAR MONTH < <(sql -N -B -e "$PIN_CLOCK select DATE_FORMAT(NOW(),'%Y-%m-01'), LAST_DAY(NOW()),
    DATE_ADD(LAST_DAY(NOW()), INTERVAL 1 DAY), DATE_FORMAT(NOW(),'%Y%m'), YEAR(NOW()), MONTH(NOW())")
sed -e "s/@MONTH_BEGIN@/$MONTH_BEGIN/g" -e "s/@MONTH_END@/$MONTH_END/g" -e "s/@NEXT_DAY@/$NEXT_DAY/g" \
    -e "s/@YM@/$YM/g" -e "s/@YEAR@/$YEAR/g" -e "s/@MONTH@/$MONTH/g" "$STATEMENTS_SQL" >"$WORK/statements.sql"

run_block() {
    local kind=$1 name=$2 expect=$3 body=$4 out
    case $kind in
        setup)
            if out=$(sql "$DB" -e "$SESSION_MODE $body" 2>&1); then pass; else fail "$name" "$out"; fi
            ;;
        query | write)
            if out=$(sql "$DB" -e "$SESSION_MODE START TRANSACTION; $body ROLLBACK;" 2>&1 >/dev/null); then
                pass
            else
                fail "$name" "$out"
            fi
            ;;
        check)
            if ! out=$(sql -N -B "$DB" -e "$SESSION_MODE START TRANSACTION; $body ROLLBACK;" 2>&1); then
                fail "$name" "$out"
            elif [ "$(tail -n 1 <<<"$out")" != "$expect" ]; then
                fail "$name" "expected: $expect
got:      $(tail -n 1 <<<"$out")"
            else
                pass
            fi
            ;;
    esac
}

kind="" name="" expect="" body=""
while IFS= read -r line || [ -n "$line" ]; do
    if [[ $line =~ ^--\ @(check|setup|query|write)\ (.*)$ ]]; then
        [ -n "$kind" ] && run_block "$kind" "$name" "$expect" "$body"
        kind=${BASH_REMATCH[1]}
        name=${BASH_REMATCH[2]}
        expect=""
        if [ "$kind" = check ]; then
            expect=${name##* = }
            name=${name% = *}
        fi
        body=""
    elif [[ $line =~ ^[[:space:]]*-- ]] || [[ -z ${line//[[:space:]]/} ]]; then
        continue
    elif [ -n "$kind" ]; then
        body+="$line"$'\n'
    fi
done <"$WORK/statements.sql"
[ -n "$kind" ] && run_block "$kind" "$name" "$expect" "$body"

echo "schema statements: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
