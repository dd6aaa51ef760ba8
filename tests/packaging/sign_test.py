#!/usr/bin/env python3
"""sign_test.py <dist-dir>: the release files signed, as `make dist` signs them, with a certificate
authority made for this run only; the signed release is left in dist-dir for the tests after it.

1. Unsigned (no certificate given): the run succeeds, says in one line that it is unsigned, and no
   binary carries a signature.
2. openssl makes a root and a code-signing certificate under it; a PKCS#12 file with a password.
3. Signed with SIGN_PKCS12 and SIGN_PASSWORD_FILE into dist-dir: the password is on no command
   line of osslsigncode (a stand-in in PATH records them) and in none of the run's output.
4. Every .exe and .dll in both packages and both zips, and both packages, verify against the root
   and name the signer's subject; each of them with one byte changed after signing is rejected.
5. Signed again later from the PEM forms (SIGN_CERT with the chain, SIGN_KEY encrypted, the same
   password file): the same bytes, file for file. Without the key, with the signatures of the
   signed files attached (SIGN_FROM, how a signed release is reproduced): the same bytes again.
"""
import os
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = os.path.realpath(os.path.join(os.path.dirname(__file__), "..", ".."))
SUBJECT = "/O=Tandrel Test/CN=Tandrel Test Code Signing"
PASSWORD = "a password, 7 words long: $NOT_EXPANDED"
passed = []
failures = []


def check(ok, what):
    print(("ok - " if ok else "FAIL - ") + what)
    (passed if ok else failures).append(what)


def run(*args, **kw):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kw).stdout


def dist(out, env):
    """scripts/dist.sh into out with these SIGN_* variables: (exit status, what it printed)."""
    env = {k: v for k, v in os.environ.items() if not k.startswith("SIGN_")} | env
    p = subprocess.run([os.path.join(ROOT, "scripts", "dist.sh"), out], env=env,
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return p.returncode, p.stdout


def make_certificates(d):
    """A root, a code-signing certificate under it and its key in the forms dist.sh takes."""
    os.makedirs(d)

    def path(name):
        return os.path.join(d, name)
    with open(path("password"), "w") as f:
        f.write(PASSWORD)
    with open(path("ext"), "w") as f:
        f.write("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\n"
                "extendedKeyUsage=codeSigning\n")
    run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", path("root.key"),
        "-out", path("root.pem"), "-days", "2", "-subj", "/CN=Tandrel Test Root",
        "-addext", "basicConstraints=critical,CA:TRUE",
        "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    run("openssl", "req", "-newkey", "rsa:2048", "-nodes", "-keyout", path("signer.key"),
        "-out", path("signer.csr"), "-subj", SUBJECT)
    run("openssl", "x509", "-req", "-in", path("signer.csr"), "-CA", path("root.pem"),
        "-CAkey", path("root.key"), "-CAcreateserial", "-days", "2", "-extfile", path("ext"),
        "-out", path("signer.pem"))
    pw = "file:" + path("password")
    run("openssl", "pkcs12", "-export", "-inkey", path("signer.key"), "-in", path("signer.pem"),
        "-certfile", path("root.pem"), "-passout", pw, "-out", path("signer.p12"))
    run("openssl", "pkey", "-in", path("signer.key"), "-aes256", "-passout", pw,
        "-out", path("signer-encrypted.key"))
    with open(path("chain.pem"), "w") as f:
        f.write(open(path("signer.pem")).read() + open(path("root.pem")).read())
    return path


