#!/usr/bin/env bash
# A library exports exactly the named symbols of ours (GetBillInts when none are named).
set -euo pipefail
lib=${1:?library path}
shift
expected=$(printf '%s\n' "${@:-GetBillInts}" | sort)
defined=$(nm -D --defined-only "$lib" | awk '{print $3}' | grep -v -E '^(_init|_fini|__bss_start|_edata|_end)$' | sort || true)
echo "defined dynamic symbols of $(basename "$lib"):"
echo "$defined" | sed 's/^/  /'
if [ "$defined" != "$expected" ]; then
  echo "not ok - $(basename "$lib") must export exactly: $(echo $expected)"
  echo "0 passed, 1 failed"
  exit 1
fi
echo "ok - $(basename "$lib") exports $(echo $expected) only"
echo "1 passed, 0 failed"
