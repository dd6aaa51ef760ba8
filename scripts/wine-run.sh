#!/bin/sh
# Runs one Windows program under Wine with the build's private prefix. The caller (the Makefile's
# test target, or scripts/wine-env.sh) provides DISPLAY and a warm wineserver; without them this
# still works, only slower.
: "${WINEPREFIX:=${TANDREL_WINEPREFIX:-$PWD/wineprefix}}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
start=$(date +%s)
wine "$@" && exit 0
status=$?
# Now and then Wine refuses to start a process at all (error 1359: nothing ran). A program that
# fails within a second is started once more; one that really fails fails again.
[ $(($(date +%s) - start)) -le 1 ] || exit $status
echo "wine-run: $1 ended with status $status at once; starting it again" >&2
exec wine "$@"
