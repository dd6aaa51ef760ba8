#!/bin/sh
# msi.sh <tree> <x86|x64> <version> <out.msi>: one Windows Installer package of a package tree
# (see make_wxs.py), built with wixl, its install folder then locked down (lock_permissions.py).
# The generated source is kept beside the package tree.
#
# The same tree gives the same bytes at any time and from any folder (the files' modification
# times go into the package's cabinet: scripts/dist.sh sets them to SOURCE_DATE_EPOCH, which is
# the last commit's time unless set). wixl takes two things from outside, which are pinned here:
# - the package's creation and save times in its summary information, from the clock: wixl runs
#   on a clock stopped at SOURCE_DATE_EPOCH (faketime; cabinet times are read in UTC);
# - the package code, drawn at random (it ignores Package/@Id): msibuild writes the source's own
#   code into the summary information afterwards, with the other fields as wixl wrote them.
set -eu
tree=$1 arch=$2 version=$3 out=$4
here=$(dirname "$(realpath "$0")")
: "${SOURCE_DATE_EPOCH:=$(git -C "$here" log -1 --format=%ct 2>/dev/null)}"
[ -n "$SOURCE_DATE_EPOCH" ] || {
  echo "msi.sh: no commit to take the time of the release from: set SOURCE_DATE_EPOCH" >&2
  exit 1
}
base=$(dirname "$(realpath "$tree")")
wxs="$base/Tandrel-$version-$arch.wxs"
icon=$here/../shell/Application.ico
python3 "$here/make_wxs.py" --tree "$tree" --arch "$arch" --version "$version" --icon "$icon" \
  --out "$wxs"
# wixl looks for sources relative to the .wxs file only.
TZ=UTC FAKETIME_DONT_FAKE_MONOTONIC=1 \
  faketime -f "$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')" \
  wixl --arch "$arch" --output "$out" \
  -D "Tree=$(realpath --relative-to="$base" "$tree")" \
  -D "Icon=$(realpath --relative-to="$base" "$icon")" "$wxs"
# Explicit permissions on the install folder and below: a table wixl cannot write, added to the
# built package (on the same stopped clock: msibuild may write the save time).
TZ=UTC FAKETIME_DONT_FAKE_MONOTONIC=1 \
  faketime -f "$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')" \
  python3 "$here/lock_permissions.py" "$out"
package_code=$(sed -n 's/.*<Package Id="\([^"]*\)".*/{\1}/p' "$wxs")
field() { msiinfo suminfo "$out" | sed -n "s/^$1: //p"; }
msibuild "$out" -s "$(field Subject)" "$(field Author)" "$(field Template)" "$package_code"
[ "$(field 'Revision number (UUID)')" = "$package_code" ] || {
  echo "msi.sh: $out: the package code is not $package_code" >&2
  exit 1
}
