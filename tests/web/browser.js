// What the browser tests and the benchmark share: the site's server and
// headless Chromium as Debian ships it, driven through puppeteer-core.
'use strict';
const {execFileSync, spawn} = require('child_process');
const path = require('path');
const readline = require('readline');
const puppeteer = require('puppeteer-core');

const SOURCE_DIR = path.resolve(__dirname, '../..');

// A sanitized or busy machine is slower: every deadline scales with it.
const TIME_FACTOR = process.env.GRIMALOU_SANITIZED === '1' ? 3 : 1;

// Serves `folder` on 127.0.0.1 with the project's server; resolves to
// {url, stop, answers} once the address is known, where `answers` gathers
// {status, path, bytes} for every answer the server gives (the bytes of its
// body).
function startServer(folder) {
  const server = spawn('python3', [path.join(SOURCE_DIR, 'tools/serve_site.py'), '--log', folder],
                       {stdio: ['ignore', 'pipe', 'inherit']});
  const answers = [];
  return new Promise((resolve, reject) => {
    server.on('error', reject);
    server.on('exit', (code) => reject(new Error(`the site's server ended (${code})`)));
    // However the script ends, the server ends with it.
    process.on('exit', () => server.kill());
    const lines = readline.createInterface({input: server.stdout});
    lines.once('line', (url) => {
      lines.on('line', (line) => {
        const [status, path, bytes] = line.split(' ');
        answers.push({status: Number(status), path, bytes: Number(bytes)});
      });
      resolve({url, answers, stop: () => server.kill()});
    });
  });
}

// Headless Chromium drawing WebGL in software, with `args` added (a fake
// camera). The closed network here has nothing for Chromium's own background
// connections to reach.
function launchBrowser(args = []) {
  const chromium = execFileSync('sh', ['-c', 'command -v chromium'], {encoding: 'utf8'}).trim();
  return puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--no-first-run', ...args],
  });
}

// Waits for the program's first picture, which it marks on the page's clock;
// resolves to the mark's time after the navigation, in milliseconds.
function firstFrame(page, seconds = 60) {
  const seen = page.evaluate(() => new Promise((done) => {
    const name = 'grimalou-first-frame';
    const mark = performance.getEntriesByName(name)[0];
    if (mark) return done(mark.startTime);
    new PerformanceObserver((list, observer) => {
      const found = list.getEntriesByName(name)[0];
      if (found) {
        observer.disconnect();
        done(found.startTime);
      }
    }).observe({type: 'mark'});
  }));
  let timer;
  const late = new Promise((_, fail) => {
    timer = setTimeout(() => fail(new Error(`no first frame within ${seconds} s`)), seconds * 1000 * TIME_FACTOR);
  });
  return Promise.race([seen, late]).finally(() => clearTimeout(timer));
}

// Waits until the page has drawn `n` more frames: a touch sample must be seen
// by a tick before the next one comes.
function frames(page, n = 2) {
  return page.evaluate((n) => new Promise((done) => {
    const next = () => (n-- > 0 ? requestAnimationFrame(next) : done());
    next();
  }), n);
}

module.exports = {SOURCE_DIR, TIME_FACTOR, startServer, launchBrowser, firstFrame, frames};
