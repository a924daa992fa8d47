#!/usr/bin/env bash
# Faults: the load of load_test.sh (N workstations, each a loop of separate protask-cli
# processes making tasks from sales-order lines, save and check) against a private server of
# its own, killed with kill -9 and restarted at random moments. Every client's answer is held
# against the books afterwards: a task it confirmed is there and checked, a task it was told
# was saved but not checked is there unchecked, and where it was told nothing was saved (or
# could not reach the server) nothing of it is there; nothing is half-saved, no number or key
# is taken twice, and the clients started after the last restart get their work done.
#
#   fault_test.sh [N KILLS]   default 4 workstations, 10 kills; PROTASK_FAULT_FULL=1 runs 16 x 20
#
# Each action makes a task of a quantity no other action uses, so that a task in the books
# tells which client made it. The server runs in PROTASK_BINARY_DIR/fault-db with durable
# commits (never the fast mode of the test server).
set -euo pipefail

if [[ "${PROTASK_FAULT_FULL:-0}" == 1 ]]; then N=16 KILLS=20; else N=${1:-4} KILLS=${2:-10}; fi
CLI=${PROTASK_BINARY_DIR:?}/bin/protask-cli
DBTOOL=${PROTASK_SOURCE_DIR:?}/scripts/protask-db
FOLDER=$PROTASK_BINARY_DIR/fault-db
SOCKET=$FOLDER/mysqld.sock
DB=t_reliability_faults
WORK=$(mktemp -d)
source "$(dirname "$0")/books.sh"

pids=()
cleanup() {
  touch "$WORK/stop"
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  "$DBTOOL" stop "$FOLDER" >/dev/null 2>&1 || true
  rm -rf "$WORK"
}
trap cleanup EXIT

start_server() { env -u PROTASK_DB_FAST "$DBTOOL" start "$FOLDER" >/dev/null; }
"$DBTOOL" stop "$FOLDER" >/dev/null 2>&1 || true
start_server
books_seed

now() { date +%s.%N; }

# One JSON record per action: workstation, quantity, start time, exit code and the answer.
workstation() {
  local w=$1 i=0 qty out rc t0
  while [[ ! -e "$WORK/stop" ]]; do
    i=$((i + 1))
    qty=$((w * 10000 + i))
    t0=$(now)
    if out=$("$CLI" --db-socket "$SOCKET" --db-name "$DB" --user 1 --quiet \
             task from-order --line "$(books_line $((w + i)))" --quantity "$qty" --save --check \
             2>"$WORK/stderr.$w"); then rc=0; else rc=$?; fi
    out=$(printf '%s' "$out" | jq -c . 2>/dev/null) || out=
    printf '{"w":%d,"qty":%d,"t0":%s,"rc":%d,"out":%s,"err":%s}\n' "$w" "$qty" "$t0" "$rc" "${out:-null}" \
      "$(tail -c 300 "$WORK/stderr.$w" | jq -Rs .)" >>"$WORK/actions.$w"
    # While the server is down the next process would only find it down again.
    ((rc != 3)) || sleep 0.2
  done
}

for w in $(seq 1 "$N"); do workstation "$w" & pids+=($!); done

# The kills: the load runs for 0.3 to 2 s, the server is killed mid-flight and stays down for
# up to half a second before it is started again (crash recovery included).
begin=$(now)
for k in $(seq 1 "$KILLS"); do
  sleep "$(printf '0.%03d' $((RANDOM % 1000)))"
  sleep "0.$((3 + RANDOM % 7))"
  pid=$(tr -dc '0-9' <"$FOLDER/mysqld.pid")
  kill -9 "$pid"
  while [[ -e "/proc/$pid" && "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" != Z ]]; do sleep 0.05; done
  sleep "0.$((RANDOM % 5))"
  start_server
done
restarted=$(now)
sleep 3 # the clients after the last restart
touch "$WORK/stop"
wait "${pids[@]}"
pids=()
elapsed=$(echo "$(now) - $begin" | bc)

