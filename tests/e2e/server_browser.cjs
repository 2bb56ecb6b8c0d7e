// The local server's index page in a real browser (Debian's Chromium driven by playwright-core)
// against korvo-headless with items of three sites, all on this machine.
//
// Usage: node server_browser.cjs <korvo-headless> <folder for screenshots>
//
// Shown here:
//   1. the site column lists the three sites, a click shows only that site's items, "すべて"
//      shows all again;
//   2. the search hides the items that do not match every word (letter case ignored), "解除"
//      shows them again;
//   3. "更新" asks /isupdate and, after a later update run, reloads the view with the new item;
//      "新着" then shows only the new item, "全部" every item;
//   4. feed texts with markup show as text and run nothing;
//   5. the page's own links mark an item read and reach the plug-in; a page of another origin
//      (images, fetches, frames, a form posting a request line) can do neither;
//   6. a DNS name that rebinds to 127.0.0.1 (a foreign Host) gets no page.
'use strict';

const { spawn } = require('child_process');
const fs = require('fs');
const http = require('http');
const net = require('net');
const os = require('os');
const path = require('path');

const root = path.resolve(__dirname, '..', '..');
const { chromium } = require(path.join(root, 'build', 'browser', 'node_modules', 'playwright-core'));

const headlessPath = path.resolve(process.argv[2]);
const evidence = path.resolve(process.argv[3] || path.join(root, 'build', 'native', 'e2e'));
const SITE_NAMES = ['東京ニュース', 'Osaka Tech', 'サイト<img src=x onerror="parent.__xss=1">'];

let failed = false;
function ok(message) { console.log('ok: ' + message); }
function check(condition, message) {
  if (condition) { ok(message); return; }
  failed = true;
  console.log('FAIL: ' + message);
  throw new Error(message);
}

function freePort() {
  return new Promise((resolve) => {
    const s = net.createServer();
    s.listen(0, '127.0.0.1', () => { const p = s.address().port; s.close(() => resolve(p)); });
  });
}

function sleep(ms) { return new Promise((r) => setTimeout(r, ms)); }

async function waitFor(what, test, timeoutMs = 60000) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const value = await test();
    if (value) return value;
    if (Date.now() > end) check(false, 'timed out waiting for ' + what);
    await sleep(100);
  }
}

function escapeXml(text) {
  return text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
}

// --- Feeds of three sites ----------------------------------------------------------------------

const feeds = {
  a: { title: SITE_NAMES[0], link: 'http://tokyo.example/', items: [
    { title: '東京で特報 Tokyo', link: 'http://tokyo.example/1', category: '社会' },
    { title: '天気は晴れ', link: 'http://tokyo.example/2', category: '天気' }] },
  b: { title: SITE_NAMES[1], link: 'http://osaka.example/', items: [
    { title: 'New compiler released', link: 'http://osaka.example/1', category: 'tech' },
    { title: '大阪の技術者', link: 'http://osaka.example/2', category: 'people' }] },
  c: { title: SITE_NAMES[2], link: 'http://third.example/', items: [
    { title: 'Vector<int> & <script>parent.__xss=2</script> tips', link: 'http://third.example/1',
      category: '<img src=x onerror="parent.__xss=3">' }] },
};

function rss(feed) {
  const items = feed.items.map((i) =>
    `<item><title>${escapeXml(i.title)}</title><link>${i.link}</link>` +
    `<description>${escapeXml(i.title)} の本文</description>` +
    `<category>${escapeXml(i.category)}</category></item>`).join('\n');
  return '<?xml version="1.0" encoding="UTF-8"?>\n<rss version="2.0"><channel>' +
    `<title>${escapeXml(feed.title)}</title><link>${feed.link}</link>\n${items}\n</channel></rss>\n`;
}

