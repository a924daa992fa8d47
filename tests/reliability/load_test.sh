#!/usr/bin/env bash
# Load: N workstations, each a loop of separate protask-cli processes, make M tasks from
# sales-order lines, save and check them against one server. Afterwards the books must hold
# no duplicate bill number or key, every task a workstation was told was saved and checked,
# and order-line completion counters exactly what the checked tasks imply.
#
#   load_test.sh [N M]        default 4 x 50; PROTASK_LOAD_FULL=1 runs 16 x 1000
#
# Runs against the private test server of PROTASK_TEST_SOCKET in a database of its own.
# PROTASK_LOAD_SOCKETS="S1 S2 ..." spreads the workstations over several servers (workstation w
# uses socket w mod n); PROTASK_LOAD_KEEP=1 keeps the database for checks that follow;
# PROTASK_LOAD_READ_PREFIX goes before every check statement (a cluster's catch-up).
set -euo pipefail

if [[ "${PROTASK_LOAD_FULL:-0}" == 1 ]]; then N=16 M=1000; else N=${1:-4} M=${2:-50}; fi
SOCKET=${PROTASK_TEST_SOCKET:?the test server socket}
read -r -a SOCKETS <<<"${PROTASK_LOAD_SOCKETS:-$SOCKET}"
CLI=${PROTASK_BINARY_DIR:?}/bin/protask-cli
DBTOOL=${PROTASK_SOURCE_DIR:?}/scripts/protask-db
DB=t_reliability_load
LINES=4 # order lines the workstations share, so that they meet on the same counters
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

