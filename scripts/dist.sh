#!/bin/bash
# dist.sh [out-dir]: the release files, from the run-time trees of the win32 and win64 builds
# (built first: see the Makefile's dist target), into out-dir (default dist/):
#   Tandrel-<version>-win32.msi, -win64.msi   Windows Installer packages (packaging/)
#   Tandrel-<version>-win32.zip, -win64.zip   the portable tree: what the packages install by default
#   symbols/win32/, symbols/win64/            the debug information split off each binary
#   SHA256SUMS
# The version is the top-level CMake project's.
#
# Signing (README, "Signing"): with SIGN_PKCS12=<file.p12> and SIGN_PASSWORD_FILE=<file>, or
# SIGN_CERT=<certificates.pem> and SIGN_KEY=<key.pem> (SIGN_PASSWORD_FILE too if the key is
# encrypted), every .exe and .dll of both package trees is signed before it is packed, then both
# packages: Authenticode, SHA-256, osslsigncode. The password goes to osslsigncode as a file name
# only. SIGN_TIMESTAMP_URL=<url> adds an RFC 3161 time stamp (which no rebuild can reproduce).
# SIGN_FROM=<folder of release files> instead takes each signature from the same file there and
# attaches it (osslsigncode attach-signature): how a rebuild without the key is compared with a
# signed release (scripts/reproduce.sh). A signature attached to other bytes does not match them.
#
# Reproducible: the same commit gives the same bytes from any folder at any time, signed too with
# the same certificate and key. Every time that lands in a file is SOURCE_DATE_EPOCH, the last
# commit's time unless set: the signing time, the files' times in the zips and in the packages'
# cabinets (in UTC), the packages' summary times (packaging/msi.sh). Zip entries are sorted, with
# fixed modes and no extra fields.
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")
out=$(realpath -m "${1:-$root/dist}")
: "${SOURCE_DATE_EPOCH:=$(git -C "$root" log -1 --format=%ct 2>/dev/null)}"
[ -n "$SOURCE_DATE_EPOCH" ] || {
  echo "dist: no commit to take the time of the release from: set SOURCE_DATE_EPOCH" >&2
  exit 1
}
export SOURCE_DATE_EPOCH TZ=UTC

sign=() signing=
if [ -n "${SIGN_FROM:-}" ]; then
  signing=from SIGN_FROM=$(realpath "$SIGN_FROM")
  echo "dist: the signatures of the release files in $SIGN_FROM attached"
else
  if [ -n "${SIGN_PKCS12:-}" ]; then
    sign=(-pkcs12 "$SIGN_PKCS12")
  elif [ -n "${SIGN_CERT:-}${SIGN_KEY:-}" ]; then
    if [ -z "${SIGN_CERT:-}" ] || [ -z "${SIGN_KEY:-}" ]; then
      echo "dist: SIGN_CERT and SIGN_KEY go together" >&2
      exit 1
    fi
    sign=(-certs "$SIGN_CERT" -key "$SIGN_KEY")
  fi
  if [ ${#sign[@]} -gt 0 ]; then
    signing=key
    [ -z "${SIGN_PASSWORD_FILE:-}" ] || sign+=(-readpass "$SIGN_PASSWORD_FILE")
    [ -z "${SIGN_TIMESTAMP_URL:-}" ] || sign+=(-ts "$SIGN_TIMESTAMP_URL")
    sign+=(-h sha256 -n Tandrel -time "$SOURCE_DATE_EPOCH")
    echo "dist: signing with ${SIGN_PKCS12:-$SIGN_CERT}"
  else
    echo "dist: no certificate (SIGN_PKCS12= or SIGN_CERT= and SIGN_KEY=): the release files are unsigned"
  fi
fi
# sign_file <file> <the same file of the release in SIGN_FROM>: signed in place; osslsigncode's
# words only when it fails. An attached signature is checked by the comparison that follows, not
# here: the chain of a private authority is not known to this machine.
sign_file() {
  local said
  if [ "$signing" = key ]; then
    said=$(osslsigncode sign "${sign[@]}" -in "$1" -out "$1.signed" 2>&1) || {
      rm -f "$1.signed"
      echo "dist: signing $1 failed: $said" >&2
      exit 1
    }
  else
    rm -f "$1.signature"
    if osslsigncode extract-signature -in "$2" -out "$1.signature" >/dev/null 2>&1; then
      osslsigncode attach-signature -sigin "$1.signature" -in "$1" -out "$1.signed" >/dev/null 2>&1 ||
        true
    fi
    rm -f "$1.signature"
    [ -f "$1.signed" ] || {
      echo "dist: no signature of $2 fits $1"
      return 0
    }
  fi
  mv "$1.signed" "$1"
}

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
  msi=$out/Tandrel-$version-$preset.msi
  published=$pkg/published
  if [ "$signing" = from ]; then
    # The published package's files, under [ProgramFiles(64)Folder]/Tandrel/.
    msiextract -C "$pkg/published-files" "$SIGN_FROM/${msi##*/}" >/dev/null
    published=$(find "$pkg/published-files" -type d -name Tandrel -print -quit)
  fi
  if [ -n "$signing" ]; then
    (cd "$tree" && find . -type f \( -name '*.exe' -o -name '*.dll' \) -printf '%P\0') |
      LC_ALL=C sort -z | while IFS= read -r -d '' f; do sign_file "$tree/$f" "$published/$f"; done
  fi
  rm -rf "$pkg/published-files"
  # Whatever the umask and the clock of the build: binaries 755, other files 644, all at
  # SOURCE_DATE_EPOCH.
  find "$tree" -type d -exec chmod 755 {} +
  find "$tree" -type f -exec chmod 644 {} +
  find "$tree" -type f \( -name '*.exe' -o -name '*.dll' \) -exec chmod 755 {} +
  find "$tree" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

  "$root/packaging/msi.sh" "$tree" $arch "$version" "$msi"
  [ -z "$signing" ] || sign_file "$msi" "${SIGN_FROM:-}/${msi##*/}"
  # Unpacked anywhere it runs as it is; the device-manager library goes into Tandrel\DLL\.
  # Files only, in byte order of their names (an unzip makes the folders).
  (cd "$pkg" && find Tandrel -path Tandrel/DLL -prune -o -type f -print | LC_ALL=C sort |
    zip -qX -D "$out/Tandrel-$version-$preset.zip" -@)
  mkdir -p "$out/symbols/$preset"
  cp -p "$build/symbols/"*.debug "$out/symbols/$preset/"
done
(cd "$out" && find . -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS)
(cd "$out" && find . -maxdepth 1 -type f -printf '%f\t%s bytes\n' | LC_ALL=C sort)
