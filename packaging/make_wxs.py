#!/usr/bin/env python3
"""Writes the Windows Installer source of one package: Tandrel.wxs.in filled in with the version,
the codes and every file of the package tree, one component per file.

Usage: make_wxs.py --tree DIR --arch x86|x64 --version X.Y.Z --icon FILE --out FILE.wxs

The source names no folder of this machine: files are found through the preprocessor variables
Tree (the package tree) and Icon (the product's icon), which packaging/msi.sh gives wixl as paths
relative to the .wxs file. The package code (Package/@Id) is derived from the source and the bytes
of every file it packs: the same package has the same code wherever and whenever it is built, and
a package that differs in one byte has another one.

Each file's feature follows from where it lies in the tree:
  DLL\\...                                   Simulator
  SDK\\...                                   SDK
  Data\\Tandrel_Program\\Forms\\<M>\\ (a folder holding <M>.dll: a feature module)   Modules
  everything else (TandrelProgram.exe, the data tree)   Launcher
"""
import argparse
import hashlib
import os
import re
import sys
import uuid
from xml.sax.saxutils import quoteattr

# The product family. Never change it: it is how a new version finds the old one to replace.
UPGRADE_CODE = "6F0C2B1E-4D7A-4E55-9B3A-2C1D7E8F9A01"
# Product and component codes are derived from this: one product code per version and width
# however often it is built, one component code per file and width in every version.
NAMESPACE = uuid.UUID("0B4E6A52-8C3F-4B7E-A1D9-5E2F3C4D6B70")
MODULES_DIR = ("Data", "Tandrel_Program", "Forms")


def code(*parts):
    return str(uuid.uuid5(NAMESPACE, "/".join(parts))).upper()


def package_code(text, files):
    """The package code of a source text (with its @PACKAGE_CODE@ still open) that packs files."""
    digest = hashlib.sha256(text.encode("utf-8"))
    for path in files:
        with open(path, "rb") as f:
            digest.update(hashlib.sha256(f.read()).digest())
    return code("package", digest.hexdigest())


def ident(prefix, rel):
    # Table keys: at most 72 characters of [A-Za-z0-9_.]; a digest keeps long paths unique.
    return prefix + hashlib.sha1(rel.encode("utf-8")).hexdigest()[:20]


def feature_of(parts, modules):
    if parts[0] == "DLL":
        return "Simulator"
    if parts[0] == "SDK":
        return "SDK"
    if len(parts) > 4 and tuple(parts[:3]) == MODULES_DIR and parts[3] in modules:
        return "Modules"
    return "Launcher"


def module_folders(tree):
    forms = os.path.join(tree, *MODULES_DIR)
    if not os.path.isdir(forms):
        return set()
    return {m for m in os.listdir(forms) if os.path.isfile(os.path.join(forms, m, m + ".dll"))}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tree", required=True)
    ap.add_argument("--arch", required=True, choices=["x86", "x64"])
    ap.add_argument("--version", required=True)
    ap.add_argument("--icon", required=True)
    ap.add_argument("--out", required=True)
    a = ap.parse_args()
    if not re.fullmatch(r"\d{1,3}\.\d{1,3}\.\d{1,5}", a.version):
        sys.exit(f"make_wxs.py: {a.version}: a package version is major.minor.build")
    tree = os.path.abspath(a.tree)
    win64 = "yes" if a.arch == "x64" else "no"
    modules = module_folders(tree)
    refs = {"Launcher": [], "Modules": [], "Simulator": [], "SDK": []}
    lines = []
    packed = [a.icon]

    def walk(folder, rel, depth):
        pad = "  " * depth
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            parts = rel + [name]
            key = "/".join(parts)
            if os.path.isdir(path):
                lines.append(f"{pad}<Directory Id=\"{ident('d', key)}\" Name={quoteattr(name)}>")
                walk(path, parts, depth + 1)
                lines.append(f"{pad}</Directory>")
                continue
            feature = feature_of(parts, modules)
            cid = ident("c", key)
            lines.append(f"{pad}<Component Id=\"{cid}\" Guid=\"{code('component', a.arch, key)}\""
                         f" Win64=\"{win64}\">")
            lines.append(f"{pad}  <File Id=\"{ident('f', key)}\" Name={quoteattr(name)}"
                         f" Source={quoteattr('$(var.Tree)/' + key)} KeyPath=\"yes\"/>")
            lines.append(f"{pad}</Component>")
            packed.append(path)
            refs[feature].append(f"        <ComponentRef Id=\"{cid}\"/>")

    walk(tree, [], 5)
    if not os.path.isfile(os.path.join(tree, "TandrelProgram.exe")):
        sys.exit(f"make_wxs.py: {tree} holds no TandrelProgram.exe")
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "Tandrel.wxs.in"),
              encoding="utf-8") as f:
        text = f.read()
    fill = {
        "VERSION": a.version,
        "ARCH": a.arch,
        "PRODUCT_CODE": code("product", a.version, a.arch),
        "UPGRADE_CODE": UPGRADE_CODE,
        "WIN64": win64,
        "PROGRAM_FILES": "ProgramFiles64Folder" if a.arch == "x64" else "ProgramFilesFolder",
        "TREE": "\n".join(lines),
        "LAUNCHER": "\n".join(refs["Launcher"]),
        "MODULES": "\n".join(refs["Modules"]),
        "SIMULATOR": "\n".join(refs["Simulator"]),
        "SDK": "\n".join(refs["SDK"]),
    }
    for k, v in fill.items():
        text = text.replace(f"@{k}@", v)
    # The template's own components: @GUID_<Id>@.
    text = re.sub(r"@GUID_(\w+)@", lambda m: code("component", a.arch, m.group(1)), text)
    left = re.findall(r"@[A-Z_]+@", text)
    if left != ["@PACKAGE_CODE@"]:
        sys.exit(f"make_wxs.py: not filled in: {' '.join(left)}")
    text = text.replace("@PACKAGE_CODE@", package_code(text, packed))
    with open(a.out, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    main()
