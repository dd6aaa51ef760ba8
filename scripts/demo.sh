#!/bin/bash
# demo.sh <win64-build-dir>: runs the launcher from its stage tree under Wine.
# On a display it opens there and waits until you close it. Headless it plays a short session on
# a private screen and saves screenshots: the main window in English, German and Japanese, the
# focus mark after two Tab presses, the signal display, and the pairing window with two devices
# paired.
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

headless_session() {
  set -euo pipefail
  local probe="$build/tests/e2e/tandrel_probe.exe"
  cd "$stage"
  # shot <file> <probe output "window X,Y WxH">: the window's part of the screen.
  shot() {
    local geometry
    geometry=$(echo "$2" | sed -E 's/window (-?[0-9]+),(-?[0-9]+) ([0-9]+)x([0-9]+)/\3x\4+\1+\2/')
    sleep 1  # let it paint
    import -window root -crop "$geometry" +repage "$1"
    echo "Screenshot: $1"
  }
  launch() {  # launch <locale>
    LC_ALL=$1 wine TandrelProgram.exe &
    launcher=$!
    if ! where=$(wine "$probe" wait 30); then
      echo "the launcher did not show its window" >&2
      return 1
    fi
  }

  launch en_US.UTF-8
  shot "$build/demo.png" "$where"
  # Two Tab presses: the keyboard focus on the pair button, and its mark.
  wine "$probe" tab 2
  shot "$build/demo-focus.png" "$where"
  # The signal display: channel and level, live.
  wine "$probe" click 209 271 132 33
  where=$(wine "$probe" wait-class TandrelRSSIDisplay 20)
  sleep 4
  shot "$build/demo-signal.png" "$where"
  wine "$probe" close-class TandrelRSSIDisplay
  sleep 1
  # Pairing: Start, then a keyboard and a mouse arrive; the launcher ends with the module.
  wine "$probe" click 8 232 132 33
  where=$(wine "$probe" wait-class TandrelMultiPairForm 20)
  wine "$probe" press TandrelMultiPairForm 104
  sleep 8
  shot "$build/demo-pairing.png" "$where"
  wine "$probe" close-class TandrelMultiPairForm
  wait "$launcher"

  launch de_DE.UTF-8
  shot "$build/demo-de.png" "$where"
  wine "$probe" close
  wait "$launcher"

  launch ja_JP.UTF-8
  shot "$build/demo-ja.png" "$where"
  wine "$probe" close
  wait "$launcher"
}
export -f headless_session
export build stage
"$here/with-wine.sh" "$build" bash -c headless_session
