# The books the reliability runs share, sourced by load_test.sh and fault_test.sh: the seeding
# of a database of their own on one server and the consistency checks afterwards. The caller
# sets SOCKET (the server), DB (the database) and PROTASK_SOURCE_DIR; a run against another
# server, or several, only changes SOCKET.

BOOKS_LINES=4 # order lines the workstations share, so that they meet on the same counters

books_sql() { mariadb --socket="$SOCKET" -uroot -N -B "$DB" -e "${PROTASK_LOAD_READ_PREFIX:-}$1"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

# A fresh database with the suite schema; order lines of a large quantity, one earlier task of
# the product with three materials (the proposal copies them), the check workflow on.
books_seed() {
  "$PROTASK_SOURCE_DIR/scripts/protask-db" load --fresh "$(dirname "$SOCKET")" "$DB" \
    "$PROTASK_SOURCE_DIR/schema/suite.sql" >/dev/null
  {
    echo "insert into T_BillType(FID,FBillTypeID,FBillTypeNo,FBillName,FPreCode) values (49,3049,'RWD','生产任务单','RWD');"
    echo "insert into t_comparameters(FName,FTypeID,FBoolValue) values ('FIsCheckBill',2,1);"
    echo "insert into t_comUnit(FID,FNo,FName) values (1,'U1','把');"
    echo "insert into t_comProducts(FID,FNo,FName,FStdUnitID) values (1,'CP001','办公椅',1),(2,'CL001','螺栓',1),(3,'CL002','椅面',1),(4,'CL003','椅腿',1);"
    echo "insert into t_comClient(FID,FNo,FName,FType) values (7,'K1','东方家私',1);"
    echo "insert into t_comUser(FID,FName,FRightType) values (1,'系统管理员',0);"
    echo "insert into t_SaleOrderForm(FID,FBillNo,FBillDate,FClientID,FTypeID) values (500,'XSD20261200001','2026-12-01',7,56);"
    local l
    for l in $(seq 1 $BOOKS_LINES); do
      echo "insert into t_SaleOrderList(FID,FFormID,FSID,FProductID,FUnitID,FNumber,FProtaskFinishNumber) values ($((500 + l)),500,$l,1,1,1000000000,$l);"
    done
    echo "insert into t_ProTaskForm(FID,FBillNo,FBillDate,FProductID,FUnitID,Fnumber,FIsChecked) values (1,'RWD19990100001','1999-01-02',1,1,1,0);"
    echo "insert into t_ProTaskList(FID,FFormID,FSID,FProductID,FUnitID,FSingleNumber,FNumber,FPrice) values (1,1,1,2,1,4,4,0.5),(2,1,2,3,1,1,1,20),(3,1,3,4,1,4,4,3);"
  } | mariadb --socket="$SOCKET" -uroot "$DB"
}

# The order line a workstation's action takes its task from.
books_line() { echo $((501 + $1 % BOOKS_LINES)); }

# Checks the books; fails the run on the first fault. $1: the FIDs the workstations were told
# were saved and checked, one a line. Leaves the number of tasks stored in BOOKS_TASKS and of
# unchecked ones in BOOKS_UNCHECKED.
books_check() {
  local confirmed_ids=$1 dup_numbers dup_line_keys dup_line_ids half_saved orphans counters_off missing=0
  BOOKS_TASKS=$(books_sql "select count(*) from t_ProTaskForm where FID <> 1")
  BOOKS_UNCHECKED=$(books_sql "select count(*) from t_ProTaskForm where FID <> 1 and IfNull(FIsChecked,0) <> 1")
  dup_numbers=$(books_sql "select count(*) - count(distinct FBillNo) from t_ProTaskForm")
  dup_line_keys=$(books_sql "select count(*) from (select FFormID, FSID from t_ProTaskList group by FFormID, FSID having count(*) > 1) d")
  dup_line_ids=$(books_sql "select count(*) - count(distinct FID) from t_ProTaskList")
  half_saved=$(books_sql "select count(*) from t_ProTaskForm f where (select count(*) from t_ProTaskList l where l.FFormID = f.FID) <> 3")
  orphans=$(books_sql "select count(*) from t_ProTaskList l where not exists (select 1 from t_ProTaskForm f where f.FID = l.FFormID)")
  # A checked task's only posting is its order line's completion counter.
  counters_off=$(books_sql "select count(*) from t_SaleOrderList s where FProtaskFinishNumber <> (s.FSID + IfNull((select sum(Fnumber) from t_ProTaskForm f where f.FFromListID = s.FID and f.FIsChecked = 1), 0))")
  if [[ -s "$confirmed_ids" ]]; then
    missing=$(( $(wc -l <"$confirmed_ids") - $(books_sql "select count(*) from t_ProTaskForm where FIsChecked = 1 and FID in ($(paste -sd, "$confirmed_ids"))") ))
  fi
  printf 'duplicate numbers %d, duplicate line keys %d, duplicate line IDs %d, half-saved %d, lines without task %d, counters off %d, confirmed missing %d\n' \
    "$dup_numbers" "$dup_line_keys" "$dup_line_ids" "$half_saved" "$orphans" "$counters_off" "$missing"
  ((dup_numbers == 0)) || fail "duplicate bill numbers"
  ((dup_line_keys == 0 && dup_line_ids == 0)) || fail "duplicate keys"
  ((half_saved == 0 && orphans == 0)) || fail "half-saved tasks"
  ((missing == 0)) || fail "confirmed tasks missing or unchecked"
  ((counters_off == 0)) || fail "completion counters differ from the checked tasks"
}
