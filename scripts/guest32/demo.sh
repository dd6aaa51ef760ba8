#!/bin/bash
# demo.sh <win32-build-dir>: the 32-bit launcher from its stage tree in the 32-bit test machine, on
# the machine's private screen, with the demo receiver (see scripts/demo.sh): saves screenshots of
# the main window and of the signal display (<build>/demo32.png, demo32-signal.png) and closes it.
set -euo pipefail
build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
root=$(realpath "$here/../..")
job=$root/build/guest32/demo-job
rm -rf "$job"
mkdir -p "$job"
scenario=$build/stage/DLL/DLL_MouseDeviceManager.scenario
[ -f "$scenario" ] || cp "$root/outside/devicemanager/scenarios/pairing-demo.scenario" "$scenario"

cat >"$job/job.sh" <<JOB
set -euo pipefail
cd '$build/stage'
'$here/prefixes.sh' '$build/wineprefix'
mkdir -p /tmp/screen
export TANDREL_WINEARCH=win32 TANDREL_XVFB_ARGS='-fbdir /tmp/screen' probe='$build/tests/e2e/tandrel_probe.exe'
'$root/scripts/with-wine.sh' '$build' bash -c '
  set -euo pipefail
  shot() { sleep 2; cp /tmp/screen/Xvfb_screen0 /job/\$1.xwd; echo "\$2" | tr -d "\r" >/job/\$1.where; }
  wine TandrelProgram.exe &
  shot main "\$(wine "\$probe" wait 60)"
  wine "\$probe" click 209 271 132 33
  where=\$(wine "\$probe" wait-class TandrelRSSIDisplay 60)
  sleep 4
  shot signal "\$where"
  wine "\$probe" close-class TandrelRSSIDisplay
  sleep 1
  wine "\$probe" close
  wait'
JOB
echo "Starting the 32-bit launcher in the 32-bit test machine (a minute or two)"
TANDREL_GUEST_TREE=$root "$here/boot.sh" "$job" 900 || {
  echo "demo32: the run failed; its log:" >&2
  cat "$job/log" >&2
  exit 1
}
for name in main signal; do
  out=$build/demo32.png
  [ $name = main ] || out=$build/demo32-$name.png
  # "window X,Y WxH" as the probe prints it: the window's part of the screen.
  geometry=$(sed -E 's/window (-?[0-9]+),(-?[0-9]+) ([0-9]+)x([0-9]+)/\3x\4+\1+\2/' "$job/$name.where")
  convert "xwd:$job/$name.xwd" -crop "$geometry" +repage "$out"
  echo "Screenshot: $out ($(cat "$job/$name.where"))"
done
