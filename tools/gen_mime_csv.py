#!/usr/bin/env python3
"""Writes resources/csv/428-mime.csv, the extension to MIME type table of the web service,
from Debian's /etc/mime.types (package media-types). Run again to refresh it:

    tools/gen_mime_csv.py [/etc/mime.types] > resources/csv/428-mime.csv

One row per extension, lower case, in ascending order: "ext,type". Where mime.types lists an
extension more than once, its first type wins. The types the web pages rely on are pinned
below, whatever mime.types says (browsers run scripts served as text/javascript and read
sheets served as text/xml)."""
import sys

PINNED = {
    "css": "text/css",
    "gif": "image/gif",
    "html": "text/html",
    "ico": "image/x-icon",
    "jpg": "image/jpeg",
    "js": "text/javascript",
    "png": "image/png",
    "rtf": "application/rtf",
    "svg": "image/svg+xml",
    "txt": "text/plain",
    "xml": "text/xml",
    "xsl": "text/xml",
    "xslt": "text/xml",
}


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else "/etc/mime.types"
    table = {}
    with open(source, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].split()
            if len(line) < 2:
                continue
            for ext in line[1:]:
                ext = ext.lower()
                if "," not in ext:
                    table.setdefault(ext, line[0].lower())
    table.update(PINNED)
    for ext in sorted(table):
        sys.stdout.write(f"{ext},{table[ext]}\n")


if __name__ == "__main__":
    main()
