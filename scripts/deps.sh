#!/bin/sh
# Installs, with apt-get, whatever the build and its tests need and this machine lacks.
# Usage: scripts/deps.sh [build|dist|test|demo|fuzz]   (test and demo also need Wine and a screen;
# test also qemu and mmdebstrap for the 32-bit test machine; fuzz needs clang and its libFuzzer
# runtime). Every build draws the skin: Pillow and the fonts of its words (Latin and Cyrillic,
# Chinese, Japanese, Korean) are part of each list. Under Wine, fonts-wine gives the launcher's
# face (Tahoma) as Windows has it: Debian's Wine leaves its own fonts to that package.
set -eu
want="cmake ninja-build g++ make python3 python3-pil fonts-dejavu-core fonts-noto-cjk googletest g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686"
# The release files: wixl builds the Windows Installer packages, msitools reads them back and
# sets what wixl cannot be told, faketime stops wixl's clock, osslsigncode signs.
dist="wixl msitools zip faketime osslsigncode"
case "${1:-test}" in
  build) ;;
  dist) want="$want $dist" ;;
  fuzz) want="$want clang libclang-rt-14-dev" ;;
  *) want="$want $dist openssl wine64 wine fonts-wine xvfb xauth x11-apps x11-utils imagemagick xdotool" ;;
esac
# The 32-bit test machine (scripts/guest32/): its root tree, its file system and the emulator.
case "${1:-test}" in
  test) want="$want qemu-system-x86 qemu-utils mmdebstrap e2fsprogs" ;;
esac
missing=""
for p in $want; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# Never wine32 here: 32-bit programs cannot run on these machines (the 32-bit test machine has it).
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
