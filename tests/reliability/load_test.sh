#!/usr/bin/env bash
# Load: N workstations, each a loop of separate protask-cli processes, make M tasks from
# sales-order lines, save and check them against one server. Afterwards the books must hold
# no duplicate bill number or key, every task a workstation was told was saved and checked,
# and order-line completion counters exactly what the checked tasks imply.
#
#   load_test.sh [N M]        default 4 x 50; PROTASK_LOAD_FULL=1 runs 16 x 1000
#
# Runs against the server of PROTASK_LOAD_SOCKET, else the private test server of
# PROTASK_TEST_SOCKET, in a database of its own. PROTASK_LOAD_SOCKETS="S1 S2 ..." spreads the
# workstations over several servers of one cluster (workstation w uses socket w mod n);
# PROTASK_LOAD_KEEP=1 keeps the database for checks that follow; PROTASK_LOAD_READ_PREFIX goes
# before every check statement (a cluster node's catch-up).
set -euo pipefail

if [[ "${PROTASK_LOAD_FULL:-0}" == 1 ]]; then N=16 M=1000; else N=${1:-4} M=${2:-50}; fi
SOCKET=${PROTASK_LOAD_SOCKET:-${PROTASK_TEST_SOCKET:?the test server socket}}
read -r -a SOCKETS <<<"${PROTASK_LOAD_SOCKETS:-$SOCKET}"
CLI=${PROTASK_BINARY_DIR:?}/bin/protask-cli
: "${PROTASK_SOURCE_DIR:?}"
DB=t_reliability_load
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
source "$(dirname "$0")/books.sh"

books_seed

workstation() {
  local w=$1 i line qty out
  for i in $(seq 1 "$M"); do
    line=$(books_line $((w + i)))
    qty=$((1 + (w * 7 + i) % 5))
    if out=$("$CLI" --db-socket "${SOCKETS[w % ${#SOCKETS[@]}]}" --db-name "$DB" --user 1 --quiet \
             task from-order --line "$line" --quantity "$qty" --save --check 2>>"$WORK/errors.$w"); then
      # The task the workstation was told is saved and checked.
      printf '%s' "$out" | sed -n 's/.*"FID": *\([0-9]*\).*/\1/p' >>"$WORK/confirmed.$w"
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
cat "$WORK"/confirmed.* >"$WORK/confirmed"
confirmed=$(wc -l <"$WORK/confirmed")
refused=$(cat "$WORK"/refused.* | wc -l)
books_check "$WORK/confirmed"
printf 'load %d x %d: %d confirmed, %d refused, %d tasks stored (%d unchecked) in %.1f s (%.0f tasks/s)\n' \
  "$N" "$M" "$confirmed" "$refused" "$BOOKS_TASKS" "$BOOKS_UNCHECKED" "$elapsed" "$(echo "$BOOKS_TASKS / $elapsed" | bc -l)"
((BOOKS_UNCHECKED == 0)) || fail "tasks left unchecked"
# A workstation may be told that others kept the rows busy beyond the retry budget and that
# nothing was saved (the count of stored tasks proves it); any other refusal is a fault, and
# so are give-ups beyond 1 % of the actions.
gave_up=$(cat "$WORK"/refused.* | { grep -c '已重试' || true; })
printf 'refused after the retry budget (nothing saved): %d\n' "$gave_up"
((refused == gave_up)) || { grep -hv '已重试' "$WORK"/refused.* | head -20 >&2; cat "$WORK"/errors.* | head >&2; fail "$((refused - gave_up)) actions refused for another reason"; }
((gave_up * 100 <= N * M)) || fail "$gave_up of $((N * M)) actions gave up"
((confirmed + refused == N * M)) || fail "$((N * M - confirmed - refused)) actions answered neither way"
((BOOKS_TASKS == confirmed)) || fail "$BOOKS_TASKS tasks stored but $confirmed confirmed"
[[ "${PROTASK_LOAD_KEEP:-0}" == 1 ]] || mariadb --socket="$SOCKET" -uroot -e "drop database $DB"
