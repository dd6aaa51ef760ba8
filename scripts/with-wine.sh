#!/bin/bash
# with-wine.sh <build-dir> <command...>
# Runs a command inside a warm Wine session: a private prefix in the build folder, a persistent
# wineserver, and a screen. The screen is a fresh Xvfb unless TANDREL_DISPLAY=host and a display
# is set (the demo on a desktop). Everything started here is stopped on the way out.
# TANDREL_WINEARCH=win32 makes a 32-bit prefix (the 32-bit Wine of scripts/win32-tests.sh);
# TANDREL_XVFB_ARGS are more arguments for Xvfb (e.g. -fbdir for screenshots without X tools).
set -euo pipefail
build=$(realpath "$1")
shift

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=${TANDREL_WINEARCH:-win64}

xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ "${TANDREL_DISPLAY:-}" = host ] && [ -n "${DISPLAY:-}" ]; then
  :
else
  # A free display number: no lock file and no socket.
  n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  # shellcheck disable=SC2086
  Xvfb ":$n" -nolisten tcp -screen 0 "${TANDREL_SCREEN:-1280x1024x24}" ${TANDREL_XVFB_ARGS:-} \
    >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

# Keep one wineserver for the whole session, and warm the prefix before anything else talks to
# it: without the warm-up, CTest can hang on pipes held by Wine's services.
mkdir -p "$WINEPREFIX"
wineserver -p
if [ ! -f "$WINEPREFIX/.tandrel-ready" ]; then
  wine wineboot -i >/dev/null 2>&1 || true
  # A crash ends the process instead of waiting for a click on Wine's crash dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  touch "$WINEPREFIX/.tandrel-ready"
else
  wine wineboot >/dev/null 2>&1 || true
fi
# Wine's own Tahoma (fonts-wine): the launcher's face, as every Windows has it. Debian's Wine does
# not look where that package puts it, so the prefix's font folder gets a copy.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
for f in /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf; do
  if [ -f "$f" ] && [ -d "$fonts" ] && [ ! -e "$fonts/${f##*/}" ]; then cp "$f" "$fonts/"; fi
done
# On a private screen everything runs in a Wine virtual desktop: without a window manager, Wine
# otherwise waits about two seconds for each window it shows. On the user's display windows are
# ordinary X windows. The desktop is chosen when Wine's services start, so a change restarts them.
mode=host
[ -n "$xvfb_pid" ] && mode="virtual ${TANDREL_SCREEN:-1280x1024x24}"
if [ "$(cat "$WINEPREFIX/.tandrel-desktop" 2>/dev/null)" != "$mode" ]; then
  if [ -n "$xvfb_pid" ]; then
    size=${TANDREL_SCREEN:-1280x1024x24}
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "${size%x*}" /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
  fi
  echo "$mode" >"$WINEPREFIX/.tandrel-desktop"
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p
  wine wineboot >/dev/null 2>&1 || true
fi

# Starts that scripts/wine-run.sh had to retry during this command are counted at its end.
retries="$WINEPREFIX/wine-run.retries"
count_retries() { if [ -f "$retries" ]; then wc -l <"$retries"; else echo 0; fi; }
before=$(count_retries)
status=0
"$@" || status=$?
after=$(count_retries)
if [ "$after" -gt "$before" ]; then
  echo "with-wine: $((after - before)) start(s) retried by wine-run.sh (see $retries)" >&2
fi
exit $status
