#!/bin/bash
# prefixes.sh <prefix-folder>...: in the 32-bit test machine, puts each Wine prefix folder of the
# shared build tree on the machine's own disk, as a fresh copy (an overlay) of the 32-bit prefix
# made with the image: Wine takes minutes to make one under emulation. Elsewhere (a machine with
# a 32-bit Wine of its own) it does nothing: with-wine.sh makes the prefixes.
set -euo pipefail
template=/opt/tandrel/wine32/wineprefix
[ -d "$template" ] || exit 0
modprobe overlay
for prefix in "$@"; do
  mountpoint -q "$prefix" 2>/dev/null && continue
  changes=/var/tmp/prefix/$(realpath -m "$prefix" | tr / _)
  mkdir -p "$prefix" "$changes/upper" "$changes/work"
  mount -t overlay overlay \
    -o "lowerdir=$template,upperdir=$changes/upper,workdir=$changes/work" "$prefix"
done