function attackPage(port, id) {
  const base = `http://localhost:${port}`;
  return `<!DOCTYPE html><html><body>
<img src="${base}/redirect?id=${id}">
<iframe src="${base}/dllfunc?cmd=delete&file=attack-frame"></iframe>
<iframe name="sink"></iframe>
<form id="f" method="POST" action="${base}/dllfunc" enctype="text/plain" target="sink">
<input name="x" value="GET /dllfunc?cmd=delete&file=attack-form HTTP/1.1"></form>
<script>
Promise.all([
  fetch('${base}/redirect?id=${id}', {mode: 'no-cors'}).catch(() => 0),
  fetch('${base}/dllfunc?cmd=delete&file=attack-fetch', {mode: 'no-cors'}).catch(() => 0),
  fetch('${base}/index.html', {mode: 'no-cors'}).catch(() => 0),
]).then(() => { document.getElementById('f').submit(); setTimeout(() => { window.done = 1; }, 1500); });
</script></body></html>`;
}

// --- korvo-headless ------------------------------------------------------------------------------

class Headless {
  constructor(folder, serverPort) {
    this.folder = folder;
    this.commands = path.join(folder, 'commands.txt');
    this.pluginLog = path.join(folder, 'plugin.log');
    this.output = '';
    this.child = spawn(headlessPath, ['--commands', this.commands, '--echo-plugin', this.pluginLog],
                       { cwd: path.join(folder, 'prog') });
    this.child.stdout.on('data', (d) => { this.output += d.toString(); });
    this.child.stderr.on('data', (d) => { this.output += d.toString(); });
    this.exited = new Promise((resolve) => this.child.on('exit', resolve));
    this.serverPort = serverPort;
  }
  runLines() { return this.output.split('\n').filter((l) => l.startsWith('run:')); }
  reloads() { return this.output.split('\n').filter((l) => l === 'ticker: list reloaded').length; }
  // The ticker swaps a handed-over list in between two headlines; Next (engine command 11) ends
  // the headline on display, so the new list is the shown one (and the server's) at once.
  async showNewList(count) {
    this.command('ticker 11');
    await waitFor('the new list on the ticker', () => this.reloads() >= count);
  }
  command(text) { fs.writeFileSync(this.commands, text + '\n'); }
  async dump() {
    const file = path.join(this.folder, 'dump.txt');
    fs.rmSync(file, { force: true });
    this.command('dump ' + file);
    await waitFor('the store listing', () => fs.existsSync(file));
    return fs.readFileSync(file, 'utf8').split('\n').filter((l) => l).map((l) => {
      const f = l.split('\t');
      return { number: Number(f[0]), read: f[3], site: f[4], title: f[5], link: f[6] };
    });
  }
  pluginQueries() {
    return fs.existsSync(this.pluginLog) ? fs.readFileSync(this.pluginLog, 'utf8').split('\n').filter((l) => l) : [];
  }
}

// --- The page ------------------------------------------------------------------------------------

// The items of the view frame: number, site link, title text, shown or hidden.
async function viewItems(page) {
  const frame = page.frame({ name: 'view' });
  return frame.evaluate(() => Array.from(document.querySelectorAll('div[id^="item"]')).map((d) => {
    const n = d.id.slice(4);
    const site = document.getElementById('sitelink' + n);
    return {
      n, site: site ? site.getAttribute('href') : '',
      title: document.getElementById('title' + n).textContent.trim(),
      category: document.getElementById('category' + n).textContent,
      titleHref: document.querySelector('#title' + n + ' a').getAttribute('href'),
      shown: d.style.display !== 'none' && d.className === 's_item',
    };
  }));
}

async function viewLoaded(page, test) {
  return waitFor('the view frame', async () => {
    try {
      const items = await viewItems(page);
      return test(items) ? items : null;
    } catch (e) {
      return null;  // the frame is reloading
    }
  });
}

