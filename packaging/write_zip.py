"""Writes a zip of the files named, in one folder, with the same bytes for the
same files wherever and by whomever it is built: every entry has the one time
given (seconds since 1970, read as UTC), no owner, and the order given.

    write_zip.py ZIP FOLDER EPOCH FILE[=NAME]...

A file goes in under NAME when given, else under its own name. Text files,
named *.txt in the zip, get CRLF line ends, as Windows tools expect.
"""
import sys
import time
import zipfile

zip_path, folder, epoch, *files = sys.argv[1:]
stamp = time.gmtime(int(epoch))[:6]
with zipfile.ZipFile(zip_path, "w") as archive:
    for file in files:
        path, _, name = file.partition("=")
        name = name or path.rsplit("/", 1)[-1]
        entry = zipfile.ZipInfo(f"{folder}/{name}", stamp)
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.create_system = 3  # Unix, so that the permissions below count
        entry.external_attr = (0o755 if name.endswith(".exe") else 0o644) << 16
        with open(path, "rb") as source:
            data = source.read()
        if name.endswith(".txt"):
            data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
        archive.writestr(entry, data)
