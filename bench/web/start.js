// The browser build's size and start-up, as figures (nothing is asserted):
//   node bench/web/start.js [ROUNDS]
// after `make web` and `cmake --build build-web --target bare` (`make
// bench-web` does all three). Prints the site's size, each file and the
// whole gzip-compressed, and the time from navigation to the first title frame
// against a bare Emscripten page that clears a WebGL canvas once, both loaded
// in turn in fresh browser contexts (no cache, no service worker) in the same
// run; the ratio is of the medians. Then a first visit on a 1.6 Mbit/s
// connection: the bytes the server sent, its offline copy included, against
// the site's, and the longest frame while the page downloads.
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const {SOURCE_DIR, startServer, launchBrowser, firstFrame} = require('../../tests/web/browser.js');

const BUILD = path.join(SOURCE_DIR, 'build-web');
const ROUNDS = Number(process.argv[2] || 7);

function filesUnder(folder) {
  return fs.readdirSync(folder, {withFileTypes: true}).flatMap((e) =>
    e.isDirectory() ? filesUnder(path.join(folder, e.name)) : [path.join(folder, e.name)]);
}

// The camera mirror (site/mirror/) is no part of a first visit:
// bench/web/mirror.js counts it.
function sizes(folder) {
  let raw = 0, gzip = 0;
  const rows = filesUnder(folder).filter((file) => !file.startsWith(path.join(folder, 'mirror/'))).map((file) => {
    const bytes = fs.readFileSync(file);
    const packed = zlib.gzipSync(bytes, {level: 9}).length;
    raw += bytes.length;
    gzip += packed;
    return [path.relative(folder, file), bytes.length, packed];
  });
  return {rows, raw, gzip};
}

// A first visit at 1.6 Mbit/s with 100 ms of latency: the bytes the server
// sent until the offline copy is complete, and the longest task of the page
// (the browser reports those over 50 ms) that began before the downloads
// ended, during which no frame could be drawn.
async function slowFirstVisit(browser, server, url) {
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await page.setViewport({width: 800, height: 500});
    await page.emulateNetworkConditions({download: 1.6e6 / 8, upload: 1e6 / 8, latency: 100});
    await page.evaluateOnNewDocument(() => {
      window.benchTasks = [];
      new PerformanceObserver((list) => benchTasks.push(...list.getEntries())).observe({type: 'longtask'});
    });
    const before = server.answers.length;
    await page.goto(url);
    const title = await firstFrame(page, 120);
    const longest = await page.evaluate(() => {
      const end = Math.max(...performance.getEntriesByType('resource').map((e) => e.responseEnd));
      return Math.max(0, ...benchTasks.filter((t) => t.startTime < end).map((t) => t.duration));
    });
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    const sent = server.answers.slice(before).reduce((sum, answer) => sum + answer.bytes, 0);
    return {title, longest, sent};
  } finally {
    await context.close();
  }
}

async function timeToFirstFrame(browser, url) {
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await page.setViewport({width: 800, height: 500});
    await page.goto(url);
    return await firstFrame(page);
  } finally {
    await context.close();
  }
}

const median = (values) => [...values].sort((a, b) => a - b)[values.length >> 1];
const kib = (n) => (n / 1024).toFixed(1).padStart(8) + ' KiB';

async function main() {
  const site = sizes(path.join(BUILD, 'site'));
  console.log('site files (raw, gzip -9):');
  for (const [name, raw, gzip] of site.rows) console.log(`  ${name.padEnd(24)}${kib(raw)}${kib(gzip)}`);
  console.log(`  ${'whole site'.padEnd(24)}${kib(site.raw)}${kib(site.gzip)}`);
  const bare = sizes(path.join(BUILD, 'bare'));
  console.log(`  ${'bare page, for scale'.padEnd(24)}${kib(bare.raw)}${kib(bare.gzip)}`);

  const server = await startServer(BUILD);
  const browser = await launchBrowser();
  try {
    const times = {site: [], bare: []};
    for (let round = 0; round < ROUNDS; round++) {
      times.bare.push(await timeToFirstFrame(browser, server.url + 'bare/'));
      times.site.push(await timeToFirstFrame(browser, server.url + 'site/'));
    }
    const [s, b] = [median(times.site), median(times.bare)];
    console.log(`first frame after navigation, median of ${ROUNDS} (ms): ` +
                `Grimalou ${s.toFixed(0)}, bare WebGL page ${b.toFixed(0)}, ratio ${(s / b).toFixed(2)}`);
    console.log(`  Grimalou: ${times.site.map((t) => t.toFixed(0)).join(' ')}`);
    console.log(`  bare:     ${times.bare.map((t) => t.toFixed(0)).join(' ')}`);
    const slow = await slowFirstVisit(browser, server, server.url + 'site/');
    console.log(`first visit at 1.6 Mbit/s: ${slow.sent} bytes sent for a site of ${site.raw}, ` +
                `ratio ${(slow.sent / site.raw).toFixed(3)}; title after ${(slow.title / 1000).toFixed(1)} s; ` +
                `longest task while downloading ${slow.longest.toFixed(0)} ms (0: none over 50 ms)`);
  } finally {
    await browser.close();
    server.stop();
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
