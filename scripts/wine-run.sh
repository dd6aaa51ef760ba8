#!/bin/sh
# Runs one Windows program under Wine with the build's private prefix. The caller (the Makefile's
# test target through scripts/with-wine.sh) provides DISPLAY and a warm wineserver; without them
# this still works, only slower.
: "${WINEPREFIX:=${TANDREL_WINEPREFIX:-$PWD/wineprefix}}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
start=$(date +%s)
wine "$@" && exit 0
status=$?
# Now and then Wine refuses to start a process at all (error 1359: nothing ran). A program that
# fails within a second is started once more; one that really fails fails again. Every retry is
# said on standard error and counted, one line each, in the prefix's wine-run.retries, so that
# flaky starts show instead of hiding.
[ $(($(date +%s) - start)) -le 1 ] || exit $status
retries="$WINEPREFIX/wine-run.retries"
echo "$(date '+%F %T') $status $*" >>"$retries" 2>/dev/null
count=$(wc -l <"$retries" 2>/dev/null || echo "?")
echo "wine-run: $1 ended with status $status at once; starting it again (retry $count in $retries)" >&2
exec wine "$@"