sql() { mariadb --socket="$SOCKET" -uroot -N -B "$DB" -e "${PROTASK_LOAD_READ_PREFIX:-}$1"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

"$DBTOOL" load --fresh "$(dirname "$SOCKET")" "$DB" "$PROTASK_SOURCE_DIR/schema/suite.sql" >/dev/null

# Order lines of a large quantity, one earlier task of the product with three materials (the
# proposal copies them), the check workflow on.
{
  echo "insert into T_BillType(FID,FBillTypeID,FBillTypeNo,FBillName,FPreCode) values (49,3049,'RWD','生产任务单','RWD');"
  echo "insert into t_comparameters(FName,FTypeID,FBoolValue) values ('FIsCheckBill',2,1);"
  echo "insert into t_comUnit(FID,FNo,FName) values (1,'U1','把');"
  echo "insert into t_comProducts(FID,FNo,FName,FStdUnitID) values (1,'CP001','办公椅',1),(2,'CL001','螺栓',1),(3,'CL002','椅面',1),(4,'CL003','椅腿',1);"
  echo "insert into t_comClient(FID,FNo,FName,FType) values (7,'K1','东方家私',1);"
  echo "insert into t_comUser(FID,FName,FRightType) values (1,'系统管理员',0);"
  echo "insert into t_SaleOrderForm(FID,FBillNo,FBillDate,FClientID,FTypeID) values (500,'XSD20261200001','2026-12-01',7,56);"
  for l in $(seq 1 $LINES); do
    echo "insert into t_SaleOrderList(FID,FFormID,FSID,FProductID,FUnitID,FNumber,FProtaskFinishNumber) values ($((500 + l)),500,$l,1,1,1000000,$l);"
  done
  echo "insert into t_ProTaskForm(FID,FBillNo,FBillDate,FProductID,FUnitID,Fnumber,FIsChecked) values (1,'RWD19990100001','1999-01-02',1,1,1,0);"
  echo "insert into t_ProTaskList(FID,FFormID,FSID,FProductID,FUnitID,FSingleNumber,FNumber,FPrice) values (1,1,1,2,1,4,4,0.5),(2,1,2,3,1,1,1,20),(3,1,3,4,1,4,4,3);"
} | mariadb --socket="$SOCKET" -uroot "$DB"

workstation() {
  local w=$1 i line qty out
  for i in $(seq 1 "$M"); do
    line=$((501 + (w + i) % LINES))
    qty=$((1 + (w * 7 + i) % 5))
    if out=$("$CLI" --db-socket "${SOCKETS[w % ${#SOCKETS[@]}]}" --db-name "$DB" --user 1 --quiet \
             task from-order --line "$line" --quantity "$qty" --save --check 2>>"$WORK/errors.$w"); then
      # The task the workstation was told is saved and checked.
      fid=$(printf '%s' "$out" | sed -n 's/.*"FID": *\([0-9]*\).*/\1/p')
      echo "$fid $line $qty" >>"$WORK/confirmed.$w"
    else
      echo "$line $qty $(printf '%s' "$out" | tr -d '\n')" >>"$WORK/refused.$w"
    fi
  done
}

start=$(date +%s.%N)
for w in $(seq 1 "$N"); do workstation "$w" & done
wait
elapsed=$(echo "$(date +%s.%N) - $start" | bc)

touch "$WORK/confirmed.0" "$WORK/refused.0" "$WORK/errors.0"
confirmed=$(cat "$WORK"/confirmed.* | wc -l)
refused=$(cat "$WORK"/refused.* | wc -l)
tasks=$(sql "select count(*) from t_ProTaskForm where FID <> 1")
dup_numbers=$(sql "select count(*) - count(distinct FBillNo) from t_ProTaskForm")
dup_line_keys=$(sql "select count(*) from (select FFormID, FSID from t_ProTaskList group by FFormID, FSID having count(*) > 1) d")
dup_line_ids=$(sql "select count(*) - count(distinct FID) from t_ProTaskList")
half_saved=$(sql "select count(*) from t_ProTaskForm f where FID <> 1 and (select count(*) from t_ProTaskList l where l.FFormID = f.FID) <> 3")
unchecked=$(sql "select count(*) from t_ProTaskForm where FID <> 1 and IfNull(FIsChecked,0) <> 1")
counters_off=$(sql "select count(*) from t_SaleOrderList s where FProtaskFinishNumber <> (s.FSID + IfNull((select sum(Fnumber) from t_ProTaskForm f where f.FFromListID = s.FID and f.FIsChecked = 1), 0))")

missing=0
if ((confirmed > 0)); then
  ids=$(cat "$WORK"/confirmed.* | awk '{print $1}' | paste -sd, -)
  present=$(sql "select count(*) from t_ProTaskForm where FIsChecked = 1 and FID in ($ids)")
  missing=$((confirmed - present))
fi

printf 'load %d x %d: %d confirmed, %d refused, %d tasks stored in %.1f s (%.0f tasks/s)\n' \
  "$N" "$M" "$confirmed" "$refused" "$tasks" "$elapsed" "$(echo "$tasks / $elapsed" | bc -l)"
printf 'duplicate numbers %d, duplicate line keys %d, duplicate line IDs %d, half-saved %d, unchecked %d, counters off %d, confirmed missing %d\n' \
  "$dup_numbers" "$dup_line_keys" "$dup_line_ids" "$half_saved" "$unchecked" "$counters_off" "$missing"

((dup_numbers == 0)) || fail "duplicate bill numbers"
((dup_line_keys == 0 && dup_line_ids == 0)) || fail "duplicate keys"
((half_saved == 0)) || fail "tasks without their three material lines"
((missing == 0)) || fail "confirmed tasks missing or unchecked"
((counters_off == 0)) || fail "completion counters differ from the checked tasks"
# A workstation may be told that others kept the rows busy beyond the retry budget and that
# nothing was saved (the count of stored tasks above proves it); any other refusal is a fault,
# and so are give-ups beyond 1 % of the actions.
gave_up=$(cat "$WORK"/refused.* | { grep -c '已重试' || true; })
printf 'refused after the retry budget (nothing saved): %d\n' "$gave_up"
((refused == gave_up)) || { grep -hv '已重试' "$WORK"/refused.* | head -20 >&2; cat "$WORK"/errors.* | head >&2; fail "$((refused - gave_up)) actions refused for another reason"; }
((gave_up * 100 <= N * M)) || fail "$gave_up of $((N * M)) actions gave up"
((confirmed + refused == N * M)) || fail "$((N * M - confirmed - refused)) actions answered neither way"
((tasks == confirmed)) || fail "$tasks tasks stored but $confirmed confirmed"
[[ "${PROTASK_LOAD_KEEP:-0}" == 1 ]] || mariadb --socket="$SOCKET" -uroot -e "drop database $DB"
