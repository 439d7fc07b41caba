#!/usr/bin/env python3
"""Makes the release zip: both Windows executables, the deployment files, the
README's deployment part as text, and SHA256SUMS over all of them.

The zip is the same byte for byte wherever and whenever the same sources are
built: fixed member order, permissions and times (SOURCE_DATE_EPOCH, or else
the time of the last commit).

    usage: make_package.py OUTPUT_ZIP X86_EXE X64_EXE DEPLOY_DIR README SOURCE_DIR
"""
import hashlib
import os
import subprocess
import sys
import time
import zipfile

output, x86_exe, x64_exe, deploy_dir, readme, source_dir = sys.argv[1:7]


def read(path):
    try:
        with open(path, "rb") as file:
            return file.read()
    except FileNotFoundError:
        sys.exit(f"make_package: {path} is missing (make package builds both Windows executables first)")


def deployment_text(markdown):
    """The README's "## Deploying" section, with Windows line ends."""
    lines, inside = [], False
    for line in markdown.decode("utf-8").splitlines():
        if line.startswith("## "):
            inside = line == "## Deploying"
        if inside:
            lines.append(line)
    if not lines:
        sys.exit("make_package: the README has no '## Deploying' section")
    return ("\r\n".join(lines).rstrip() + "\r\n").encode("utf-8")


def source_date_epoch():
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    last_commit = subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                                 capture_output=True, text=True)
    if last_commit.returncode != 0 or not last_commit.stdout.strip():
        sys.exit("make_package: set SOURCE_DATE_EPOCH (no git history to take the time from)")
    return int(last_commit.stdout)


members = {
    "x86/zi370-rotate.exe": read(x86_exe),
    "x64/zi370-rotate.exe": read(x64_exe),
    "DEPLOYING.txt": deployment_text(read(readme)),
}
for name in sorted(os.listdir(deploy_dir)):
    members[name] = read(os.path.join(deploy_dir, name))
members["SHA256SUMS"] = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n"
                                for name, data in sorted(members.items())).encode("ascii")

# Zip times are local times of day without a zone, 1980 at the earliest.
stamp = time.gmtime(max(source_date_epoch(), 315532800))[:6]
os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
partial = output + ".partial"
with zipfile.ZipFile(partial, "w") as archive:
    for name, data in sorted(members.items()):
        info = zipfile.ZipInfo(name, date_time=stamp)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 3  # Unix, so that the permissions below are read
        info.external_attr = 0o644 << 16
        archive.writestr(info, data, compresslevel=9)
os.replace(partial, output)
print(f"make_package: {output}: {len(members)} files")
