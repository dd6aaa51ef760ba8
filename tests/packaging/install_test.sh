#!/bin/bash
# install_test.sh <dist-dir> [win64|win32]: the package of that width (default win64) under Wine's
# msiexec, in a fresh prefix of that width:
#   1. an older version (the same tree packaged as a lower version) installs silently with every
#      feature into a folder whose name is not ASCII;
#   2. the package of <dist-dir> upgrades it silently, finding the folder and the features again:
#      one Add/Remove entry, the new version;
#   3. there is one Start-menu shortcut, and the installed launcher starts and shows its window;
#   4. the older package is then refused;
#   5. a silent removal leaves the prefix's files and uninstall entries as they were before.
# TANDREL_PACKAGE_STEP=prepare only makes the older package (it needs wixl), =run only runs the
# test with it (in the 32-bit test machine, which has Wine but not wixl).
set -euo pipefail
root=$(realpath "$(dirname "$0")/../..")
dist=$(realpath "$1")
preset=${2:-win64}
work=$root/build/$preset/package-test
msi=$(ls "$dist"/Tandrel-*-$preset.msi)
version=$(basename "$msi" | sed -E "s/^Tandrel-(.*)-$preset\.msi\$/\1/")
# The prefix's width is the package's.
export TANDREL_WINEARCH=$preset

if [ -z "${TANDREL_PACKAGE_TEST:-}" ]; then
  # A lower version: the same files, packaged as the one before.
  IFS=. read -r major minor build <<<"$version"
  if [ "$build" -gt 0 ]; then older=$major.$minor.$((build - 1));
  elif [ "$minor" -gt 0 ]; then older=$major.$((minor - 1)).0;
  else older=$((major - 1)).99.0; fi
  if [ "${TANDREL_PACKAGE_STEP:-}" != run ]; then
    rm -rf "$work"
    mkdir -p "$work"
    if [ $preset = win32 ]; then arch=x86; else arch=x64; fi
    "$root/packaging/msi.sh" "$root/build/$preset/package/Tandrel" $arch "$older" \
      "$work/Tandrel-$older-$preset.msi"
  fi
  [ "${TANDREL_PACKAGE_STEP:-}" != prepare ] || exit 0
  # A prefix of its own, made now: nothing installed before but what Wine brings.
  TANDREL_PACKAGE_TEST=$older exec "$root/scripts/with-wine.sh" "$work" "$0" "$@"
fi

older=$TANDREL_PACKAGE_TEST
old_msi=$(winepath -w "$work/Tandrel-$older-$preset.msi")
new_msi=$(winepath -w "$msi")
# Wine reads the command line in the terminal's character set; no desktop menu entries.
export LC_ALL=C.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
drive=$WINEPREFIX/drive_c
folder='Tandrel Ünïcødé 測試'
checks=0
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
ok() {
  checks=$((checks + 1))
  echo "ok $checks - $*"
}

# What an install may leave behind: the files and folders of drive C: (less Wine's temporary
# and log files, and the installer's cache folder, which Windows always has and Wine makes at the
# first install; what is cached in it still counts) and the uninstall entries in both registry
# views, with the launcher's own key.
snapshot() {
  (cd "$drive" && find . -path ./windows/temp -prune -o -path './users/*/Temp' -prune \
    -o -path ./windows/logs -prune -o ! -path ./windows/Installer -print | LC_ALL=C sort)
  for key in 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
    'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall' \
    'HKLM\Software\Tandrel' 'HKLM\Software\Wow6432Node\Tandrel'; do
    echo "== $key"
    registry "$key" | grep -v '^"InstallDate"=' || true
  done
}
# registry <key>: the key and everything under it, as Unicode text (reg query speaks the console's
# code page, which cannot show the folder's name).
registry() {
  rm -f "$work/key.reg"
  wine reg export "$1" "$(winepath -w "$work/key.reg")" /y >/dev/null 2>&1 || return 0
  iconv -f UTF-16LE -t UTF-8 "$work/key.reg" | tr -d '\r'
}
# The uninstall entries named Tandrel: "<key> <version>" each.
entries() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | tr -d '\r' |
    awk '/^HKEY/ { key = $0 } $1 == "DisplayName" && $3 == "Tandrel" { named[key] = 1 }
         $1 == "DisplayVersion" { version[key] = $3 }
         END { for (k in named) print k, version[k] }'
}
msiexec() {  # msiexec <log> <arguments...>: the exit status of Wine's msiexec
  local log=$1
  shift
  wine msiexec "$@" /l*v "$(winepath -w "$work/$log")"
}

snapshot >"$work/before.txt"
[ ! -e "$drive/$folder" ] || fail "the install folder exists before the install"

