#!/usr/bin/env python3
"""dist_test.py <dist-dir>: what `make dist` wrote, read without running it.

- Both packages, from their tables (msiinfo): every file of the package tree at its place with its
  size; components and registry searches of the package's width (the 32-bit package cannot run
  here, so this is all it gets); per-machine into Program Files; the upgrade code shared; the
  version, which is also the launcher's version resource and the file names'; the features'
  default levels; the downgrade message.
- The SDK folder: its files, all in the SDK feature.
- The zips: the package tree without DLL\\.
- The binaries are stripped and each names its debug file in symbols/, by name and checksum.
- The package code (summary information) is the one its source names, derived from the package's
  contents: a package built again from a copy of the tree in another folder, later, has the same
  code and bytes; one built after one byte of one file changed has another code.
- Both packages lock down the install folder (MsiLockPermissionsEx): the folder, every folder and
  file below it.
- SHA256SUMS covers every file.
"""
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import time
import zipfile
import zlib

ROOT = os.path.realpath(os.path.join(os.path.dirname(__file__), "..", ".."))
COMPONENT_64BIT = 256  # msidbComponentAttributes64bit
LOCATOR_64BIT = 16  # msidbLocatorType64bit
# The SDK folder: what a module author needs, and nothing else.
SDK_FILES = {"tandrel_sdk.h", "tandrel_devicemanager.h", "MODULES.md", "SIMULATOR.md", "signal.c",
             "signal.def", "signal.scenario"}
passed = []
failures = []


def check(ok, what):
    print(("ok - " if ok else "FAIL - ") + what)
    (passed if ok else failures).append(what)


def table(msi, name):
    out = subprocess.run(["msiinfo", "export", msi, name], check=True, capture_output=True,
                         text=True).stdout
    lines = out.split("\r\n") if "\r\n" in out else out.split("\n")
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]


def file_paths(msi):
    """{File key: relative path} of the files the package lays under INSTALLDIR."""
    dirs = {d["Directory"]: d for d in table(msi, "Directory")}

    def path(d):
        if d == "INSTALLDIR":
            return ""
        parent = path(dirs[d]["Directory_Parent"])
        return (parent + "/" if parent else "") + dirs[d]["DefaultDir"].split("|")[-1]

    where = {c["Component"]: c["Directory_"] for c in table(msi, "Component")}
    paths = {}
    for f in table(msi, "File"):
        folder = path(where[f["Component_"]])
        paths[f["File"]] = (folder + "/" if folder else "") + f["FileName"].split("|")[-1]
    return paths


def installed_files(msi):
    """{relative path: size} of the files the package lays under INSTALLDIR."""
    paths = file_paths(msi)
    return {paths[f["File"]]: int(f["FileSize"]) for f in table(msi, "File")}


def tree_files(tree):
    files = {}
    for folder, _, names in os.walk(tree):
        for n in names:
            p = os.path.join(folder, n)
            files[os.path.relpath(p, tree).replace(os.sep, "/")] = os.path.getsize(p)
    return files


def file_version(exe):
    """FILEVERSION of the version resource (VS_FIXEDFILEINFO), as "major.minor.build"."""
    data = open(exe, "rb").read()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}"


