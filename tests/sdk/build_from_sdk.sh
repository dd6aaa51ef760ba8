#!/bin/bash
# build_from_sdk.sh <SDK folder> <out folder>: a module author's first hour, from the SDK folder
# alone. The folder is copied to a fresh place outside the source and build trees, and the build
# commands of its own MODULES.md are run there as they stand, for 32 and 64 bits. Each module must
# build without a warning, be a DLL of its width and export return_RSSIDisplay under that plain
# name only. The modules are left in <out>/win32 and <out>/win64 for the end-to-end run.
set -euo pipefail
sdk=$(realpath "$1")
out=$(realpath -m "$2")
extract=$(realpath "$(dirname "$0")/../../scripts/extract-code.py")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cp -R "$sdk" "$work/SDK"
cd "$work/SDK"
python3 "$extract" MODULES.md "$work" build.sh
env -u CPATH -u C_INCLUDE_PATH sh -e "$work/build.sh" 2>"$work/warnings" ||
  fail "the guide's build commands failed: $(cat "$work/warnings")"
[ ! -s "$work/warnings" ] || fail "the guide's module builds with warnings: $(cat "$work/warnings")"
echo "ok - the guide's build commands build both modules from the SDK folder alone, without a warning"

for bits in 32 64; do
  if [ $bits = 32 ]; then tool=i686 format=pei-i386; else tool=x86_64 format=pei-x86-64; fi
  dll=win$bits/RSSIDisplay.dll
  [ -f "$dll" ] || fail "$dll was not built"
  "$tool-w64-mingw32-objdump" -f "$dll" | grep -q "file format $format" ||
    fail "$dll is not a $bits-bit DLL"
  # The name pointer table of the export directory: "[   0] return_RSSIDisplay".
  names=$("$tool-w64-mingw32-objdump" -p "$dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p')
  [ "$names" = return_RSSIDisplay ] || fail "$dll exports '$names', not return_RSSIDisplay alone"
  echo "ok - $dll: a $bits-bit DLL exporting return_RSSIDisplay, undecorated, and nothing else"
  mkdir -p "$out/win$bits"
  cp "$dll" "$out/win$bits/"
done
