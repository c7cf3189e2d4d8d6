// The camera mirror's figures, in one run (nothing is asserted):
//   node bench/web/mirror.js [SECONDS]
// after `make web`. With Chromium's fake camera on a video of a real
// photograph (tests/web/mirror_videos.py): the face reader's detections a
// second with the mirror on; the page's frame rate (the program draws once a
// frame) with the mirror on against off, each over SECONDS; the time from
// the mirror button to the first meter with the reader already loaded; the
// mirror's bytes (gzip), and the first visit's requests, which must not
// include the mirror's files.
'use strict';
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const {SOURCE_DIR, startServer, launchBrowser, firstFrame, frames} = require('../../tests/web/browser.js');

const SITE = path.join(SOURCE_DIR, 'build-web/site');
const SECONDS = Number(process.argv[2] || 10);

const reading = (page) => page.evaluate(() => JSON.parse(document.body.dataset.mirror || '{}'));
async function until(page, accept) {
  for (let r = await reading(page); !accept(r); r = await reading(page)) await frames(page, 5);
}

// Frames the page drew and readings the mirror made over `seconds`.
function rates(page, seconds) {
  return page.evaluate((seconds) => new Promise((done) => {
    const reading = () => JSON.parse(document.body.dataset.mirror || '{"detections":0}').detections;
    const start = performance.now(), detections = reading();
    let count = 0;
    const frame = (now) => {
      if (now - start < seconds * 1000) {
        count++;
        return requestAnimationFrame(frame);
      }
      const elapsed = (now - start) / 1000;
      done({fps: count / elapsed, detections: (reading() - detections) / elapsed});
    };
    requestAnimationFrame(frame);
  }), seconds);
}

// From the button to the first reading with a meter, on the page's clock.
function buttonToMeter(page) {
  return page.evaluate(() => new Promise((done) => {
    const start = performance.now();
    new MutationObserver((_, observer) => {
      const r = JSON.parse(document.body.dataset.mirror);
      if (r.meters && Object.keys(r.meters).length) {
        observer.disconnect();
        done(performance.now() - start);
      }
    }).observe(document.body, {attributes: true, attributeFilter: ['data-mirror']});
    document.getElementById('mirror-button').click();
  }));
}

function gzipBytes(file) {
  return zlib.gzipSync(fs.readFileSync(file), {level: 9}).length;
}

async function main() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'grimalou-camera-'));
  execFileSync('/usr/bin/python3', [path.join(SOURCE_DIR, 'tests/web/mirror_videos.py'), folder, 'astronaut-open']);
  const server = await startServer(SITE);
  const browser = await launchBrowser(['--use-fake-ui-for-media-stream', '--use-fake-device-for-media-stream',
                                       `--use-file-for-fake-video-capture=${path.join(folder, 'astronaut-open.y4m')}`]);
  try {
    const page = await browser.newPage();
    await page.setViewport({width: 800, height: 500, hasTouch: true});
    await page.goto(server.url);
    await firstFrame(page);
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    const firstVisit = server.answers.slice();
    await page.waitForFunction(() => Module.running);
    await page.touchscreen.tap(243, 248);
    await page.waitForSelector('#mirror-button:not([hidden])');

    // The mirror's first use: what it downloads.
    const before = server.answers.length;
    await page.click('#mirror-button');
    await until(page, (r) => r.state === 'on');
    const firstUse = server.answers.slice(before).filter((a) => a.status === 200);
    const mirrorGzip = firstUse.reduce((sum, a) => sum + gzipBytes(path.join(SITE, a.path)), 0);
    const mirrorRaw = firstUse.reduce((sum, a) => sum + a.bytes, 0);

    // Off and on again, the reader loaded: the button to the first meter.
    await page.click('#mirror-button');
    await frames(page, 10);
    const toMeter = await buttonToMeter(page);
    await until(page, (r) => r.state === 'on');
    const on = await rates(page, SECONDS);
    await page.click('#mirror-button');
    await frames(page, 30);
    const off = await rates(page, SECONDS);

    const mirrorFirstVisit = firstVisit.filter((a) => a.path.startsWith('/mirror/'));
    const visitBytes = firstVisit.reduce((sum, a) => sum + a.bytes, 0);
    console.log(`detections a second, mirror on: ${on.detections.toFixed(1)}`);
    console.log(`page frames a second: mirror off ${off.fps.toFixed(1)}, on ${on.fps.toFixed(1)}, ` +
                `ratio ${(on.fps / off.fps).toFixed(2)}`);
    console.log(`mirror button to first meter, reader loaded: ${(toMeter / 1000).toFixed(2)} s ` +
                '(of which the neutral face is watched for 1 s)');
    console.log(`the mirror's first use: ${firstUse.length} files, ${(mirrorRaw / 1024).toFixed(0)} KiB, ` +
                `${(mirrorGzip / 1024).toFixed(0)} KiB gzip -9:`);
    for (const a of firstUse) console.log(`  ${a.path.padEnd(44)}${(gzipBytes(path.join(SITE, a.path)) / 1024).toFixed(1).padStart(8)} KiB gzip`);
    console.log(`first visit: ${firstVisit.length} answers, ${(visitBytes / 1024).toFixed(0)} KiB, ` +
                `of the mirror's files: ${mirrorFirstVisit.length}`);
  } finally {
    await browser.close();
    server.stop();
    fs.rmSync(folder, {recursive: true});
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
