#!/bin/bash
# demo.sh <win64-build-dir>: runs the launcher from its stage tree under Wine. On a display it
# opens there and waits until you close it; headless it takes a screenshot and closes it.
set -euo pipefail
build=$(realpath "$1")
stage="$build/stage"
here=$(dirname "$(realpath "$0")")

# The demo receiver: one receiver on which a keyboard and then a mouse pair, unless a scenario
# is there already.
scenario="$stage/DLL/DLL_MouseDeviceManager.scenario"
[ -f "$scenario" ] || cp "$here/../outside/devicemanager/scenarios/pairing-demo.scenario" "$scenario"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting the launcher on $DISPLAY; close it to end the demo."
  cd "$stage"
  TANDREL_DISPLAY=host exec "$here/with-wine.sh" "$build" wine TandrelProgram.exe
fi

shot="$build/demo.png"
run_headless() {
  cd "$stage"
  wine TandrelProgram.exe &
  local launcher=$!
  if ! wine "$build/tests/e2e/tandrel_probe.exe" wait 30; then
    echo "the launcher did not show its window" >&2
    kill "$launcher" 2>/dev/null || true
    return 1
  fi
  sleep 1  # let it paint
  import -window root "$shot"
  wine "$build/tests/e2e/tandrel_probe.exe" close
  wait "$launcher"
  echo "Screenshot: $shot"
}
export -f run_headless
export build stage shot
"$here/with-wine.sh" "$build" bash -c run_headless
