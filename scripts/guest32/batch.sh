#!/bin/bash
# batch.sh <results-file> <test-preset>: the 32-bit test batch, run by scripts/win32-tests.sh in
# the 32-bit test machine (or on a machine with a 32-bit Wine of its own), over the host's build
# tree:
#   1. ctest --preset <test-preset> (win32-wine, or win32-wine-all): the Windows-side test
#      programs of the win32 build, the end-to-end runs of the 32-bit TandrelProgram.exe with the
#      32-bit simulator and modules, and the 32-bit tandrel-check.exe on the shipped tree;
#   2. tests/packaging/install_test.sh for the win32 package (its older package made beforehand).
# Writes one line per suite into <results-file>: "<suite>: N passed, M failed".
set -uo pipefail
root=$(realpath "$(dirname "$0")/../..")
results=$1
preset=$2
cd "$root"
: >"$results"
export TANDREL_WINEARCH=win32
# Under emulation every wait limit of the tests is four times as long (tests/support/Patience.h).
[ ! -d /opt/tandrel/wine32 ] || export TANDREL_TEST_PATIENCE=4

scripts/guest32/prefixes.sh build/win32/wineprefix build/win32/package-test/wineprefix

# 1. The test programs and the end-to-end runs.
log=build/win32/wine32-tests.log
scripts/with-wine.sh build/win32 ctest --preset "$preset" 2>&1 | tee "$log"
summary=$(sed -n -E 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\1 \2/p' "$log")
if [ -n "$summary" ]; then
  read -r failed total <<<"$summary"
  echo "win32 tests (32-bit Wine): $((total - failed)) passed, $failed failed" >>"$results"
else
  echo "win32 tests (32-bit Wine): 0 passed, 1 failed" >>"$results"
fi

# 2. The package: installed, upgraded, started, refused when older, removed.
log=build/win32/wine32-install.log
TANDREL_PACKAGE_STEP=run tests/packaging/install_test.sh build/dist win32 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
passed=$(grep -c '^ok [0-9]' "$log")
echo "win32 package install test (32-bit msiexec): $passed passed, $((status != 0)) failed" >>"$results"
