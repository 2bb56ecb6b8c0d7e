#!/usr/bin/env python3
"""End to end: korvo-headless fetching generated feeds from a local HTTP server.

Usage: headless_update_e2e.py <path of korvo-headless>

The server (127.0.0.1, a port the system picks) serves every feed at /f/<name>, answers 304 to a
conditional request when the feed did not change since it was last served, and counts the
requests it is answering at once. korvo-headless runs in temporary program folders whose
channel.opml lists only those feeds (nothing reaches the internet), and is driven through its
command file ("run", "run-cached", "dump <path>", "quit").

Shown here:
  1. the initial forced run fetches twelve channels, never more than four at once, and stores
     every item once: UTF-8, Shift_JIS, EUC-JP and UTF-16 feeds, RSS 1.0, RSS 2.0 and Atom give
     the same Japanese titles; two items with one link and different titles are both kept; the
     feeds' site links reach the site-icon fetch;
  2. a run where every server answers 304 changes nothing in the store;
  3. a changed feed adds only its new items, and a changed title is a new record;
  4. a run without fetching, with the server gone, parses the cache again and shows every item;
  5. "dump.dat" holds the shown list at exit;
  6. a kill -9 in the middle of a merge: the next start recovers the store with every item of the
     finished runs, and a later run stores what was missing, each item once;
  7. a read-only database folder: --dump-store lists every record and exits 3 with a message, a
     run shows the new items, stores none and says so in its run line, and the program exits 3.
"""

import http.server
import os
import re
import shutil
import signal
import socketserver
import subprocess
import sys
import tempfile
import threading
import time
from email.utils import formatdate

DELAY_S = 0.25  # each answer waits this long, so that overlapping fetches really overlap
RUN_TIMEOUT_S = 120


def fail(message):
    print("FAIL: " + message, flush=True)
    raise SystemExit(1)


def ok(message):
    print("ok: " + message, flush=True)


# --- Feeds ---------------------------------------------------------------------------------------


class Feed:
    """One feed: a format, an encoding and a list of (title, link) items."""

    def __init__(self, name, form, encoding, title, items):
        self.name = name
        self.form = form  # "rss2", "rss1" or "atom"
        self.encoding = encoding  # Python codec and declared name
        self.title = title
        self.items = list(items)
        self.version = 1
        self.served_version = 0

    def change(self, items):
        self.items = list(items)
        self.version += 1

    def body(self, base):
        codec, declared = self.encoding
        site = base + "/site/" + self.name
        esc = xml_escape
        parts = []
        if self.form == "rss2":
            parts.append('<?xml version="1.0" encoding="%s"?>\n<rss version="2.0"><channel>' % declared)
            parts.append("<title>%s</title><link>%s</link><description>d</description>" % (esc(self.title), site))
            for i, (title, link) in enumerate(self.items):
                parts.append(
                    "<item><title>%s</title><link>%s</link><description>%s</description>"
                    "<pubDate>Tue, 08 Dec 2026 0%d:%02d:00 +0900</pubDate></item>"
                    % (esc(title), esc(link), esc(title + " の説明"), i % 10, i % 60))
            parts.append("</channel></rss>\n")
        elif self.form == "rss1":
            parts.append('<?xml version="1.0" encoding="%s"?>\n' % declared)
            parts.append('<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" '
                         'xmlns="http://purl.org/rss/1.0/" xmlns:dc="http://purl.org/dc/elements/1.1/">')
            parts.append('<channel rdf:about="%s"><title>%s</title><link>%s</link>'
                         '<description>d</description></channel>' % (site, esc(self.title), site))
            for i, (title, link) in enumerate(self.items):
                parts.append('<item rdf:about="%s"><title>%s</title><link>%s</link>'
                             "<dc:date>2026-12-08T0%d:%02d:00+09:00</dc:date></item>"
                             % (esc(link), esc(title), esc(link), i % 10, i % 60))
            parts.append("</rdf:RDF>\n")
        else:
            parts.append('<?xml version="1.0" encoding="%s"?>\n' % declared)
            parts.append('<feed xmlns="http://www.w3.org/2005/Atom"><title>%s</title>'
                         '<link href="%s"/><id>%s</id>' % (esc(self.title), site, site))
            for i, (title, link) in enumerate(self.items):
                parts.append('<entry><title>%s</title><link href="%s"/><id>%s</id>'
                             "<updated>2026-12-08T0%d:%02d:00+09:00</updated><summary>%s</summary></entry>"
                             % (esc(title), esc(link), esc(link), i % 10, i % 60, esc(title)))
            parts.append("</feed>\n")
        return "".join(parts).encode(codec)


