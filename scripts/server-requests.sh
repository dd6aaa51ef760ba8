#!/bin/bash
# server-requests.sh <program.exe>... (inside with-wine.sh): how many requests each program's
# window thread sends the Wine server from its start until it first waits for input with its
# window shown. Each request is a round trip to another process, and on a loaded machine a wait
# for the scheduler; unlike a time, the count does not move with the machine's load. Every
# program starts once, from its own folder, under a fresh server that logs requests (-d1); its
# thread is the one that makes a window for the executable's module (64-bit image base). The
# first program is the baseline of the ratios printed.
set -euo pipefail
log=$(mktemp)
trap 'rm -f "$log"' EXIT

count() {
  # Two passes over the log: the first finds the thread, the second counts its requests up to its
  # first wait without end after it took the foreground.
  awk 'NR == FNR { if (!tid && $2 == "create_window(" && /instance=140000000/) tid = $1; next }
       tid && $1 == tid && $2 ~ /^[a-z_]+\($/ {
         n++
         if ($2 == "set_foreground_window(") shown = 1
         if (shown && $2 == "select(" && /timeout=infinite/) { print n; exit }
       }' "$log" "$log"
}

first=""
for exe in "$@"; do
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -f -p -d1 2>"$log" &
  # Explorer and the services are up before the program starts, as in the timed starts.
  wine cmd /c exit >/dev/null 2>&1 || true
  (cd "$(dirname "$exe")" && wine "$(basename "$exe")" >/dev/null 2>&1 &)
  # Until the thread has waited for input with its window shown; 20 s at most.
  n=""
  for _ in $(seq 40); do
    sleep 0.5
    n=$(count)
    [ -n "$n" ] && break
  done
  [ -z "$first" ] && first=${n:-0}
  ratio=$(awk -v n="$n" -v b="$first" 'BEGIN { if (n + 0 > 0 && b + 0 > 0) printf "%.2fx", n / b }')
  if [ -n "$n" ]; then
    printf '%-32s %8s requests  %s\n' "$(basename "$exe")" "$n" "$ratio"
  else
    printf '%-32s no window found in the log\n' "$(basename "$exe")"
  fi
done
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
# The rest of the session gets an ordinary server again.
wineserver -p
wine wineboot >/dev/null 2>&1 || true
