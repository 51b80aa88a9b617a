#!/usr/bin/python3
"""pack-release.py OUT.zip [NAME=]FILE... : packs the files in the given order, each under NAME or else
its own file name, into a zip whose
bytes depend on nothing but their contents: fixed timestamps and permissions, no extra fields. A
SHA256SUMS member lists the packed files."""
import hashlib
import os
import sys
import zipfile

FIXED_TIME = (1980, 1, 1, 0, 0, 0)


def member(name, data):
    info = zipfile.ZipInfo(name, FIXED_TIME)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 3  # Unix, so that the permissions below are what is stored
    info.external_attr = 0o644 << 16
    return info, data


def main():
    out, files = sys.argv[1], sys.argv[2:]
    members = []
    for arg in files:
        name, _, path = arg.rpartition("=")
        with open(path, "rb") as f:
            members.append(member(name or os.path.basename(path), f.read()))
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {info.filename}\n" for info, data in members)
    members.append(member("SHA256SUMS", sums.encode()))
    with zipfile.ZipFile(out, "w") as z:
        for info, data in members:
            z.writestr(info, data, compresslevel=9)


if __name__ == "__main__":
    main()
