#!/bin/bash
# image.sh: prints the folder of the 32-bit test machine, making it first when its inputs changed.
# The machine: Debian 12 amd64 with the 32-bit Wine, booted by boot.sh under qemu-system-x86_64
# (software emulation; this kernel refuses 32-bit code). The folder holds
#   root.img   ext4 root file system (the packages below, init, a 32-bit Wine prefix)
#   vmlinuz, initrd.img   the guest's own kernel and an initrd that mounts root.img over virtio
# It is kept in $TANDREL_GUEST_CACHE (default build/guest32) under the hash of its inputs (this
# script, init and with-wine.sh), so it is made again only when one of them changes.
# Needs root (mmdebstrap and mkfs.ext4 -d keep the tree's owners), about 6 GB free while it is made
# and 3 GB after, and the network to the Debian archive.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
root=$(realpath "$here/../..")
cache=$(realpath -m "${TANDREL_GUEST_CACHE:-$root/build/guest32}")
# The Debian archive the machine's packages come from.
mirror=${TANDREL_GUEST_MIRROR:-http://deb.debian.org/debian}

# What the machine holds. wine32:i386 is the point; cmake for ctest over the build tree, binutils
# for strings(1) in the package test; the X libraries that the host's Wine has by way of other
# packages, so that 32-bit Wine draws the way the 64-bit one does.
packages="wine,wine32:i386,xvfb,xauth,linux-image-amd64,initramfs-tools,kmod,mount,procps"
packages="$packages,cmake,binutils,libxrender1:i386,libxrandr2:i386,libxcursor1:i386,libxi6:i386"
packages="$packages,libxcomposite1:i386,libxinerama1:i386,libxfixes3:i386,fonts-dejavu-core"
# Tahoma, the launcher's face, as the host's Wine has it (see scripts/deps.sh).
packages="$packages,fonts-wine"

key=$(cat "$0" "$here/init" "$root/scripts/with-wine.sh" | sha256sum | cut -c1-16)
image=$cache/image-$key
if [ -f "$image/ready" ]; then
  echo "$image"
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "image.sh: making the 32-bit test machine needs root: sudo $0" >&2
  exit 1
fi

log=$cache/image.log
mkdir -p "$cache"
echo "Making the 32-bit test machine in $image (about 10 minutes; log: $log)" >&2
rm -rf "$cache"/image-* "$cache/tree"
mkdir -p "$image"
tree=$cache/tree
start=$(date +%s)
{
  # The root tree. No documentation, manual pages or translations: they only make it bigger.
  mmdebstrap --variant=apt --architectures=amd64,i386 --include="$packages" \
    --dpkgopt=force-unsafe-io --dpkgopt='path-exclude=/usr/share/doc/*' \
    --dpkgopt='path-include=/usr/share/doc/*/copyright' --dpkgopt='path-exclude=/usr/share/man/*' \
    --dpkgopt='path-exclude=/usr/share/locale/*' \
    --customize-hook='printf "%s\n" virtio_pci virtio_blk ext4 9pnet_virtio 9p >>"$1/etc/initramfs-tools/modules"' \
    --customize-hook='chroot "$1" update-initramfs -u -k all' \
    --customize-hook="mkdir -p \"\$1/opt/tandrel\" && cp '$here/init' '$root/scripts/with-wine.sh' \"\$1/opt/tandrel/\"" \
    --customize-hook='echo tandrel32 >"$1/etc/hostname"' \
    --customize-hook='rm -rf "$1"/var/cache/apt/archives/*.deb "$1"/var/lib/apt/lists/*' \
    bookworm "$tree" \
    "deb $mirror bookworm main" "deb $mirror bookworm-updates main" \
    "deb ${mirror%/debian}/debian-security bookworm-security main" </dev/null
  cp "$tree"/boot/vmlinuz-* "$image/vmlinuz"
  cp "$tree"/boot/initrd.img-* "$image/initrd.img"
  # The file system: what the tree uses and 2 GB for the Wine prefixes and whatever the runs write
  # (each run writes into a throw-away overlay, see boot.sh).
  size=$(($(du -sm "$tree" | cut -f1) + 2048))
  mkfs.ext4 -q -F -L tandrel32 -d "$tree" "$image/root.img" "${size}M"
  rm -rf "$tree"
  echo "root tree and image: $(($(date +%s) - start)) s"
} >"$log" 2>&1 || {
  echo "image.sh: making the machine failed; the end of $log:" >&2
  tail -20 "$log" >&2
  exit 1
}

# The 32-bit Wine prefix, made once by the machine itself (its first boot writes into root.img):
# with-wine.sh sets up /opt/tandrel/wine32/wineprefix as it sets up a build's prefix.
job=$cache/image-job
rm -rf "$job"
mkdir -p "$job"
cat >"$job/job.sh" <<'EOF'
set -eu
TANDREL_WINEARCH=win32 /opt/tandrel/with-wine.sh /opt/tandrel/wine32 wine cmd /c ver
EOF
status=0
TANDREL_GUEST_IMAGE=$image TANDREL_GUEST_WRITE_IMAGE=1 "$here/boot.sh" "$job" 1800 >>"$log" 2>&1 ||
  status=1
cat "$job/log" >>"$log" 2>/dev/null || true
if [ $status != 0 ]; then
  echo "image.sh: the first boot of the machine failed; the end of $log:" >&2
  tail -20 "$log" >&2
  exit 1
fi
rm -rf "$job"
echo "machine ready: $(($(date +%s) - start)) s, $(du -sh --apparent-size "$image/root.img" | cut -f1) image" >>"$log"
touch "$image/ready"
echo "$image"
