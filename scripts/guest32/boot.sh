#!/bin/bash
# boot.sh <job-folder> [seconds]: boots the 32-bit test machine (image.sh) under qemu-system-x86_64
# with software emulation, runs <job-folder>/job.sh in it (see init) and returns its exit status.
# The machine is killed after [seconds] (default 3600). Each boot writes into a throw-away overlay
# of the image, so every job starts from the same machine.
#   TANDREL_GUEST_TREE=<folder>   share that host folder with the machine at the same path
#   TANDREL_GUEST_SHELL=1         a shell on this terminal instead of the job (exit powers off)
#   TANDREL_GUEST_IMAGE, TANDREL_GUEST_WRITE_IMAGE=1   image.sh's own first boot
set -euo pipefail
here=$(dirname "$(realpath "$0")")
job=$(realpath "$1")
limit=${2:-3600}
image=$(realpath "${TANDREL_GUEST_IMAGE:-$("$here/image.sh")}")

rm -f "$job/status" "$job/log"
tree_args=()
if [ -n "${TANDREL_GUEST_TREE:-}" ]; then
  tree=$(realpath "$TANDREL_GUEST_TREE")
  echo "$tree" >"$job/tree"
  tree_args=(-virtfs "local,path=$tree,mount_tag=tree,security_model=none,id=tree")
else
  rm -f "$job/tree"
fi
if [ "${TANDREL_GUEST_WRITE_IMAGE:-}" = 1 ]; then
  disk=(-drive "file=$image/root.img,format=raw,if=virtio")
else
  overlay=$job/overlay.qcow2
  rm -f "$overlay"
  qemu-img create -q -f qcow2 -b "$image/root.img" -F raw "$overlay"
  disk=(-drive "file=$overlay,format=qcow2,if=virtio,cache=unsafe")
fi
append="console=ttyS0 root=/dev/vda rw init=/opt/tandrel/init panic=-1 quiet"
[ "${TANDREL_GUEST_SHELL:-}" = 1 ] && append="$append tandrel.shell"

# smap=off: with the full "max" CPU the guest kernel faults in wineboot under TCG.
qemu=(qemu-system-x86_64 -accel tcg,thread=multi -cpu max,smap=off -smp 2 -m 3072
      -nographic -no-reboot -nic none
      -kernel "$image/vmlinuz" -initrd "$image/initrd.img" -append "$append" "${disk[@]}"
      -virtfs "local,path=$job,mount_tag=job,security_model=none,id=job" "${tree_args[@]}")
status=0
if [ "${TANDREL_GUEST_SHELL:-}" = 1 ]; then
  "${qemu[@]}" || status=$?
else
  timeout --foreground --kill-after=10 "$limit" "${qemu[@]}" </dev/null >"$job/console.log" 2>&1 || status=$?
fi
rm -f "${overlay:-}"
if [ $status = 124 ] || [ $status = 137 ]; then
  echo "boot.sh: the machine did not power off within $limit s; killed (console: $job/console.log)" >&2
  exit 1
fi
[ $status = 0 ] || { echo "boot.sh: qemu ended with $status (console: $job/console.log)" >&2; exit 1; }
[ "${TANDREL_GUEST_SHELL:-}" = 1 ] && exit 0
[ -f "$job/status" ] || { echo "boot.sh: the job did not finish (console: $job/console.log)" >&2; exit 1; }
exit "$(cat "$job/status")"