# 1. The older version, every feature, a folder of its own.
msiexec install.log /i "$old_msi" /qn "INSTALLDIR=C:\\$folder" ADDLOCAL=Launcher,Modules,Simulator,SDK ||
  fail "the install ended with $? (see $work/install.log)"
tree=$root/build/$preset/package/Tandrel
diff <(cd "$tree" && find . -type f | LC_ALL=C sort) <(cd "$drive/$folder" && find . -type f | LC_ALL=C sort) ||
  fail "C:\\$folder does not hold the package's files"
ok "silent install of $older into C:\\$folder: every file of the package there"
[ "$(entries | awk '{print $NF}')" = "$older" ] || fail "uninstall entries after the install: $(entries)"
ok "one Add/Remove entry, version $older"

# 2. The upgrade: no folder and no features given; the package finds both again.
msiexec upgrade.log /i "$new_msi" /qn || fail "the upgrade ended with $? (see $work/upgrade.log)"
diff <(cd "$tree" && find . -type f | LC_ALL=C sort) <(cd "$drive/$folder" && find . -type f | LC_ALL=C sort) ||
  fail "after the upgrade C:\\$folder does not hold every file and feature"
cmp "$tree/TandrelProgram.exe" "$drive/$folder/TandrelProgram.exe" || fail "the installed launcher differs"
[ ! -e "$drive/Program Files/Tandrel" ] || fail "the upgrade went to the default folder"
registry 'HKLM\Software\Tandrel\Launcher' | grep -q -x -F "\"InstallDir\"=\"C:\\\\$folder\\\\\"" ||
  fail "the install folder is not remembered in the registry"
ok "upgrade to $version: the same folder, every feature kept, the folder remembered"
[ "$(entries | wc -l)" = 1 ] && [ "$(entries | awk '{print $NF}')" = "$version" ] ||
  fail "uninstall entries after the upgrade: $(entries)"
ok "exactly one Add/Remove entry, version $version"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | tr -d '\r' |
  grep -q -F "Publisher    REG_SZ    Tandrel" || fail "the Add/Remove entry names no publisher"
wine reg query 'HKLM\Software\Classes\Installer\Products' /s | tr -d '\r' | grep -q 'ProductIcon.*\\Tandrel.ico' ||
  fail "the product carries no icon"
ok "the entry names the publisher, the product its icon"

# 3. The Start-menu shortcut, and the installed launcher started as it starts it: from its folder.
# (Wine keeps a shortcut's target in the ANSI code page only, so under Wine a shortcut into this
# folder cannot be followed; its Unicode parts say where it leads.)
shortcut=$(find "$drive/ProgramData" "$drive/users" -path '*/Start Menu/Programs/Tandrel.lnk')
[ "$(echo "$shortcut" | grep -c .)" = 1 ] || fail "not one Start-menu shortcut: $shortcut"
strings -e l "$shortcut" | grep -q -x 'TandrelProgram.exe' &&
  strings -e l "$shortcut" | grep -q 'Installer\\{.*}\\Tandrel.ico$' ||
  fail "the shortcut does not lead to TandrelProgram.exe with the product's icon"
ok "one Start-menu shortcut: TandrelProgram.exe, with the product's icon"
probe=$root/build/$preset/tests/e2e/tandrel_probe.exe
(cd "$drive/$folder" && exec wine TandrelProgram.exe) &
launcher=$!
where=$(wine "$probe" wait 60 | tr -d "\r") && [ -n "$where" ] || fail "no launcher window"
echo "$where" | grep -q ' 375x345$' || fail "the launcher's window is not its skin's: $where"
wine "$probe" close
wait $launcher || fail "the launcher ended with $?"
ok "the installed launcher shows its window ($where) and closes"

# 4. A downgrade is refused and changes nothing. (Its message, a launch condition, shows only with
# a UI; dist_test.py reads it from the package.)
status=0
msiexec downgrade.log /i "$old_msi" /qn || status=$?
# ERROR_INSTALL_FAILURE, 1603, as far as an exit status reaches the shell (modulo 256).
[ $status = $((1603 % 256)) ] || fail "installing the older package over the newer ended with $status"
[ "$(entries | awk '{print $NF}')" = "$version" ] || fail "uninstall entries after the downgrade: $(entries)"
cmp "$tree/TandrelProgram.exe" "$drive/$folder/TandrelProgram.exe" || fail "the downgrade changed the launcher"
ok "the older package is refused (1603); $version stays"

# 5. A silent removal, without the folder: nothing of the install is left.
msiexec remove.log /x "$new_msi" /qn || fail "the removal ended with $? (see $work/remove.log)"
snapshot >"$work/after.txt"
diff "$work/before.txt" "$work/after.txt" || fail "the removal left the differences above"
ok "silent removal: files, folders, shortcut and uninstall entries as before the install"
echo "package install test ($preset): $checks passed, 0 failed"