def xml_escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")


class FeedServer:
    """The local HTTP server of the feeds; counts requests and overlapping answers."""

    def __init__(self):
        self.feeds = {}
        self.lock = threading.Lock()
        self.in_flight = 0
        self.max_in_flight = 0
        self.requests = 0
        self.not_modified = 0
        self.other_paths = []
        self.delay = DELAY_S
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.0"

            def log_message(self, *args):
                pass

            def do_GET(self):
                server.answer(self)

        class Threading(socketserver.ThreadingMixIn, http.server.HTTPServer):
            daemon_threads = True
            request_queue_size = 64

        self.httpd = Threading(("127.0.0.1", 0), Handler)
        self.port = self.httpd.server_address[1]
        self.base = "http://127.0.0.1:%d" % self.port
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def add(self, feed):
        self.feeds[feed.name] = feed
        return feed

    def url(self, feed):
        return self.base + "/f/" + feed.name

    def answer(self, handler):
        if not handler.path.startswith("/f/"):
            with self.lock:
                self.other_paths.append(handler.path)
            handler.send_error(404)  # site icons and pages: not counted, not delayed
            return
        # A request counts as in flight from its arrival until its answer is ready. (Counting until
        # the answer is sent would also count the moment after the client has read it all and
        # started its next fetch, before this thread runs again.)
        with self.lock:
            self.requests += 1
            self.in_flight += 1
            self.max_in_flight = max(self.max_in_flight, self.in_flight)
        try:
            time.sleep(self.delay)
            feed = self.feeds.get(handler.path[len("/f/"):])
            status, body = 404, b""
            if feed is not None:
                with self.lock:
                    unchanged = feed.served_version == feed.version
                    if handler.headers.get("If-Modified-Since") and unchanged:
                        self.not_modified += 1
                        status = 304
                    else:
                        feed.served_version = feed.version
                        status = 200
                if status == 200:
                    body = feed.body(self.base)
        finally:
            with self.lock:
                self.in_flight -= 1
        if status == 404:
            handler.send_error(404)
        elif status == 304:
            handler.send_response(304)
            handler.end_headers()
        else:
            handler.send_response(200)
            handler.send_header("Content-Type", "application/xml")
            handler.send_header("Content-Length", str(len(body)))
            handler.send_header("Last-Modified", formatdate(usegmt=True))
            handler.end_headers()
            handler.wfile.write(body)

    def reset_counts(self):
        with self.lock:
            self.requests = 0
            self.not_modified = 0
            self.max_in_flight = 0

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


# --- The program ---------------------------------------------------------------------------------