async function main() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'korvo-browser-'));
  fs.mkdirSync(path.join(work, 'prog'));
  fs.mkdirSync(evidence, { recursive: true });
  const feedPort = await freePort();
  const serverPort = await freePort();
  const feedServer = http.createServer((req, res) => {
    const m = /^\/feed\/([abc])$/.exec(req.url);
    if (m) {
      res.writeHead(200, { 'Content-Type': 'application/rss+xml; charset=UTF-8' });
      res.end(rss(feeds[m[1]]));
    } else if (req.url.startsWith('/attack.html?id=')) {
      res.writeHead(200, { 'Content-Type': 'text/html; charset=UTF-8' });
      res.end(attackPage(serverPort, Number(req.url.split('=')[1])));
    } else {
      res.writeHead(404);
      res.end();
    }
  });
  await new Promise((r) => feedServer.listen(feedPort, '127.0.0.1', r));
  const outlines = ['a', 'b', 'c'].map((k) =>
    `<outline text="${k}" xmlUrl="http://127.0.0.1:${feedPort}/feed/${k}"/>`).join('');
  fs.writeFileSync(path.join(work, 'prog', 'channel.opml'),
                   `<?xml version="1.0" encoding="UTF-8"?>\n<opml version="1.0"><body>${outlines}</body></opml>\n`);
  fs.writeFileSync(path.join(work, 'prog', 'setup.ini'), `[server_config]\r\nport=${serverPort}\r\n`);

  const korvo = new Headless(work, serverPort);
  let browser = null;
  try {
    await waitFor('the first update run', () => korvo.runLines().length >= 1);
    check(/5 added, 5 shown/.test(korvo.runLines()[0]), 'first run: ' + korvo.runLines()[0]);
    check(korvo.output.includes(`server: http://localhost:${serverPort}/index.html`),
          'korvo-headless prints the index page address');
    const firstRunDone = Date.now();
    await korvo.showNewList(1);

    browser = await chromium.launch({
      executablePath: '/usr/bin/chromium', headless: true,
      args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
             '--disable-background-networking', '--disable-component-update', '--disable-sync',
             '--host-resolver-rules=MAP rebind.test 127.0.0.1'],
    });
    const context = await browser.newContext();
    const page = await context.newPage();
    const base = `http://localhost:${serverPort}`;
    await page.goto(base + '/index.html');
    check(await page.title() === 'KorvoNewsReader(resource)', 'the index page is the built-in one');
    let items = await viewLoaded(page, (i) => i.length === 5);
    check(items.every((i) => i.shown), 'the view shows the five new items');

    // 1. Sites.
    const entries = await page.$$eval('#sitelist li', (lis) => lis.map((li) => li.firstChild.textContent));
    check(JSON.stringify(entries) === JSON.stringify(['すべて'].concat(SITE_NAMES)),
          'the site column lists all and the three sites: ' + JSON.stringify(entries));
    await page.click('#sitelist li:nth-child(3)');
    items = await viewItems(page);
    const shownSites = items.filter((i) => i.shown).map((i) => i.site);
    check(shownSites.length === 2 && shownSites.every((s) => s === 'http://osaka.example/'),
          'a click on a site shows only its two items');
    await page.click('#sitelist li:nth-child(1)');
    check((await viewItems(page)).every((i) => i.shown), '"すべて" shows every item again');

    // 2. Search.
    await page.fill('#words', 'tokyo 特報');
    await page.click('#search');
    items = await viewItems(page);
    check(items.filter((i) => i.shown).map((i) => i.title).join('|') === '東京で特報 Tokyo',
          'the search keeps only the item that matches every word');
    await page.fill('#words', '本文 COMPILER');
    await page.click('#search');
    check((await viewItems(page)).filter((i) => i.shown).length === 1,
          'words match descriptions and titles, letter case ignored');
    await page.click('#clear');
    check((await viewItems(page)).every((i) => i.shown), '"解除" shows every item again');

    // 4. Markup in feed texts is text.
    const third = items.find((i) => i.site === 'http://third.example/');
    const stored = (await korvo.dump()).find((r) => r.link === 'http://third.example/1');
    check(third.title === stored.title, 'the title shows exactly the stored text: ' + third.title);
    check(third.category === '<img src=x onerror="parent.__xss=1">'.replace('1', '3'),
          'a category with markup shows as text');
    check(await page.evaluate(() => window.__xss === undefined), 'no feed text ran script');

    // 3. Update check, a later run, new and all.
    await page.click('#update');
    await waitFor('the first update answer', async () => (await page.textContent('#status')) !== '');
    const firstStatus = await page.textContent('#status');
    check(/^\d{4}\/\d\d\/\d\d \d\d:\d\d:\d\d$/.test(firstStatus), '"更新" takes the arrival time ' + firstStatus);
    await viewLoaded(page, (i) => i.length === 5);
    feeds.a.items.unshift({ title: '新しい記事', link: 'http://tokyo.example/3', category: '速報' });
    await sleep(Math.max(0, 1100 - (Date.now() - firstRunDone)));  // arrival times count seconds
    korvo.command('run');
    await waitFor('the second update run', () => korvo.runLines().length >= 2);
    check(/1 added/.test(korvo.runLines()[1]), 'second run: ' + korvo.runLines()[1]);
    check((await viewItems(page)).length === 5, 'the view does not change by itself');
    await korvo.showNewList(2);
    await page.click('#update');
    items = await viewLoaded(page, (i) => i.length === 1);
    check(items[0].title === '新しい記事', '"更新" picks up the later update (the view shows the new item)');
    check((await page.textContent('#status')) !== firstStatus, 'the known arrival time moved on');
    await page.click('#show_all');
    items = await viewLoaded(page, (i) => i.length === 6);
    check(items.every((i) => i.shown), '"全部" shows every item of the list');
    await page.click('#show_new');
    items = await viewLoaded(page, (i) => i.length === 1);
    check(items[0].title === '新しい記事', '"新着" shows only the new item');
    await page.click('#show_all');
    items = await viewLoaded(page, (i) => i.length === 6);
    await page.screenshot({ path: path.join(evidence, 'server_index.png') });
    ok('screenshot ' + path.join(evidence, 'server_index.png'));

    // 5. The page's own requests change state; another origin's cannot.
    let listing = await korvo.dump();
    const target = listing.find((r) => r.link === 'http://osaka.example/2');
    const victim = listing.find((r) => r.link === 'http://tokyo.example/2');
    check(target.read === '' && victim.read === '', 'both items start unread');
    const opened = items.find((i) => i.titleHref === '/redirect?id=' + target.number);
    check(opened !== undefined, 'titles link to the redirect that marks them read');
    const frame = page.frame({ name: 'view' });
    const [popup] = await Promise.all([
      context.waitForEvent('page'),
      frame.click(`#title${opened.n} a`),
    ]);
    await popup.waitForEvent('requestfinished', (r) => r.url().includes('/redirect?id=')).catch(() => 0);
    await waitFor('the read mark', async () => (await korvo.dump()).find((r) => r.number === target.number).read !== '');
    ok('a click on a title of the page marks its item read');
    await popup.close();
    const answer = await page.evaluate(() => fetch('/dllfunc?file=ok&cmd=list').then((r) => r.text()));
    check(answer === 'plug-in: cmd=list&file=ok', 'the page reaches the plug-in: ' + answer);

    const attacker = await context.newPage();
    await attacker.goto(`http://127.0.0.1:${feedPort}/attack.html?id=${victim.number}`);
    await attacker.waitForFunction(() => window.done === 1, null, { timeout: 30000 });
    listing = await korvo.dump();
    check(listing.find((r) => r.number === victim.number).read === '',
          'a page of another origin cannot mark an item read');
    check(JSON.stringify(korvo.pluginQueries()) === JSON.stringify(['cmd=list&file=ok']),
          'nor run a plug-in command: ' + JSON.stringify(korvo.pluginQueries()));
    await attacker.close();

    // 6. A foreign Host.
    let refused = false;
    const other = await context.newPage();
    try {
      const response = await other.goto(`http://rebind.test:${serverPort}/index.html`);
      refused = response === null || (await response.text()) === '';
    } catch (e) {
      refused = /ERR_EMPTY_RESPONSE|ERR_CONNECTION/.test(String(e));
    }
    check(refused, 'a rebound DNS name (foreign Host) gets no page');
    await other.close();
    const direct = await page.goto(`http://127.0.0.1:${serverPort}/index.html`);
    check(direct !== null && direct.status() === 200, 'http://127.0.0.1:<port> is served');
  } finally {
    if (browser) await browser.close().catch(() => 0);
    korvo.command('quit');
    const timer = setTimeout(() => korvo.child.kill('SIGKILL'), 15000);
    await korvo.exited;
    clearTimeout(timer);
    feedServer.close();
    if (failed) console.log('--- korvo-headless output\n' + korvo.output);
    fs.rmSync(work, { recursive: true, force: true });
  }
}

main().then(() => {
  if (failed) process.exit(1);
  console.log('server_browser: all passed');
}, (e) => {
  if (!failed) console.log('FAIL: ' + (e && e.stack ? e.stack : e));
  process.exit(1);
});
