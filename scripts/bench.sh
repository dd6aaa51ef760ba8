#!/bin/sh
# bench.sh <win64-build-dir>: runs the timing harnesses under Wine (inside with-wine.sh).
set -eu
cd "$1/bench"
echo "== text step: the project's INI reader against GetPrivateProfileStringW"
wine text_bench.exe
echo "== window outline: the rule against the per-pixel rule and a single linear pass"
wine outline_bench.exe
echo "== one skinned button repaint against a plain BitBlt"
wine button_bench.exe
