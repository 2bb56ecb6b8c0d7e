#!/usr/bin/env python3
"""A working folder of the earlier version (database/newsdata.dat and its string files) meets the
program at start-up.

Usage:
  legacy_import_e2e.py make <folder> <count>   writes an earlier-format store of <count> records
                                               into <folder>/database (for the korvo.exe test)
  legacy_import_e2e.py check <folder> <count> <listing>
                                               checks a converted folder and its store listing
                                               (korvo-headless --dump-store output)
  legacy_import_e2e.py <korvo-headless>        the korvo-headless end-to-end test:
    1. the first start converts every record, with its progress on the console, before the
       channel list loads; newsdata.dat becomes newsdata.bak, err.txt and dump.dat are gone;
    2. the records hold the old texts (Japanese, CP932 in the old files) and dates;
    3. a second start converts nothing again: the store is the same, record for record.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

STRING_FILES = ["url.dat", "comment.dat", "title.dat", "rss.dat", "info.dat", "description.dat",
                "subelement.dat", "trackback.dat"]
PROGRESS_TITLE = "KorvoNewsReader データベースを移行中..."


def fail(message):
    print("FAIL: " + message, flush=True)
    raise SystemExit(1)


def ok(message):
    print("ok: " + message, flush=True)


def packed(year, month, day, hour, minute):
    return year << 20 | month << 16 | day << 11 | hour << 6 | minute


def record_texts(n):
    """What record n of the earlier store holds (and what the converted record must show)."""
    return {
        "title": "移行記事%d「日本語の表題」" % n,
        "link": "http://old.example.jp/news/%d.html" % n,
        "site": "旧サイト%d" % (n % 7),
        "comment": "コメント%d" % n if n % 3 == 0 else "",
        "description": "説明文%d" % n,
        "get": (2004, 1 + n % 12, 1 + n % 28, n % 24, n % 60),
    }


def make(folder, count):
    database = os.path.join(folder, "database")
    os.makedirs(database, exist_ok=True)
    strings = {name: bytearray(b"\x20\x00") for name in STRING_FILES}

    def put(name, *texts):
        """Appends CP932 strings (each 0-terminated); returns the offset of the first."""
        data = strings[name]
        offset = len(data)
        for text in texts:
            data += text.encode("cp932") + b"\x00"
        return offset

    table = bytearray()
    table += (0x10000).to_bytes(4, "little") + (64).to_bytes(4, "little") + bytes(56)
    for n in range(count):
        t = record_texts(n)
        link_sum = sum(t["link"].encode("cp932")) & 0xFFFFFFFF
        words = [
            n + 1, link_sum, put("url.dat", t["link"]), put("title.dat", t["title"]), 0,
            packed(*t["get"]), packed(*t["get"]), 0,
            put("comment.dat", t["comment"]) if t["comment"] else 0, n % 2,
            packed(*t["get"]),
            put("info.dat", t["site"], "http://old.example.jp/", "ニュース", "記者"),
            put("description.dat", t["description"]), 0, 0, 0,
        ]
        table += b"".join(w.to_bytes(4, "little") for w in words)
    with open(os.path.join(database, "newsdata.dat"), "wb") as f:
        f.write(table)
    for name, data in strings.items():
        with open(os.path.join(database, name), "wb") as f:
            f.write(data)
    # The ticker's saved list names records of the old format: the conversion deletes it.
    with open(os.path.join(folder, "dump.dat"), "wb") as f:
        f.write((1).to_bytes(4, "little") * 3)


def read_listing(text):
    return [tuple(line.split("\t")) for line in text.splitlines() if line.count("\t") == 6]


def check(folder, count, listing):
    """Checks a folder converted at start-up against its store listing; returns the records."""
    database = os.path.join(folder, "database")
    if os.path.exists(os.path.join(database, "newsdata.dat")):
        fail("newsdata.dat is still there")
    if not os.path.exists(os.path.join(database, "newsdata.bak")):
        fail("newsdata.dat was not renamed to newsdata.bak")
    for gone in ("err.txt", "dump.dat"):
        if os.path.exists(os.path.join(folder, gone)):
            fail("%s is still there" % gone)
    records = read_listing(listing)
    if len(records) != count:
        fail("%d records converted, expected %d" % (len(records), count))
    by_link = {r[6]: r for r in records}
    for n in range(count):
        t = record_texts(n)
        r = by_link.get(t["link"])
        if r is None:
            fail("record %d (%s) missing" % (n, t["link"]))
        received = "%04d-%02d-%02d %02d:%02d" % t["get"]
        if r[5] != t["title"] or r[4] != t["site"] or r[1] != received:
            fail("record %d converted as %s" % (n, r))
    return records


def headless_e2e(binary):
    root = tempfile.mkdtemp(prefix="korvo-legacy-e2e-")
    try:
        folder = os.path.join(root, "prog")
        os.makedirs(folder)
        # No channels: the start-up converts the store and fetches nothing.
        with open(os.path.join(folder, "channel.opml"), "w", encoding="utf-8") as f:
            f.write('<?xml version="1.0" encoding="UTF-8"?>\n<opml version="1.0"><body/></opml>\n')
        count = 300
        make(folder, count)

        def start_and_list():
            commands = os.path.join(folder, "commands")
            listing_path = os.path.join(folder, "listing-%d.txt" % time.monotonic_ns())
            with open(commands + ".new", "w") as f:
                f.write("dump %s\nquit\n" % listing_path)
            os.replace(commands + ".new", commands)
            result = subprocess.run([binary, "--commands", "commands"], cwd=folder,
                                    capture_output=True, timeout=120)
            output = result.stdout.decode("utf-8", "replace")
            if result.returncode != 0 or not os.path.exists(listing_path):
                fail("korvo-headless: exit %d\n%s" % (result.returncode, output))
            with open(listing_path, "rb") as f:
                return output, f.read().decode("utf-8")

        output, listing = start_and_list()
        if PROGRESS_TITLE not in output:
            fail("no conversion progress on the console:\n" + output)
        lines = output.splitlines()
        if lines.index(PROGRESS_TITLE) > lines.index("korvo-headless: running"):
            fail("the conversion did not run during the start-up:\n" + output)
        first = check(folder, count, listing)
        ok("first start: %d records of the earlier format converted before the channel list, "
           "with console progress; newsdata.dat is newsdata.bak, err.txt and dump.dat gone" % count)
        ok("the records hold the old Japanese titles, sites, links and dates")

        output, listing = start_and_list()
        if PROGRESS_TITLE in output:
            fail("the second start converted again:\n" + output)
        if read_listing(listing) != first:
            fail("the second start changed the store")
        ok("a second start converts nothing again; the store is unchanged")
    finally:
        if os.environ.get("KORVO_KEEP_E2E"):
            print("kept: " + root)
        else:
            shutil.rmtree(root, ignore_errors=True)
    print("legacy import e2e: passed", flush=True)
    return 0


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "make":
        make(sys.argv[2], int(sys.argv[3]))
        return 0
    if len(sys.argv) == 5 and sys.argv[1] == "check":
        with open(sys.argv[4], "rb") as f:
            check(sys.argv[2], int(sys.argv[3]), f.read().decode("utf-8"))
        print("legacy import check: passed")
        return 0
    if len(sys.argv) == 2:
        return headless_e2e(os.path.realpath(sys.argv[1]))
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main())
