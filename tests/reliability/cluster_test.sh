#!/usr/bin/env bash
# The load test on a local 3-node Galera cluster, its workstations spread over the nodes, then:
# every node holds the same books as the node the load test checked, and a task committed on one
# node is seen at once through the list statement and the number proposal on another.
#
#   cluster_test.sh [N M]      default 6 x 20
#   PROTASK_LOAD_FULL=1        16 x 1000, then the figures: numbers and check/uncheck actions per
#                              second at 16 workstations with retries per action, on one server
#                              (PROTASK_TEST_SOCKET) and on the 3 nodes, with commits per node
#
# Needs galera-4 and rsync (skips otherwise); the cluster lives in PROTASK_CLUSTER_DIR
# (default BUILD/cluster-db) and is stopped afterwards unless PROTASK_CLUSTER_KEEP=1.
set -euo pipefail

if [[ ! -r /usr/lib/galera/libgalera_smm.so ]] || ! command -v rsync >/dev/null; then
  echo "SKIP: galera-4 or rsync is not installed"
  exit 77
fi
SRC=${PROTASK_SOURCE_DIR:?}
BIN=${PROTASK_BINARY_DIR:?}
DBTOOL=$SRC/scripts/protask-db
PROBE=$BIN/bin/cluster_probe
CLUSTER=${PROTASK_CLUSTER_DIR:-$BIN/cluster-db}
DB=t_reliability_load
CATCH_UP="SET SESSION wsrep_sync_wait = 1; "
fail() { echo "FAIL: $*" >&2; exit 1; }

export PROTASK_DB_FAST=1 PROTASK_DB_EXTRA_OPTS=--innodb-lock-wait-timeout=5
export PROTASK_HOME=${PROTASK_HOME:-$BIN/cluster-home}
"$DBTOOL" cluster start "$CLUSTER" 3 >/dev/null
[[ "${PROTASK_CLUSTER_KEEP:-0}" == 1 ]] || trap '"$DBTOOL" cluster stop "$CLUSTER" 3 >/dev/null' EXIT
NODES=("$CLUSTER"/node{1,2,3}/mysqld.sock)

sql() { mariadb --socket="$1" -uroot -N -B "$DB" -e "$CATCH_UP$2"; }
commits() { for s in "$@"; do mariadb --socket="$s" -uroot -N -B -e "show global status like 'wsrep_local_commits'" | cut -f2; done; }

PROTASK_TEST_SOCKET=${NODES[0]} PROTASK_LOAD_SOCKETS="${NODES[*]}" PROTASK_LOAD_KEEP=1 \
  PROTASK_LOAD_READ_PREFIX="$CATCH_UP" bash "$SRC/tests/reliability/load_test.sh" "$@"

# Every node has what the load test found on node 1: tasks, lines and order-line counters.
books="select (select concat(count(*), '/', sum(crc32(concat_ws(',', FID, FBillNo, Fnumber, FIsChecked)))) from t_ProTaskForm),
               (select concat(count(*), '/', sum(crc32(concat_ws(',', FID, FFormID, FSID, FNumber)))) from t_ProTaskList),
               (select sum(crc32(concat_ws(',', FID, FProtaskFinishNumber))) from t_SaleOrderList)"
first=$(sql "${NODES[0]}" "$books")
for i in 1 2; do
  [[ "$(sql "${NODES[$i]}" "$books")" == "$first" ]] || fail "node$((i + 1)) holds other books than node1"
done
echo "every node holds the same books"

# A commit on node 2 read at once on node 3: with the catch-up never stale. Without it the
# count of stale reads is shown (the race is the applier's, so it may be small).
out=$("$PROBE" stale "${NODES[1]}" "${NODES[2]}" "$DB" 300)
echo "with catch-up:    $out"
[[ "$out" == *"stale-list 0 stale-number 0" ]] || fail "stale reads with the catch-up"
echo "without catch-up: $("$PROBE" stale "${NODES[1]}" "${NODES[2]}" "$DB" 300 off)"

# Figures: W probes of one kind for S seconds over the given sockets.
figures() {
  local kind=$1 seconds=$2; shift 2
  local w out=$(mktemp -d) before after
  read -r -a before <<<"$(commits "$@" | paste -sd' ')"
  for w in $(seq 0 15); do
    local args=("$kind" "${@:$((w % $# + 1)):1}" "$DB" "$seconds")
    [[ "$kind" == check ]] && args+=($((w + 2)))   # each its own task; the order lines are shared
    "$PROBE" "${args[@]}" >"$out/$w" &
  done
  wait
  read -r -a after <<<"$(commits "$@" | paste -sd' ')"
  local per_node="" i
  for i in "${!after[@]}"; do per_node+=" $((after[i] - before[i]))"; done
  cat "$out"/* | awk -v kind="$kind" -v s="$seconds" -v nodes="$#" -v per_node="$per_node" '
    /^attempts/ { a[n++] = $2; if ($2 > worst) worst = $2 }
    /^gaveup/ { g += $2 }
    END { asort(a); printf "%-6s %d server(s): %.0f actions/s, attempts median %d worst %d, gave up %d, commits per node:%s\n",
          kind, nodes, n / s, a[int((n + 1) / 2)], worst, g, per_node }'
  rm -rf "$out"
}
if [[ "${PROTASK_LOAD_FULL:-0}" == 1 ]]; then
  one=${PROTASK_TEST_SOCKET:?the single server for the comparison}
  PROTASK_LOAD_KEEP=1 bash "$SRC/tests/reliability/load_test.sh" 2 20 >/dev/null
  for kind in take check; do
    figures "$kind" "${PROTASK_FIGURES_SECONDS:-30}" "$one"
    figures "$kind" "${PROTASK_FIGURES_SECONDS:-30}" "${NODES[@]}"
  done
fi
mariadb --socket="${NODES[0]}" -uroot -e "drop database $DB"
