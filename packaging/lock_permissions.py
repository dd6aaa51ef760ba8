#!/usr/bin/env python3
"""lock_permissions.py <package.msi>: the install folder and everything the package puts below it
get explicit permissions: Administrators and SYSTEM full control, Users read and execute,
nothing inherited. wixl has no <Permission>/<PermissionEx>, so the rows are added to the built
package here (msibuild imports tables):

- MsiLockPermissionsEx (Windows Installer 5): for INSTALLDIR and every folder below it (table
  CreateFolder) a protected descriptor whose entries the folder's files and subfolders inherit;
  for every file (table File) the same without inheritance flags. The folder chosen at install
  time (INSTALLDIR=) gets them as the default one does; a folder that exists already gets them
  too, since CreateFolders sets the descriptor of every folder it lists, whether it creates it or
  finds it.
- CreateFolder: a row for each of those folders that has none, with a component of that folder (or,
  for a folder holding only folders, of the install folder), so CreateFolders lists it; and the
  actions CreateFolders and RemoveFolders in InstallExecuteSequence, which wixl leaves out.

A folder under a drive root otherwise inherits "Authenticated Users: Modify" from the root, and any
user could plant DLL\\DLL_MouseDeviceManager.dll or replace the launcher.
"""
import os
import subprocess
import sys
import tempfile

# D:P protected (nothing inherited from above); AI: the entries flow into what lies below.
# FA full access; 0x1200a9 read, execute, list and traverse (FILE_GENERIC_READ | EXECUTE).
FOLDER_SDDL = "D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)"
FILE_SDDL = "D:P(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1200a9;;;BU)"


def export(msi, name):
    out = subprocess.run(["msiinfo", "export", msi, name], capture_output=True, text=True).stdout
    lines = out.split("\r\n") if "\r\n" in out else out.split("\n")
    columns = lines[0].split("\t")
    return lines[:3], [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]


def write_idt(folder, name, header, rows):
    columns = header[0].split("\t")
    lines = header + ["\t".join(r.get(c, "") for c in columns) for r in rows]
    path = os.path.join(folder, name + ".idt")
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")
    return path


def main(msi):
    _, directories = export(msi, "Directory")
    parent = {d["Directory"]: d["Directory_Parent"] for d in directories}

    def below_install(d):
        while d:
            if d == "INSTALLDIR":
                return True
            d = parent.get(d, "")
        return False

    folders = sorted(d for d in parent if below_install(d))
    _, components = export(msi, "Component")
    in_folder = {}
    for c in components:
        in_folder.setdefault(c["Directory_"], c["Component"])

    def component_for(folder):
        # A folder holding only folders comes with the install folder's (the launcher's) files.
        return in_folder.get(folder, in_folder.get("INSTALLDIR"))

    create_header, create_rows = export(msi, "CreateFolder")
    if not create_header[0]:  # a package without the table
        create_header = ["Directory_\tComponent_", "s72\ts72", "CreateFolder\tDirectory_\tComponent_"]
    listed = {r["Directory_"] for r in create_rows}
    for folder in folders:
        component = component_for(folder)
        if folder not in listed and component:
            create_rows.append({"Directory_": folder, "Component_": component})
    _, files = export(msi, "File")
    locks = [{"MsiLockPermissionsEx": "Lock" + folder[:68], "LockObject": folder,
              "Table": "CreateFolder", "SDDLText": FOLDER_SDDL} for folder in folders]
    locks += [{"MsiLockPermissionsEx": "LockFile" + f["File"][:64], "LockObject": f["File"],
               "Table": "File", "SDDLText": FILE_SDDL} for f in files]
    # wixl sequences neither action without a <CreateFolder>: CreateFolders sets the folders'
    # permissions, RemoveFolders removes the folders CreateFolder lists (the installer keeps them
    # otherwise).
    sequence_header, sequence = export(msi, "InstallExecuteSequence")
    actions = {r["Action"] for r in sequence}
    for action, number in (("RemoveFolders", "3600"), ("CreateFolders", "3700")):
        if action not in actions:
            sequence.append({"Action": action, "Sequence": number})
    lock_header = ["MsiLockPermissionsEx\tLockObject\tTable\tSDDLText\tCondition",
                   "s72\ts72\ts32\ts0\tS255", "MsiLockPermissionsEx\tMsiLockPermissionsEx"]
    with tempfile.TemporaryDirectory() as tmp:
        tables = [write_idt(tmp, "CreateFolder", create_header, create_rows),
                  write_idt(tmp, "InstallExecuteSequence", sequence_header, sequence),
                  write_idt(tmp, "MsiLockPermissionsEx", lock_header, locks)]
        for idt in tables:
            subprocess.run(["msibuild", msi, "-i", idt], check=True)
    print(f"{os.path.basename(msi)}: {len(folders)} folders and {len(files)} files locked")


if __name__ == "__main__":
    main(sys.argv[1])