def debuglink(objdump, binary):
    """(file name, CRC-32) that a stripped binary names in .gnu_debuglink, else None."""
    out = subprocess.run([objdump, "-s", "-j", ".gnu_debuglink", binary], capture_output=True,
                         text=True).stdout
    # Lines of " <address> <up to 16 bytes in hex, 35 columns>  <text>".
    raw = b"".join(bytes.fromhex(line[1:].split(" ", 1)[1][:35].replace(" ", ""))
                   for line in out.splitlines() if re.match(r"^ [0-9a-f]+ ", line))
    if not raw:
        return None
    name = raw.split(b"\0", 1)[0].decode()
    crc = struct.unpack_from("<I", raw, (len(name) + 1 + 3) // 4 * 4)[0]
    return name, crc


def package_code(msi):
    suminfo = subprocess.run(["msiinfo", "suminfo", msi], check=True, capture_output=True,
                             text=True).stdout
    return re.search(r"^Revision number \(UUID\): (.*)$", suminfo, re.M).group(1)


def msi(tree, version, out):
    """packaging/msi.sh on a 64-bit package tree: the package's file."""
    subprocess.run([os.path.join(ROOT, "packaging", "msi.sh"), tree, "x64", version, out],
                   check=True)
    return out


def check_package_code(dist, version):
    tree = os.path.join(ROOT, "build", "win64", "package", "Tandrel")
    shipped = package_code(os.path.join(dist, f"Tandrel-{version}-win64.msi"))
    source = open(os.path.join(tree, "..", f"Tandrel-{version}-x64.wxs"), encoding="utf-8").read()
    check(re.search(r'<Package Id="([^"]*)"', source).group(1) == shipped.strip("{}"),
          f"win64: the package code is its source's, {shipped}")
    work = os.path.join(ROOT, "build", "dist-test")
    shutil.rmtree(work, ignore_errors=True)
    elsewhere = os.path.join(work, "another", "folder", "Tandrel")
    shutil.copytree(tree, elsewhere)  # with the files' times
    first = msi(elsewhere, version, os.path.join(work, "copy.msi"))
    time.sleep(1.1)
    again = msi(tree, version, os.path.join(work, "again.msi"))
    check(package_code(first) == shipped and open(first, "rb").read() == open(again, "rb").read(),
          "win64: built again from a copy of the tree in another folder, later: the same code and bytes")
    launcher = os.path.join(elsewhere, "TandrelProgram.exe")
    data = bytearray(open(launcher, "rb").read())
    data[len(data) // 2] ^= 0x01
    open(launcher, "wb").write(data)
    changed = msi(elsewhere, version, os.path.join(work, "changed.msi"))
    props = {p["Property"]: p["Value"] for p in table(changed, "Property")}
    shipped_props = {p["Property"]: p["Value"]
                     for p in table(os.path.join(dist, f"Tandrel-{version}-win64.msi"), "Property")}
    check(package_code(changed) != shipped and props["ProductCode"] == shipped_props["ProductCode"],
          f"win64: one byte of the launcher changed: another package code ({package_code(changed)}),"
          " the same product code")


# Administrators and SYSTEM full control, Users read and execute; protected, so nothing is
# inherited from the drive root; the folders' entries flow into their files and subfolders.
ADMINS_SYSTEM_USERS = "(A;{0};FA;;;BA)(A;{0};FA;;;SY)(A;{0};0x1200a9;;;BU)"
FOLDER_SDDL = "D:PAI" + ADMINS_SYSTEM_USERS.format("OICI")
FILE_SDDL = "D:P" + ADMINS_SYSTEM_USERS.format("")


def check_locked_down(msi, preset):
    """The install folder, every folder below it and every file carry explicit permissions."""
    # The folders the package fills: each file's, and those between it and INSTALLDIR.
    parent = {d["Directory"]: d["Directory_Parent"] for d in table(msi, "Directory")}
    where = {c["Component"]: c["Directory_"] for c in table(msi, "Component")}
    folders = {"INSTALLDIR"}
    for f in table(msi, "File"):
        d = where[f["Component_"]]
        while d not in folders:
            folders.add(d)
            d = parent[d]
    locks = table(msi, "MsiLockPermissionsEx")
    locked_folders = {r["LockObject"]: r["SDDLText"] for r in locks
                      if r["Table"] == "CreateFolder" and not r["Condition"]}
    locked_files = {r["LockObject"]: r["SDDLText"] for r in locks
                    if r["Table"] == "File" and not r["Condition"]}
    files = {f["File"] for f in table(msi, "File")}
    created = {r["Directory_"] for r in table(msi, "CreateFolder")}
    check("INSTALLDIR" in folders and locked_folders == {d: FOLDER_SDDL for d in folders}
          and folders <= created,
          f"{preset}: INSTALLDIR and its {len(folders) - 1} folders are created with "
          "Administrators and SYSTEM full control, Users read and execute, nothing inherited")
    check(locked_files == {f: FILE_SDDL for f in files},
          f"{preset}: each of its {len(files)} files carries the same permissions")
    sequence = {r["Action"]: int(r["Sequence"]) for r in table(msi, "InstallExecuteSequence")}
    check(sequence.get("RemoveFiles", 0) < sequence.get("RemoveFolders", 0)
          < sequence.get("CreateFolders", 0) < sequence.get("InstallFiles", 0),
          f"{preset}: CreateFolders sets the folders' permissions before the files are laid down; "
          "RemoveFolders removes them")
    tables = subprocess.run(["msiinfo", "tables", msi], check=True, capture_output=True,
                            text=True).stdout.split()
    check("LockPermissions" not in tables,
          f"{preset}: no LockPermissions table beside MsiLockPermissionsEx (error 1941)")


def main(dist):
    names = sorted(os.listdir(dist))
    m = re.fullmatch(r"Tandrel-(.+)-win64\.msi", next((n for n in names if n.endswith("-win64.msi")), ""))
    check(m is not None, "a 64-bit package in " + dist)
    if not m:
        return
    version = m.group(1)
    cmake = open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8").read()
    check(re.search(r"project\(Tandrel VERSION " + re.escape(version) + r"\b", cmake) is not None,
          f"{version} is the CMake project's version")
    want = [f"Tandrel-{version}-{p}.{e}" for p in ("win32", "win64") for e in ("msi", "zip")]
    check(all(n in names for n in want) and "SHA256SUMS" in names, "packages, zips and SHA256SUMS")

    upgrade_codes = set()
    for preset, arch, bits in (("win32", "Intel", 32), ("win64", "x64", 64)):
        msi = os.path.join(dist, f"Tandrel-{version}-{preset}.msi")
        tree = os.path.join(ROOT, "build", preset, "package", "Tandrel")
        props = {p["Property"]: p["Value"] for p in table(msi, "Property")}
        upgrade_codes.add(props.get("UpgradeCode"))
        check(props.get("ProductVersion") == version
              and file_version(os.path.join(tree, "TandrelProgram.exe")) == version,
              f"{preset}: package version and the launcher's version resource are {version}")
        suminfo = subprocess.run(["msiinfo", "suminfo", msi], check=True, capture_output=True,
                                 text=True).stdout
        check(f"Template: {arch};1033" in suminfo, f"{preset}: platform {arch}")
        check(props.get("ALLUSERS") == "1", f"{preset}: per-machine")
        installdir = next(d for d in table(msi, "Directory") if d["Directory"] == "INSTALLDIR")
        program_files = "ProgramFiles64Folder" if bits == 64 else "ProgramFilesFolder"
        check(installdir["Directory_Parent"] == program_files and installdir["DefaultDir"] == "Tandrel",
              f"{preset}: installs into {program_files}\\Tandrel")
        check(installed_files(msi) == tree_files(tree),
              f"{preset}: every file of the package tree ({len(tree_files(tree))}), at its place and size")
        wide = [c["Component"] for c in table(msi, "Component")
                if int(c["Attributes"]) & COMPONENT_64BIT]
        components = table(msi, "Component")
        check(len(wide) == (len(components) if bits == 64 else 0),
              f"{preset}: all {len(components)} components are {bits}-bit")
        locators = table(msi, "RegLocator")
        check(len(locators) == 4 and all(bool(int(r["Type"]) & LOCATOR_64BIT) == (bits == 64)
                                         for r in locators),
              f"{preset}: the remembered folder and features are read from the {bits}-bit registry")
        levels = {f["Feature"]: (f["Feature_Parent"], f["Level"]) for f in table(msi, "Feature")}
        check(levels == {"Launcher": ("", "1"), "Modules": ("Launcher", "1"),
                         "Simulator": ("Launcher", "1000"), "SDK": ("Launcher", "1000")},
              f"{preset}: features Launcher and Modules on, Simulator and SDK off")
        by_file = {f["File"]: f["Component_"] for f in table(msi, "File")}
        sim_file = next(f["File"] for f in table(msi, "File")
                        if f["FileName"] == "DLL_MouseDeviceManager.dll")
        in_sim = {r["Component_"] for r in table(msi, "FeatureComponents") if r["Feature_"] == "Simulator"}
        check(by_file[sim_file] in in_sim, f"{preset}: DLL\\DLL_MouseDeviceManager.dll is the Simulator's")
        in_sdk = {r["Component_"] for r in table(msi, "FeatureComponents") if r["Feature_"] == "SDK"}
        sdk_parts = {by_file[f] for f, p in file_paths(msi).items() if p.startswith("SDK/")}
        check({k for k in tree_files(tree) if k.startswith("SDK/")} == {"SDK/" + n for n in SDK_FILES}
              and in_sdk == sdk_parts | {"RememberSdk"},
              f"{preset}: SDK\\ holds the headers, the pages and the sample module, all the SDK's")
        check(any(c["Condition"] == "NOT WIX_DOWNGRADE_DETECTED" and "newer version" in c["Description"]
                  for c in table(msi, "LaunchCondition")),
              f"{preset}: a downgrade is refused with a message")

        check_locked_down(msi, preset)

        with zipfile.ZipFile(os.path.join(dist, f"Tandrel-{version}-{preset}.zip")) as z:
            zipped = {i.filename[len("Tandrel/"):]: i.file_size for i in z.infolist() if not i.is_dir()}
        check(zipped == {k: v for k, v in tree_files(tree).items() if not k.startswith("DLL/")},
              f"{preset}: the zip holds Tandrel\\ without DLL\\")

        objdump = ("x86_64" if bits == 64 else "i686") + "-w64-mingw32-objdump"
        for rel in tree_files(tree):
            if not rel.endswith((".exe", ".dll")):
                continue
            binary = os.path.join(tree, rel)
            sections = subprocess.run([objdump, "-h", binary], check=True, capture_output=True,
                                      text=True).stdout
            link = debuglink(objdump, binary)
            symbols = os.path.join(dist, "symbols", preset, link[0]) if link else ""
            check(".debug_" not in sections and link is not None and os.path.isfile(symbols)
                  and zlib.crc32(open(symbols, "rb").read()) == link[1],
                  f"{preset}: {rel} is stripped; its debug file symbols/{preset}/{link and link[0]}")
    check(len(upgrade_codes) == 1 and None not in upgrade_codes,
          f"one upgrade code for both packages: {upgrade_codes}")
    check_package_code(dist, version)

    sums = {}
    for line in open(os.path.join(dist, "SHA256SUMS"), encoding="utf-8"):
        digest, name = line.rstrip("\n").split("  ", 1)
        sums[name] = digest
    every = {os.path.relpath(os.path.join(f, n), dist) for f, _, ns in os.walk(dist) for n in ns}
    check(set(sums) == every - {"SHA256SUMS"} and all(
        hashlib.sha256(open(os.path.join(dist, n), "rb").read()).hexdigest() == d
        for n, d in sums.items()), f"SHA256SUMS matches all {len(sums)} files")


if __name__ == "__main__":
    main(os.path.realpath(sys.argv[1]))
    print(f"dist test: {len(passed)} passed, {len(failures)} failed")
    sys.exit(1 if failures else 0)