def verify(f, root):
    """(whether osslsigncode verify accepts f against root, what it said)."""
    p = subprocess.run(["osslsigncode", "verify", "-CAfile", root, "-in", f],
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return p.returncode == 0 and "Signature verification: ok" in p.stdout, p.stdout


def sums(d):
    path = os.path.join(d, "SHA256SUMS")
    return open(path).read() if os.path.isfile(path) else None


def signed_content_offset(data, name):
    """An offset inside what the signature covers: a PE's first section, an MSI's string pool."""
    if name.endswith(".msi"):
        return data.index(b"TandrelProgram")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections = pe + 24 + struct.unpack_from("<H", data, pe + 20)[0]
    return struct.unpack_from("<I", data, sections + 20)[0] + 64


def shipped_files(dist_dir, work):
    """{name: path} of both packages, and of every .exe and .dll that they and the zips hold."""
    files = {}
    for name in sorted(os.listdir(dist_dir)):
        path = os.path.join(dist_dir, name)
        if name.endswith(".msi"):
            files[name] = path
            into = os.path.join(work, name)
            run("msiextract", "-C", into, path)
            for folder, _, names in os.walk(into):
                for n in names:
                    if n.endswith((".exe", ".dll")):
                        p = os.path.join(folder, n)
                        files[f"{name}:{os.path.relpath(p, into)}"] = p
        elif name.endswith(".zip"):
            with zipfile.ZipFile(path) as z:
                for n in z.namelist():
                    if n.endswith((".exe", ".dll")):
                        files[f"{name}:{n}"] = z.extract(n, os.path.join(work, name))
    return files


def tree_binaries():
    """The .exe and .dll files of both package trees, as paths in the tree."""
    found = []
    for preset in ("win32", "win64"):
        tree = os.path.join(ROOT, "build", preset, "package", "Tandrel")
        for folder, _, names in os.walk(tree):
            found += [os.path.relpath(os.path.join(folder, n), tree).replace(os.sep, "/")
                      for n in names if n.endswith((".exe", ".dll"))]
    return found


def main(out):
    work = os.path.join(ROOT, "build", "sign-test")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)

    # 1. No certificate.
    status, said = dist(os.path.join(work, "unsigned"), {})
    lines = [line for line in said.splitlines() if "unsigned" in line]
    check(status == 0 and len(lines) == 1, f"an unsigned run succeeds and says so: {lines}")
    binaries = tree_binaries()
    # Both packages, every binary of their trees, and those of the zips (all but DLL\).
    shipped = 2 + len(binaries) + sum(not b.startswith("DLL/") for b in binaries)
    unsigned = shipped_files(os.path.join(work, "unsigned"), os.path.join(work, "unsigned-files"))
    check(len(unsigned) == shipped and not any(
        "no signature" not in verify(f, "/dev/null")[1].lower() for f in unsigned.values()),
        f"none of its {len(unsigned)} packages and binaries carries a signature")

    # 2. The throwaway authority and signer.
    path = make_certificates(os.path.join(work, "ca"))

    # 3. Signed from PKCS#12. osslsigncode is called through a stand-in that records its arguments.
    shim = os.path.join(work, "shim")
    os.makedirs(shim)
    calls = os.path.join(work, "osslsigncode-calls")
    real = shutil.which("osslsigncode")
    with open(os.path.join(shim, "osslsigncode"), "w") as f:
        f.write(f'#!/bin/sh\nprintf "%s\\n" "$*" >>"{calls}"\nexec "{real}" "$@"\n')
    os.chmod(os.path.join(shim, "osslsigncode"), stat.S_IRWXU)
    env = {"SIGN_PKCS12": path("signer.p12"), "SIGN_PASSWORD_FILE": path("password"),
           "PATH": shim + os.pathsep + os.environ["PATH"]}
    started = time.time()
    status, said = dist(out, env)
    check(status == 0 and "unsigned" not in said,
          "a run with SIGN_PKCS12 and SIGN_PASSWORD_FILE succeeds")
    if status:
        print(said)
        return
    argv = open(calls).read().splitlines()
    check(len(argv) == len(binaries) + 2
          and all("-readpass " + path("password") in a and PASSWORD not in a for a in argv),
          f"{len(argv)} calls of osslsigncode, each with the password's file and never the password")
    check(PASSWORD not in said, "the password is not in the run's output")

    # 4. Every signature verifies against the root, names the signer; a changed byte is refused.
    files = shipped_files(out, os.path.join(work, "signed-files"))
    check(len(files) == shipped and sum(n.endswith(".msi") for n in files) == 2,
          f"{len(files)} signed files: both packages, the binaries of their trees and the zips")
    results = {n: verify(f, path("root.pem")) for n, f in files.items()}
    bad = [n for n, (ok, said) in results.items() if not ok or f"Subject: {SUBJECT}" not in said]
    check(not bad, f"osslsigncode verify accepts all {len(files)} against the root and names "
                   f"{SUBJECT}; not: {bad}")
    accepted = []
    for n, f in files.items():
        data = bytearray(open(f, "rb").read())
        data[signed_content_offset(data, n)] ^= 0x01
        changed = os.path.join(work, "changed" + os.path.splitext(f)[1])
        open(changed, "wb").write(data)
        if verify(changed, path("root.pem"))[0]:
            accepted.append(n)
    check(not accepted,
          f"each of them with one byte changed after signing is rejected; not: {accepted}")

    # 5. The same signatures from the PEM files, at another time.
    time.sleep(max(0.0, started + 1.5 - time.time()))
    again = os.path.join(work, "pem")
    status, _ = dist(again, {"SIGN_CERT": path("chain.pem"), "SIGN_KEY": path("signer-encrypted.key"),
                             "SIGN_PASSWORD_FILE": path("password")})
    check(status == 0 and sums(again) == sums(out),
          "signed again from SIGN_CERT and an encrypted SIGN_KEY, later: byte for byte the same")
    attached = os.path.join(work, "attached")
    status, _ = dist(attached, {"SIGN_FROM": out})
    check(status == 0 and sums(attached) == sums(out),
          "without the key, the signatures of the signed files attached: byte for byte the same")
    # The package trees that the tests after this one read are the signed ones.
    check(verify(os.path.join(ROOT, "build", "win64", "package", "Tandrel", "TandrelProgram.exe"),
                 path("root.pem"))[0], "build/win64/package holds the signed launcher")


if __name__ == "__main__":
    main(os.path.realpath(sys.argv[1]))
    print(f"sign test: {len(passed)} passed, {len(failures)} failed")
    sys.exit(1 if failures else 0)
