#!/bin/sh
# Runs one Windows program under Wine with the build's private prefix. The caller (the Makefile's
# test target, or scripts/wine-env.sh) provides DISPLAY and a warm wineserver; without them this
# still works, only slower.
: "${WINEPREFIX:=${TANDREL_WINEPREFIX:-$PWD/wineprefix}}"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
