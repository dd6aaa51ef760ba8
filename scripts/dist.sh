#!/bin/bash
# dist.sh [out-dir]: the release files, from the run-time trees of the win32 and win64 builds
# (built first: see the Makefile's dist target), into out-dir (default dist/):
#   Tandrel-<version>-win32.msi, -win64.msi   Windows Installer packages (packaging/)
#   Tandrel-<version>-win32.zip, -win64.zip   the portable tree: what the packages install by default
#   symbols/win32/, symbols/win64/            the debug information split off each binary
#   SHA256SUMS
# The version is the top-level CMake project's.
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")
out=$(realpath -m "${1:-$root/dist}")

version=
for preset in win32 win64; do
  v=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/$preset/CMakeCache.txt" 2>/dev/null)
  [ -n "$v" ] || { echo "dist: build/$preset is not configured" >&2; exit 1; }
  [ -z "$version" ] || [ "$v" = "$version" ] || {
    echo "dist: build/win32 is version $version, build/win64 $v" >&2
    exit 1
  }
  version=$v
done

rm -rf "$out"
mkdir -p "$out/symbols"
for preset in win32 win64; do
  build=$root/build/$preset
  if [ $preset = win32 ]; then arch=x86 bits=32; else arch=x64 bits=64; fi
  # The package tree: the run-time tree, whose binaries the build strips. In DLL\ only the
  # simulator, with a receiver of its own (feature Simulator): the scenarios and traces that tests
  # and the demo leave there stay behind.
  pkg=$build/package
  tree=$pkg/Tandrel
  rm -rf "$pkg"
  mkdir -p "$tree"
  (cd "$build/stage" && find . -mindepth 1 -maxdepth 1 ! -name DLL -exec cp -Rp {} "$tree/" \;)
  mkdir -p "$tree/DLL"
  cp -p "$build/stage/DLL/DLL_MouseDeviceManager.dll" "$tree/DLL/"
  cp -p "$root/packaging/DLL_MouseDeviceManager.scenario" "$tree/DLL/"
  "$root/scripts/check-pe.sh" "$tree/TandrelProgram.exe" $bits >/dev/null

  "$root/packaging/msi.sh" "$tree" $arch "$version" "$out/Tandrel-$version-$preset.msi"
  # Unpacked anywhere it runs as it is; the device-manager library goes into Tandrel\DLL\.
  (cd "$pkg" && zip -qrX "$out/Tandrel-$version-$preset.zip" Tandrel -x 'Tandrel/DLL/*')
  mkdir -p "$out/symbols/$preset"
  cp -p "$build/symbols/"*.debug "$out/symbols/$preset/"
done
(cd "$out" && find . -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS)
(cd "$out" && find . -maxdepth 1 -type f -printf '%f\t%s bytes\n' | LC_ALL=C sort)
