#!/bin/sh
# msi.sh <tree> <x86|x64> <version> <out.msi>: one Windows Installer package of a package tree
# (see make_wxs.py), built with wixl, its install folder then locked down (lock_permissions.py).
# The generated source is kept beside the package tree.
set -eu
tree=$1 arch=$2 version=$3 out=$4
here=$(dirname "$(realpath "$0")")
wxs="$(dirname "$(realpath "$tree")")/Tandrel-$version-$arch.wxs"
python3 "$here/make_wxs.py" --tree "$tree" --arch "$arch" --version "$version" \
  --icon "$here/../shell/Application.ico" --out "$wxs"
wixl --arch "$arch" --output "$out" "$wxs"
# Explicit permissions on the install folder and below: a table wixl cannot write, added to the
# built package.
python3 "$here/lock_permissions.py" "$out"
