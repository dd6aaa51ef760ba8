#!/bin/bash
# reproduce.sh [release-dir]: the release files of the checked-out commit built again, as
# `make dist` builds them, in a fresh clone in another folder (under TMPDIR), and compared with
# release-dir (default dist/). Prints each file that differs, with the first byte offset where it
# does, and each file found on one side only; exit status 0 only when every file is equal.
# The signing variables of `make dist` (SIGN_*) and SOURCE_DATE_EPOCH, where set, are handed to
# the second build. Without a certificate, the signatures of signed release files are taken from
# them and attached to the second build's files (SIGN_FROM, scripts/dist.sh): then everything but
# the signatures is built again, and a signature that does not fit its file shows as a difference.
# The clone is removed when everything is equal, kept for a look otherwise.
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")
release=$(realpath -m "${1:-$root/dist}")
[ -f "$release/SHA256SUMS" ] || {
  echo "reproduce: $release holds no release files (make dist first)" >&2
  exit 2
}
# The clone holds the commit only: what is not committed would make the comparison meaningless.
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
  echo "reproduce: the work tree has changes that are not committed; commit or stash them and" \
    "make dist again first" >&2
  git -C "$root" status --short --untracked-files=no >&2
  exit 2
fi
commit=$(git -C "$root" rev-parse HEAD)
for v in SIGN_PKCS12 SIGN_PASSWORD_FILE SIGN_CERT SIGN_KEY SIGN_FROM; do
  [ -z "${!v:-}" ] || export "$v=$(realpath "${!v}")"
done
signature=$(mktemp -u)
signed=
for f in "$release"/*.msi; do
  osslsigncode extract-signature -in "$f" -out "$signature" >/dev/null 2>&1 && signed=$f
  rm -f "$signature"
done
if [ -n "$signed" ] && [ -z "${SIGN_PKCS12:-}${SIGN_CERT:-}${SIGN_FROM:-}" ]; then
  export SIGN_FROM=$release
  echo "reproduce: the release files are signed and no certificate is given: their signatures are" \
    "attached to the second build's files"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tandrel-reproduce.XXXXXX")
clone=$work/Tandrel
git clone -q "$root" "$clone"
git -C "$clone" checkout -q --detach "$commit"
echo "reproduce: building $commit again in $clone"
start=$(date +%s)
# The make that runs this one passes its command line on in MAKEFLAGS; the clone gets only the
# environment set above (absolute paths).
env -u MAKEFLAGS -u MFLAGS -u MAKEOVERRIDES make -C "$clone" dist JOBS="${JOBS:-$(nproc)}" \
  >"$work/dist.log" 2>&1 || {
  tail -n 20 "$work/dist.log" >&2
  echo "reproduce: the second build failed (log: $work/dist.log)" >&2
  exit 2
}
echo "reproduce: built in $(($(date +%s) - start)) s"

second=$clone/dist
differ=0 files=0
while IFS= read -r f; do
  files=$((files + 1))
  if [ ! -f "$release/$f" ] || [ ! -f "$second/$f" ]; then
    [ -f "$release/$f" ] && where="$release only" || where="the second build only"
    echo "missing: $f (in $where)"
    differ=$((differ + 1))
  elif ! said=$(LC_ALL=C cmp "$release/$f" "$second/$f" 2>&1); then
    # "... differ: byte N, line L" (N counts from 1) or "cmp: EOF on X after byte N".
    offset=$(echo "$said" | sed -nE 's/.* differ: (byte|char) ([0-9]+),.*/\2/p')
    if [ -n "$offset" ]; then
      offset=$((offset - 1))
    else
      offset=$(echo "$said" | sed -nE 's/.*EOF on .* after byte ([0-9]+).*/\1/p')
    fi
    printf 'differs: %s: first at offset %s (0x%x)\n' "$f" "$offset" "$offset"
    differ=$((differ + 1))
  fi
done < <( (cd "$release" && find . -type f -printf '%P\n'; cd "$second" && find . -type f -printf '%P\n') |
  LC_ALL=C sort -u)

if [ $differ -eq 0 ]; then
  echo "reproduce: all $files files equal to $release"
  rm -rf "$work"
  exit 0
fi
echo "reproduce: $differ of $files files differ; the second build is in $second"
exit 1