# What each client was told: confirmed (exit 0, checked), saved but not checked (exit 1 with
# the task), not saved (exit 1 saying so, or exit 3: no server to reach), unknown (a COMMIT
# whose outcome could not be read), anything else a fault.
cat "$WORK"/actions.* >"$WORK/actions"
jq -r '
  ((.out.messages // []) | join(" ")) as $m
  | (if .rc == 0 and .out.checked == true then "confirmed"
     elif .rc == 1 and .out.task != null then
       (if ($m | test("无法确认")) then "saved-check-unknown"
        elif ($m | test("没有保存|not checked")) then "saved-unchecked" else "other" end)
     elif .rc == 1 then
       (if ($m | test("无法确认")) then "unknown" elif ($m | test("没有保存|nothing was saved")) then "not-saved" else "other" end)
     elif .rc == 3 then "not-saved"
     else "other" end) as $class
  | [$class, .qty, (.out.FID // .out.task.FID // 0), .t0, .w] | @tsv' "$WORK/actions" >"$WORK/classes"
books_sql "select cast(Fnumber as signed), FID, IfNull(FIsChecked,0) from t_ProTaskForm where FID <> 1" >"$WORK/tasks"

# Every answer against the books, and every stored task against an answer.
awk -F'\t' -v restarted="$restarted" '
  FNR == NR { fid[$1] = $2; checked[$1] = $3; next }
  {
    class = $1; qty = $2; n[class]++; told[qty] = 1
    present = qty in fid
    bad = ""
    if (class == "confirmed" && !(present && fid[qty] == $3 && checked[qty] == 1)) bad = "confirmed but not stored and checked as told"
    if (class == "saved-unchecked" && !(present && fid[qty] == $3 && checked[qty] == 0)) bad = "told saved but not checked, the books disagree"
    if (class == "saved-check-unknown" && !(present && fid[qty] == $3)) bad = "told saved, not stored"
    if (class == "not-saved" && present) bad = "told nothing was saved, yet stored"
    if (class == "other") bad = "an answer that says neither saved nor not saved"
    if (class == "unknown") print "unknown outcome: quantity " qty (present ? " (stored)" : " (not stored)")
    if (bad != "") { print "FAULT: quantity " qty ": " bad; faults++ }
    if ($4 > restarted && !($5 in after)) { after[$5] = 1; if (class != "confirmed") { print "FAULT: workstation " $5 " failed after the last restart: " class; faults++ } }
  }
  END {
    for (q in fid) if (!(q in told)) { print "FAULT: task of quantity " q " stored, no client made it"; faults++ }
    printf "answers: %d confirmed, %d saved unchecked, %d saved (check unknown), %d not saved, %d unknown, %d other\n",
      n["confirmed"], n["saved-unchecked"], n["saved-check-unknown"], n["not-saved"], n["unknown"], n["other"]
    printf "workstations answering after the last restart: %d\n", length(after)
    exit faults > 0
  }' "$WORK/tasks" "$WORK/classes" >"$WORK/report" || {
  cat "$WORK/report"
  for q in $(sed -n 's/^FAULT: quantity \([0-9]*\):.*/\1/p' "$WORK/report"); do jq -c "select(.qty == $q)" "$WORK/actions"; done >&2
  fail "the clients' answers disagree with the books"
}
cat "$WORK/report"
awk -F'\t' '$1 == "confirmed" { print $3 }' "$WORK/classes" >"$WORK/confirmed"
books_check "$WORK/confirmed"
unknown=$(grep -c '^unknown' "$WORK/classes" || true)
after=$(sed -n 's/^workstations answering after the last restart: //p' "$WORK/report")
printf 'faults %d x %d kills: %d actions, %d tasks stored (%d unchecked) in %.1f s\n' \
  "$N" "$KILLS" "$(wc -l <"$WORK/actions")" "$BOOKS_TASKS" "$BOOKS_UNCHECKED" "$elapsed"
((after == N)) || fail "only $after of $N workstations ran after the last restart"
((unknown * 2 <= KILLS)) || fail "$unknown outcomes unknown in $KILLS kills"
