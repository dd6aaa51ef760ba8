#!/bin/sh
# bench.sh <win64-build-dir>: runs the timing harnesses under Wine (inside with-wine.sh).
set -eu
build=$(realpath "$1")
scripts=$(dirname "$(realpath "$0")")
cd "$build/bench"
echo "== text step: the project's INI reader against GetPrivateProfileStringW"
wine text_bench.exe
echo "== language files: a 16k-step mapping chain and the heap of a parsed file, before and after"
wine texts_bench.exe
echo "== a language file of 50,000 names colliding under an unkeyed hash against an ordinary one"
wine hostile_names_bench.exe
echo "== window outline: the rule against the per-pixel rule and a single linear pass"
wine outline_bench.exe
echo "== one skinned button repaint against a plain BitBlt"
wine button_bench.exe
echo "== the pairing store against its pauses and the device library's own time"
wine store_bench.exe

# Start-up, measured on the files as they ship: a copy of the run-time tree with every binary
# stripped (whether or not the build stripped it already), without a scenario or a trace, so the
# simulator stands for a device library with no receiver attached. The timing build runs in the
# same tree; the bare window and the harness in a folder of their own.
echo "== start-up: the launcher against a bare window of its size (stripped binaries)"
runs="$build/bench/startup"
rm -rf "$runs"
mkdir -p "$runs/bare"
cp -r "$build/stage" "$runs/launcher"
rm -f "$runs/launcher/DLL/DLL_MouseDeviceManager.scenario" \
  "$runs/launcher/DLL/DLL_MouseDeviceManager.trace"
cp TandrelProgram_timed.exe "$runs/launcher/"
cp bare_window.exe bare_window_buttons.exe "$runs/bare/"
stripped=0
for f in $(find "$runs" -iname '*.exe' -o -iname '*.dll'); do
  if x86_64-w64-mingw32-objdump -h "$f" | grep -q ' \.debug_'; then
    x86_64-w64-mingw32-strip --strip-all "$f"
    stripped=$((stripped + 1))
  fi
done
echo "(stripped $stripped of the copied binaries; the others were stripped already)"
# 31 starts each: on a shared machine the medians of 15 moved by some 5% from run to run.
wine startup_bench.exe -n "${TANDREL_STARTS:-31}" "$runs/bare/bare_window.exe" \
  "$runs/launcher/TandrelProgram.exe" "$runs/launcher/TandrelProgram_timed.exe" \
  "$runs/bare/bare_window_buttons.exe"

# The same programs counted in round trips to the Wine server, which the machine's load does not
# move: where a change saves requests, it saves time on any machine.
echo "== start-up: requests to the Wine server until the window is ready (one start each)"
"$scripts/server-requests.sh" "$runs/bare/bare_window.exe" \
  "$runs/bare/bare_window_buttons.exe" "$runs/launcher/TandrelProgram.exe"
