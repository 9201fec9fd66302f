#!/usr/bin/env python3
"""Rewrites a zip archive reproducibly: normalize_zip.py ARCHIVE EPOCH

Entries are sorted by name and all dated EPOCH (seconds since 1970, UTC); only their
names, permissions and contents are kept."""
import os
import sys
import time
import zipfile

EARLIEST = 315532800  # 1980-01-01: a zip entry cannot be dated earlier


def main():
    archive, epoch = sys.argv[1], max(int(sys.argv[2]), EARLIEST)
    date = time.gmtime(epoch)[:6]
    with zipfile.ZipFile(archive) as source:
        entries = [(info, source.read(info)) for info in source.infolist()]
    rewritten = archive + ".tmp"
    with zipfile.ZipFile(rewritten, "w") as target:
        for info, data in sorted(entries, key=lambda entry: entry[0].filename):
            entry = zipfile.ZipInfo(info.filename, date)
            entry.create_system = 3  # Unix: permissions in the high half of external_attr
            entry.external_attr = info.external_attr
            entry.compress_type = zipfile.ZIP_STORED if info.is_dir() else zipfile.ZIP_DEFLATED
            target.writestr(entry, data, compresslevel=9)
    os.replace(rewritten, archive)


if __name__ == "__main__":
    main()