def write_channel_list(folder, server, feeds):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', '<opml version="1.0">',
             "<head><title>e2e</title></head>", "<body>"]
    for feed in feeds:
        lines.append('<outline text="%s" title="%s" type="rss" xmlUrl="%s" htmlUrl="%s"/>'
                     % (xml_escape(feed.title), xml_escape(feed.title), server.url(feed),
                        server.base + "/site/" + feed.name))
    lines += ["</body>", "</opml>", ""]
    with open(os.path.join(folder, "channel.opml"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


class Program:
    """One korvo-headless process in `folder`, driven through its command file."""

    def __init__(self, binary, folder):
        self.folder = folder
        self.commands = os.path.join(folder, "commands")
        self.out_path = os.path.join(folder, "out.txt")
        self.out = open(self.out_path, "wb")
        self.process = subprocess.Popen([binary, "--commands", "commands"], cwd=folder,
                                        stdout=self.out, stderr=subprocess.STDOUT)
        self.seen_runs = 0

    def output(self):
        with open(self.out_path, "rb") as f:
            return f.read().decode("utf-8", "replace")

    def run_lines(self):
        return [l for l in self.output().splitlines() if l.startswith("run: ")]

    def wait_run(self, what):
        """Waits for the next "run:" line and returns it."""
        deadline = time.time() + RUN_TIMEOUT_S
        while time.time() < deadline:
            lines = self.run_lines()
            if len(lines) > self.seen_runs:
                self.seen_runs += 1
                print("  " + lines[self.seen_runs - 1], flush=True)
                return lines[self.seen_runs - 1]
            if self.process.poll() is not None:
                fail("%s: korvo-headless ended:\n%s" % (what, self.output()))
            time.sleep(0.05)
        fail("%s: no run line within %d s:\n%s" % (what, RUN_TIMEOUT_S, self.output()))

    def send(self, *commands):
        deadline = time.time() + 30
        while os.path.exists(self.commands):  # the previous commands are not taken yet
            if time.time() > deadline:
                fail("commands not taken")
            time.sleep(0.02)
        temporary = self.commands + ".new"
        with open(temporary, "w") as f:
            f.write("\n".join(commands) + "\n")
        os.replace(temporary, self.commands)

    def dump(self):
        """The store listing: a list of (number, get, last, check, site, title, link)."""
        path = os.path.join(self.folder, "dump-%d.txt" % time.monotonic_ns())
        self.send("dump " + path)
        deadline = time.time() + 60
        while not os.path.exists(path):
            if time.time() > deadline or self.process.poll() is not None:
                fail("no store listing:\n" + self.output())
            time.sleep(0.02)
        return read_listing(path)

    def quit(self, expected_rc=0):
        self.send("quit")
        try:
            rc = self.process.wait(60)
        except subprocess.TimeoutExpired:
            self.process.kill()
            fail("korvo-headless did not end after quit:\n" + self.output())
        self.out.close()
        if rc != expected_rc:
            fail("exit code %d:\n%s" % (rc, self.output()))

    def kill(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGKILL)
            self.process.wait()
        self.out.close()


def read_listing(path):
    with open(path, "rb") as f:
        text = f.read().decode("utf-8")
    return [tuple(line.split("\t")) for line in text.splitlines() if line]


def pairs(listing):
    """(title, link) of every record, in listing order."""
    return [(r[5], r[6]) for r in listing]


def field(line, word):
    """The number before `word` in a run line ("3 fetched" -> 3)."""
    for part in line.split(", "):
        bits = part.split(" ")
        if len(bits) >= 2 and bits[-1] == word:
            return int(bits[-2])
    fail("no '%s' in %s" % (word, line))


def items(prefix, count, start=0):
    return [("%s 記事%d「日本語」" % (prefix, i), "http://example.invalid/%s/%d" % (prefix.encode("utf-8").hex(), i))
            for i in range(start, start + count)]


# --- Scenarios -----------------------------------------------------------------------------------


def cycle_scenario(binary, server, root):
    folder = os.path.join(root, "cycle")
    os.makedirs(folder)
    same_link = "http://example.invalid/same"
    feeds = [
        server.add(Feed("utf8_rss2", "rss2", ("utf-8", "UTF-8"), "ユーティーエフ", items("ニュースA", 3))),
        server.add(Feed("sjis_rss2", "rss2", ("cp932", "Shift_JIS"), "シフトJIS", items("ニュースB", 3))),
        server.add(Feed("eucjp_rss1", "rss1", ("euc_jp", "EUC-JP"), "日本語EUC", items("ニュースC", 3))),
        server.add(Feed("utf16_atom", "atom", ("utf-16", "UTF-16"), "ユニコード16", items("ニュースD", 3))),
        server.add(Feed("utf8_atom", "atom", ("utf-8", "UTF-8"), "アトム", items("ニュースE", 3))),
        server.add(Feed("same_link", "rss2", ("utf-8", "UTF-8"), "同じリンク",
                        [("同じリンクの一つ目", same_link), ("同じリンクの二つ目", same_link)])),
    ]
    for n in range(6):
        feeds.append(server.add(Feed("extra%d" % n, "rss2", ("utf-8", "UTF-8"), "追加%d" % n,
                                     items("追加%d" % n, 2))))
    write_channel_list(folder, server, feeds)
    expected = sorted(p for feed in feeds for p in feed.items)

    server.reset_counts()
    program = Program(binary, folder)
    try:
        # 1. The initial forced run.
        line = program.wait_run("first run")
        if server.requests != 12:
            fail("the first run made %d requests, not 12" % server.requests)
        if server.max_in_flight > 4:
            fail("%d fetches at once" % server.max_in_flight)
        if server.max_in_flight < 2:
            fail("the fetches never overlapped (%d at once)" % server.max_in_flight)
        ok("twelve due channels: 12 requests, at most %d at once" % server.max_in_flight)
        first = program.dump()
        if sorted(pairs(first)) != expected:
            missing = set(expected) - set(pairs(first))
            extra = [p for p in pairs(first) if p not in expected]
            fail("first run stored %d records (expected %d); missing %s; extra %s"
                 % (len(first), len(expected), sorted(missing)[:5], extra[:5]))
        if field(line, "added") != len(expected):
            fail("run line says %d added: %s" % (field(line, "added"), line))
        ok("first run: every item stored once (%d records), UTF-8, Shift_JIS, EUC-JP, UTF-16, "
           "RSS 1.0/2.0, Atom" % len(first))
        ok("two items with one link and different titles are both kept")
        deadline = time.time() + 30
        # The icon fetch asks the host's /favicon.ico, then the site page for its icon link.
        while not ("/favicon.ico" in server.other_paths and
                   any(p.startswith("/site/") for p in server.other_paths)):
            if time.time() > deadline:
                fail("no site icon was asked for: %s" % server.other_paths[:5])
            time.sleep(0.05)
        ok("the feeds' site links go to the site-icon fetch (/favicon.ico, then the site page)")

        # 2. Every server answers 304.
        server.reset_counts()
        program.send("run")
        line = program.wait_run("all-304 run")
        if server.requests != 12 or server.not_modified != 12:
            fail("%d requests, %d answered 304" % (server.requests, server.not_modified))
        if field(line, "changed") != 0 or field(line, "added") != 0:
            fail("all-304 run: " + line)
        if program.dump() != first:
            fail("the all-304 run changed the store")
        ok("every server answers 304: the store is unchanged, record for record")

        # 3. One feed changes: two new items and one new title for an old link.
        changed = feeds[0]
        old = changed.items
        retitled = ("ニュースA 新しい題名", old[1][1])
        changed.change([old[0], retitled, old[2]] + items("ニュースA", 2, start=3))
        server.reset_counts()
        program.send("run")
        line = program.wait_run("changed run")
        if field(line, "changed") != 1:
            fail("changed run: " + line)
        third = program.dump()
        # Items found again in the changed feed get a new last-seen time (column 2); nothing else
        # of an earlier record may change.
        def settled(listing):
            return [r[:2] + r[3:] for r in listing]
        if settled(third[:len(first)]) != settled(first):
            fail("records of earlier runs changed their place or fields")
        new_pairs = sorted(pairs(third[len(first):]))
        want = sorted([retitled] + items("ニュースA", 2, start=3))
        if new_pairs != want:
            fail("the changed feed added %s, expected %s" % (new_pairs, want))
        ok("a changed feed adds only its new items; the new title is a new record, the old kept")

        # 4. Run now without fetching, with the network gone.
        server.stop()
        program.send("run-cached")
        line = program.wait_run("run without fetching")
        if not line.startswith("run: forced without fetching") or field(line, "fetched") != 0:
            fail("run-cached: " + line)
        all_items = len(expected) + 2
        if field(line, "shown") != all_items or field(line, "added") != 0:
            fail("run-cached should show every cached item (%d): %s" % (all_items, line))
        if program.dump() != third:
            fail("the run without fetching changed the store")
        ok("run now without fetching: the cache is parsed again (%d items shown), no network" % all_items)

        # 5. dump.dat at exit.
        program.quit()
        with open(os.path.join(folder, "dump.dat"), "rb") as f:
            saved = f.read()
        numbers = [int.from_bytes(saved[i:i + 4], "little") for i in range(0, len(saved), 4)]
        stored = {int(r[0]) for r in third}
        if len(numbers) != all_items or not set(numbers) <= stored:
            fail("dump.dat holds %d numbers, expected %d record numbers" % (len(numbers), all_items))
        ok("dump.dat holds the record numbers of the shown list")
        # The ticker of the first start showed the placeholder until the first list came.
        tickers = [l for l in program.output().splitlines() if l.startswith("ticker: ")]
        if not tickers or tickers[0] != "ticker: 1/1 ニュース取得中 [ニュース取得中]":
            fail("first start: the ticker began with %r, not the placeholder" % tickers[:1])
        ok("a first start without dump.dat shows the placeholder \"ニュース取得中\"")

        # 6. A restart shows the saved items at once (the network is gone); "ticker 11" (Next)
        # steps on.
        program = Program(binary, folder)
        titles = {r[5] for r in third}
        deadline = time.time() + 30
        while time.time() < deadline:
            tickers = [l for l in program.output().splitlines() if l.startswith("ticker: ")]
            if tickers:
                break
            time.sleep(0.05)
        first_line = tickers[0] if tickers else ""
        shown = first_line.split(" ", 2)[2].rsplit(" [", 1)[0] if first_line else ""
        if not first_line.startswith("ticker: 1/%d " % all_items) or shown not in titles:
            fail("restart: the ticker began with %r, not a saved item" % first_line)
        # (Random order is on by default, so which item comes next is the shuffle's choice.)
        program.send("ticker 11")
        item_line = re.compile(r"^ticker: \d+/%d " % all_items)
        while time.time() < deadline:
            tickers = [l for l in program.output().splitlines() if item_line.match(l)]
            if len(tickers) >= 2:
                break
            time.sleep(0.05)
        if len(tickers) < 2:
            fail("restart: Next did not show another item: %r" % tickers)
        program.quit()
        ok("a restart shows the saved items at once; Next shows another")
    finally:
        program.kill()


def kill_scenario(binary, server, root):
    folder = os.path.join(root, "kill")
    os.makedirs(folder)
    server.delay = 0
    count, channels = 1500, 8
    feeds = [server.add(Feed("big%d" % c, "rss2", ("utf-8", "UTF-8"), "大量%d" % c, items("大量%d" % c, count)))
             for c in range(channels)]
    write_channel_list(folder, server, feeds)
    check = os.path.join(folder, "database", "check")

    program = Program(binary, folder)
    try:
        program.wait_run("first run (kill)")
        finished = sorted(pairs(program.dump()))
        if len(finished) != count * channels:
            fail("first run stored %d records" % len(finished))
        for attempt in range(3):
            for feed in feeds:
                feed.change(feed.items + items(feed.title + "次%d" % attempt, 300))
            program.send("run")
            deadline = time.time() + RUN_TIMEOUT_S
            while not os.path.exists(check):
                if time.time() > deadline or len(program.run_lines()) > program.seen_runs:
                    break
                time.sleep(0.0005)
            if os.path.exists(check):
                program.kill()
                break
            program.wait_run("run that finished before the kill")
            finished = sorted(pairs(program.dump()))
        else:
            fail("never caught a merge in progress")
        if not os.path.exists(check):
            fail("killed, but the interrupted-update marker is gone")
        ok("kill -9 during a merge (marker database/check left behind)")
    finally:
        program.kill()

    # The next start opens the store, rebuilds its indexes and lists every finished item.
    listing = subprocess.run([binary, "--dump-store"], cwd=folder, capture_output=True, timeout=120)
    if listing.returncode != 0:
        fail("--dump-store after the kill: exit %d %s" % (listing.returncode, listing.stdout[-2000:]))
    recovered = [tuple(l.split("\t")) for l in listing.stdout.decode("utf-8").splitlines()
                 if l.count("\t") == 6]
    recovered_pairs = pairs(recovered)
    if os.path.exists(check):
        fail("the marker is still there after the recovery")
    lost = set(finished) - set(recovered_pairs)
    if lost:
        fail("%d items of finished runs lost, e.g. %s" % (len(lost), sorted(lost)[:3]))
    if len(set(recovered_pairs)) != len(recovered_pairs):
        fail("the recovered store holds one item twice")
    ok("the next start recovers the store: all %d items of the finished runs, %d of the "
       "interrupted one" % (len(finished), len(recovered_pairs) - len(finished)))

    # A full start: its initial run stores what the interrupted run missed, each item once.
    program = Program(binary, folder)
    try:
        program.wait_run("run after the recovery")
        after = pairs(program.dump())
        want = sorted(p for feed in feeds for p in feed.items)
        if sorted(after) != want:
            fail("after the recovery %d records, expected %d (duplicates: %d)"
                 % (len(after), len(want), len(after) - len(set(after))))
        ok("the run after the recovery completes the store, every item once (%d)" % len(after))
        program.quit()
    finally:
        program.kill()


def make_read_only(folder):
    """Makes `folder` and its files unwritable, for root too (immutable); a list of what to undo,
    or None when this file system cannot do it."""
    paths = [os.path.join(folder, name) for name in os.listdir(folder)] + [folder]
    if os.geteuid() != 0:
        for path in paths:
            os.chmod(path, 0o555 if os.path.isdir(path) else 0o444)
        return [("chmod", path) for path in paths]
    done = []
    for path in paths:
        if subprocess.run(["chattr", "+i", path], capture_output=True).returncode != 0:
            undo_read_only(done)
            return None
        done.append(("chattr", path))
    return done


def undo_read_only(done):
    for how, path in reversed(done or []):
        if how == "chattr":
            subprocess.run(["chattr", "-i", path], capture_output=True)
        else:
            os.chmod(path, 0o755 if os.path.isdir(path) else 0o644)


def read_only_scenario(binary, server, root):
    folder = os.path.join(root, "readonly")
    os.makedirs(folder)
    feed = server.add(Feed("kept", "rss2", ("utf-8", "UTF-8"), "読み取り専用", items("保存", 4)))
    write_channel_list(folder, server, [feed])
    program = Program(binary, folder)
    try:
        program.wait_run("run before the store is read-only")
        stored = sorted(pairs(program.dump()))
        program.quit()
    finally:
        program.kill()
    feed.change(feed.items + items("新着", 3))
    done = make_read_only(os.path.join(folder, "database"))
    if done is None:
        print("  skipped: this file system cannot make files read-only for root", flush=True)
        return
    try:
        listing = subprocess.run([binary, "--dump-store"], cwd=folder, capture_output=True,
                                 timeout=120)
        listed = sorted(pairs([tuple(l.split("\t")) for l in
                               listing.stdout.decode("utf-8").splitlines() if l]))
        if listing.returncode != 3 or listed != stored or b"read-only" not in listing.stderr:
            fail("--dump-store of a read-only store: exit %d, %d of %d records, %s"
                 % (listing.returncode, len(listed), len(stored), listing.stderr))
        ok("--dump-store of a read-only store lists all %d records, says so and exits 3"
           % len(stored))
        program = Program(binary, folder)
        try:
            line = program.wait_run("run on a read-only store")
            if "0 added, store read-only: nothing can be stored" not in line:
                fail("run line on a read-only store: " + line)
            if "the news store is read-only" not in program.output():
                fail("no read-only message at start-up:\n" + program.output())
            if field(line, "shown") != len(feed.items):
                fail("the new items are not shown: " + line)
            program.quit(expected_rc=3)
        finally:
            program.kill()
        ok("a run on a read-only store shows the new items, stores none, says so and exits 3")
    finally:
        undo_read_only(done)


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    binary = os.path.realpath(sys.argv[1])
    root = tempfile.mkdtemp(prefix="korvo-update-e2e-")
    server = FeedServer()
    kill_server = None
    try:
        cycle_scenario(binary, server, root)
        kill_server = FeedServer()
        kill_scenario(binary, kill_server, root)
        read_only_scenario(binary, kill_server, root)
    finally:
        for s in (server, kill_server):
            if s is not None:
                try:
                    s.stop()
                except Exception:
                    pass
        if os.environ.get("KORVO_KEEP_E2E"):
            print("kept: " + root)
        else:
            shutil.rmtree(root, ignore_errors=True)
    print("headless update e2e: passed", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
