#!/bin/bash
# win32-tests.sh <dist-dir> [test-preset]: runs the 32-bit batch (scripts/guest32/batch.sh) over
# build/win32, with the CTest preset win32-wine (make test) or win32-wine-all (make test-win32),
# and the win32 package of <dist-dir>; prints one line per suite and fails when any suite fails.
# Where it runs:
#   - on this machine, when its kernel runs 32-bit code and its 32-bit Wine (wine32) is installed;
#   - else (these machines: "32-bit emulation disabled") in the 32-bit test machine of
#     scripts/guest32/, a Debian 12 amd64 with 32-bit Wine under qemu's software emulation, made
#     and cached the first time (image.sh), booted once for the whole batch.
# TANDREL_WIN32_GUEST=1 takes the machine even where the host could run it.
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")
dist=$(realpath "$1")
preset=${2:-win32-wine-all}
results=$root/build/win32/wine32-results.txt
rm -f "$results"

# The older package of the install round trip: made here, where wixl is.
TANDREL_PACKAGE_STEP=prepare "$root/tests/packaging/install_test.sh" "$dist" win32

if [ "${TANDREL_WIN32_GUEST:-}" != 1 ] && [ -x /usr/lib/wine/wine ] &&
  /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "32-bit batch: with this machine's own 32-bit Wine"
  "$root/scripts/guest32/batch.sh" "$results" "$preset"
else
  echo "32-bit batch: in the 32-bit test machine (this kernel runs no 32-bit code)"
  image=$("$root/scripts/guest32/image.sh")
  job=$root/build/guest32/job
  rm -rf "$job"
  mkdir -p "$job"
  echo "bash '$root/scripts/guest32/batch.sh' /job/results $preset" >"$job/job.sh"
  start=$(date +%s)
  # Killed when it has not powered off within an hour (make test's share; 26 minutes on a loaded
  # machine) or three (every end-to-end case).
  limit=3600
  [ "$preset" = win32-wine ] || limit=10800
  TANDREL_GUEST_IMAGE=$image TANDREL_GUEST_TREE=$root "$root/scripts/guest32/boot.sh" "$job" $limit &
  boot=$!
  # The batch's output as it comes.
  tail --pid=$boot -n +1 -F "$job/log" 2>/dev/null || true
  wait $boot || echo "32-bit batch: the machine's job ended with $? (log: $job/log)"
  echo "32-bit batch: $(($(date +%s) - start)) s in the machine, boot included"
  cp "$job/results" "$results" 2>/dev/null || true
fi

echo
status=0
for suite in "win32 tests" "win32 package install test"; do
  line=$(grep "^$suite" "$results" 2>/dev/null || echo "$suite: 0 passed, 1 failed (no result)")
  echo "$line"
  echo "$line" | grep -q ' 0 failed' || status=1
done
exit $status
