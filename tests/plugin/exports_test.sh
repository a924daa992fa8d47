#!/usr/bin/env bash
# The plug-in exports GetBillInts and no other symbol of ours.
set -euo pipefail
lib=${1:?plug-in path}
defined=$(nm -D --defined-only "$lib" | awk '{print $3}' | grep -v -E '^(_init|_fini|__bss_start|_edata|_end)$' || true)
echo "defined dynamic symbols:"
echo "$defined" | sed 's/^/  /'
if [ "$(echo "$defined" | grep -c .)" -ne 1 ] || [ "$defined" != "GetBillInts" ]; then
  echo "not ok - libprotask.so must export GetBillInts only"
  echo "0 passed, 1 failed"
  exit 1
fi
echo "ok - GetBillInts is the only export"
echo "1 passed, 0 failed"
