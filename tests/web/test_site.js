// The browser build as a person on a tablet meets it: headless Chromium at
// 800 x 500 with a touch screen, against the site served on 127.0.0.1.
//   node test_site.js SITE_FOLDER DESKTOP_TITLE.png
'use strict';
const assert = require('assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {TIME_FACTOR, startServer, launchBrowser, firstFrame, frames} = require('./browser.js');
const {decodePng, changedShare} = require('./pictures.js');

const [site, desktopTitlePath] = process.argv.slice(2);
const SECONDS = 1000 * TIME_FACTOR;

// Places on the 800 x 500 page, where the 1280 x 800 virtual screen is drawn
// at 0.625: the girl's card, her right eye, and boxes around the eyes and
// the mouth.
const GIRL_CARD = {x: 243, y: 248};
const RIGHT_EYE = {x: 461, y: 231};
const EYES = {x: 330, y: 190, w: 160, h: 80};
const MOUTH = {x: 340, y: 280, w: 130, h: 90};
// The face picture (248, 160 to 1032, 740 in virtual units).
const FACE = {x: 155, y: 100, w: 490, h: 362};
// The face under the panel that a played homework shows at its end.
const FACE_UNDER_PANEL = {x: 155, y: 150, w: 490, h: 312};
const DESKTOP_TITLE = decodePng(fs.readFileSync(desktopTitlePath));

async function shot(page) {
  return decodePng(Buffer.from(await page.screenshot({encoding: 'base64'}), 'base64'));
}

// Screenshots until `accept` takes one, or fails naming `what`.
async function waitForPicture(page, what, accept, seconds = 20) {
  const deadline = Date.now() + seconds * SECONDS;
  let last;
  while (Date.now() < deadline) {
    last = await shot(page);
    if (accept(last)) return last;
  }
  fs.writeFileSync(path.join(os.tmpdir(), 'grimalou-web-failure.png'), await page.screenshot());
  throw new Error(`${what}: not seen within ${seconds} s (last screenshot in ${os.tmpdir()})`);
}

async function waitForTitle(page, desktopTitle = DESKTOP_TITLE) {
  await firstFrame(page);
  // The program's picture, without the page's own buttons and message over it.
  const hidden = await page.addStyleTag({content: '.corner, #notice { visibility: hidden; }'});
  // The same title as the desktop program's: the pictures and the font are
  // the same; the rasterisers' edges may differ a little.
  const title = await waitForPicture(page, 'the title as on the desktop',
                                     (p) => changedShare(p, desktopTitle) < 0.01);
  await hidden.evaluate((tag) => tag.remove());
  return title;
}

// The bytes of the files a first visit needs: all but the camera mirror's,
// which are downloaded when it is first turned on.
function siteBytes(folder) {
  return fs.readdirSync(folder, {withFileTypes: true}).reduce((sum, e) => {
    const file = path.join(folder, e.name);
    if (e.isDirectory()) return sum + (file === path.join(site, 'mirror') ? 0 : siteBytes(file));
    return sum + fs.statSync(file).size;
  }, 0);
}

// A copy of the site in a temporary folder, changed by `change(folder)`.
function siteCopy(change) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'grimalou-site-'));
  fs.cpSync(site, folder, {recursive: true});
  change(folder);
  return folder;
}

// Zeroes the start of one file inside the data package, found through the
// package's index in the script.
function spoilPackedFile(folder, name) {
  const script = fs.readFileSync(path.join(folder, 'grimalou.js'), 'latin1');
  const entry = new RegExp(`"filename":"/data/${name}","start":(\\d+)`).exec(script);
  assert(entry, `${name} is not in the data package`);
  const fd = fs.openSync(path.join(folder, 'grimalou.data'), 'r+');
  fs.writeSync(fd, Buffer.alloc(64), 0, 64, Number(entry[1]));
  fs.closeSync(fd);
}

// The report that replaces the canvas when the program cannot go on; the
// console has it too.
async function reportOf(browser, folder) {
  const server = await startServer(folder);
  const page = await browser.newPage();
  const logged = [];
  page.on('console', (m) => logged.push(m.text()));
  try {
    await page.goto(server.url);
    await page.waitForFunction(() => window.Module && Module.reportShown, {timeout: 60 * SECONDS});
    const shown = await page.evaluate(() => ({
      text: document.getElementById('report').textContent,
      canvas: getComputedStyle(document.getElementById('canvas')).display,
    }));
    assert.strictEqual(shown.canvas, 'none', 'the canvas is still shown beside the report');
    assert(logged.some((line) => line.includes(shown.text)), `the console lacks "${shown.text}"`);
    return shown.text;
  } finally {
    await page.close();
    server.stop();
    fs.rmSync(folder, {recursive: true});
  }
}

async function checkReports(browser) {
  const unreadable = await reportOf(browser, siteCopy((f) => spoilPackedFile(f, 'images3.png')));
  assert.match(unreadable, /^Ravlen Runtime Error : .*images3\.png/);
  console.log('ok - an unreadable data file is reported on the page in place of the canvas');
  const missing = await reportOf(browser, siteCopy((f) => fs.rmSync(path.join(f, 'grimalou.data'))));
  assert.match(missing, /^Ravlen Runtime Error : .*grimalou\.data/);
  console.log('ok - a missing data package is reported the same way');
}

// A finger drag up from `point` by `dy` pixels, a sample every couple of
// frames, held a while at the end.
async function dragUp(page, point, dy) {
  await page.touchscreen.touchStart(point.x, point.y);
  await frames(page, 4);
  for (let d = 4; d <= dy; d += 4) {
    await page.touchscreen.touchMove(point.x, point.y - d);
    await frames(page);
  }
  await frames(page, 10);
  await page.touchscreen.touchEnd();
}

// The picture once two screenshots in a row agree.
async function settled(page, what) {
  let previous = await shot(page);
  return waitForPicture(page, what, (p) => {
    const still = changedShare(p, previous, {x: 0, y: 0, w: p.width, h: p.height}, 0) === 0;
    previous = p;
    return still;
  });
}

// Exercises in the browser: a recording saved with Ctrl+S into the library
// in the browser's storage, kept across a reload, its link played in a new
// tab to the face that was seen; files imported through the page, the
// program's reader refusing what it cannot play.
async function checkExercises(browser) {
  const seeds = path.join(__dirname, '../fuzz/fuzz_exercise');
  const server = await startServer(site);
  const page = await browser.newPage();
  try {
    await page.setViewport({width: 800, height: 500, hasTouch: true});
    await page.goto(server.url);
    const title = await waitForTitle(page);
    await page.touchscreen.tap(GIRL_CARD.x, GIRL_CARD.y);
    await waitForPicture(page, "the girl's face", (p) => changedShare(p, title) > 0.2);
    await page.keyboard.press('KeyR');
    await frames(page, 4);
    await dragUp(page, RIGHT_EYE, 24);
    await page.keyboard.press('KeyT');
    await frames(page, 4);
    await page.keyboard.press('KeyR');
    const live = await settled(page, 'the end of the recording');
    await page.keyboard.down('ControlLeft');
    await page.keyboard.press('KeyS');
    await page.keyboard.up('ControlLeft');
    await page.waitForFunction(() => Module.exercises.list().length === 1, {timeout: 20 * SECONDS});
    await page.evaluate(() => Module.exercises.persist());
    await page.reload();
    await firstFrame(page);
    const [saved] = await page.evaluate(() => Module.exercises.list());
    assert.match(saved, /^\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d_girl\.grimalou$/);
    console.log("ok - Ctrl+S saves the recording into the library in the browser's storage, kept across a reload");

    const text = await page.evaluate((name) => Module.exercises.textOf(name), saved);
    const link = await page.evaluate((t) => Module.exercises.linkOf(t), text);
    assert(link.length < text.length, 'the link is not compressed');
    // Opened as a parent opens a link sent to them: in a new tab.
    const linked = await browser.newPage();
    await linked.setViewport({width: 800, height: 500, hasTouch: true});
    await linked.goto(link);
    // The homework shows what it is first; a tap anywhere starts it.
    await firstFrame(linked);
    await frames(linked, 10);
    await linked.touchscreen.tap(400, 250);
    await waitForPicture(linked, 'the face of the recording played from its link',
                         (p) => changedShare(p, live, FACE_UNDER_PANEL, 0) === 0);
    await linked.close();
    console.log('ok - an exercise link plays its exercise to the face that was seen');

    // Damaged links, opened on a phone: cut in half, with characters no link
    // has, and empty. Each opens the title with a message that stays until
    // dismissed, leaves the address, and changes nothing in the library.
    const library = await page.evaluate(() => Module.exercises.list());
    const fragment = link.slice(link.indexOf('#e=') + 3);
    for (const damaged of [fragment.slice(0, fragment.length >> 1), fragment.slice(0, 9) + '*%' + fragment.slice(9), '']) {
      const opened = await browser.newPage();
      await opened.setViewport({width: 800, height: 500, hasTouch: true});
      await opened.goto(server.url + '#e=' + damaged);
      await waitForTitle(opened);
      await frames(opened, 10);
      // (A change of isMobile would reload the page.)
      await opened.setViewport({width: 390, height: 844, deviceScaleFactor: 3, hasTouch: true});
      const shown = await opened.evaluate(() => {
        const notice = document.getElementById('notice');
        const button = notice.querySelector('button').getBoundingClientRect();
        return {text: notice.hidden ? '' : notice.querySelector('p').textContent,
                fontPx: parseFloat(getComputedStyle(notice).fontSize), button: Math.min(button.width, button.height),
                right: notice.getBoundingClientRect().right, report: document.getElementById('report').textContent,
                address: location.href, library: Module.exercises.list()};
      });
      assert.strictEqual(shown.text, 'This exercise link is damaged: ask for it again.', `#e=${damaged}`);
      assert(shown.fontPx >= 12 && shown.button >= 44 && shown.right <= 390, `the message is not readable on a phone: ${JSON.stringify(shown)}`);
      assert.strictEqual(shown.report, '');
      assert.strictEqual(shown.address, server.url, 'the damaged link stays in the address');
      assert.deepStrictEqual(shown.library, library);
      await opened.tap('#notice button');
      await opened.waitForFunction(() => document.getElementById('notice').hidden, {timeout: 20 * SECONDS});
      await opened.close();
    }
    console.log('ok - a damaged link opens the title with a message until dismissed, the library unchanged');

    await page.click('#exercises-button');
    await (await page.$('#exercises-import')).uploadFile(...['newer', 'plain', 'cut'].map((f) => path.join(seeds, f)));
    await page.waitForFunction(() => document.querySelectorAll('#exercises-list li').length === 2 &&
                               [...document.querySelectorAll('#exercises-message div')].every((e) => e.textContent),
                               {timeout: 20 * SECONDS});
    const refusals = await page.$$eval('#exercises-message div', (lines) => lines.map((e) => e.textContent));
    assert.strictEqual(refusals.length, 2, refusals.join('\n'));
    assert.match(refusals[0], /^newer .*newer version/);
    assert.match(refusals[1], /^cut is not an exercise/);
    assert((await page.evaluate(() => Module.exercises.list())).includes('plain.grimalou'));
    console.log('ok - of several files imported at once, each refusal is reported by name');

    // The panel lists the library in the program's own order: by date, then
    // by save number, never as text sorts the names.
    const stem = saved.replace(/\.grimalou$/, '');
    const order = await page.evaluate((t, stem) => {
      for (const n of ['-10', '-9']) Module.exercises.importText(stem + n + '.grimalou', t);
      return Module.exercises.list().filter((n) => n.startsWith(stem));
    }, text, stem);
    assert.deepStrictEqual(order, [stem + '-10.grimalou', stem + '-9.grimalou', stem + '.grimalou']);
    console.log("ok - the page lists the library in the program's order");

    // Turned upright on a screen of twice the density: the picture is drawn
    // at the screen's own pixels.
    await page.setViewport({width: 500, height: 800, deviceScaleFactor: 2, hasTouch: true});
    await page.waitForFunction(() => Module.canvas.width === 1000 && Module.canvas.height === 1600,
                               {timeout: 20 * SECONDS});
    console.log('ok - the canvas follows a rotation at the pixel density of the screen');
  } finally {
    await page.close();
    server.stop();
  }
}

async function main() {
  const server = await startServer(site);
  const browser = await launchBrowser();
  const failures = [];
  try {
    const page = await browser.newPage();
    page.on('console', (m) => { if (m.type() === 'error') failures.push(m.text()); });
    await page.setViewport({width: 800, height: 500, hasTouch: true, isMobile: false});
    // A first visit on a slow connection shows the program's name and the
    // bytes loaded of the total.
    await page.emulateNetworkConditions({download: 4e6 / 8, upload: 1e6 / 8, latency: 20});
    await page.goto(server.url);
    await page.waitForFunction(() => {
      const bar = document.querySelector('#status .bar');
      const share = Number(bar.getAttribute('aria-valuenow'));
      return bar.offsetWidth > 0 && share > 0 && share < 100 && / of /.test(document.getElementById('status').textContent);
    }, {timeout: 60 * SECONDS, polling: 'mutation'});
    await page.emulateNetworkConditions(null);
    console.log('ok - the page shows the bytes loaded of the total while it loads');

    const title = await waitForTitle(page);
    console.log('ok - the title is drawn as on the desktop');

    // The offline copy comes from what the page downloaded: each file once.
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    const sent = server.answers.reduce((sum, answer) => sum + answer.bytes, 0);
    assert(sent <= 1.1 * siteBytes(site), `a first visit sent ${sent} bytes for a site of ${siteBytes(site)}`);
    const mirror = server.answers.filter((answer) => answer.path.startsWith('/mirror/'));
    assert.deepStrictEqual(mirror, [], 'a first visit downloads the camera mirror');
    console.log('ok - a first visit downloads the site once, its offline copy included');

    await page.touchscreen.tap(GIRL_CARD.x, GIRL_CARD.y);
    const face = await waitForPicture(page, "the girl's face after a tap on her card",
                                      (p) => changedShare(p, title) > 0.2);
    console.log("ok - a tap on the girl's card shows her face");

    // A browser holds the sound device suspended until the person acts on
    // the page, and may suspend it again later (headless Chromium does
    // neither: the test suspends it). The next touch that ends starts it.
    const soundRuns = () => page.waitForFunction(
        () => Object.values(AL.contexts).every((c) => c.audioCtx.state === 'running'), {timeout: 20 * SECONDS});
    await soundRuns();
    await page.evaluate(() => Promise.all(Object.values(AL.contexts).map((c) => c.audioCtx.suspend())));

    // A hidden tab suspends Grimalou as a window losing the focus does: the
    // finger that was down when the tab went away is let go, so moving it
    // afterwards drags nothing.
    await page.touchscreen.touchStart(RIGHT_EYE.x, RIGHT_EYE.y);
    await frames(page, 4);
    const other = await browser.newPage();
    await other.bringToFront();
    await page.waitForFunction(() => document.visibilityState === 'hidden', {timeout: 20 * SECONDS});
    await page.bringToFront();
    await page.waitForFunction(() => document.visibilityState === 'visible' && document.hasFocus(),
                               {timeout: 20 * SECONDS});
    await other.close();
    for (let d = 4; d <= 44; d += 4) {
      await page.touchscreen.touchMove(RIGHT_EYE.x, RIGHT_EYE.y - d);
      await frames(page);
    }
    await page.touchscreen.touchEnd();
    await frames(page, 10);
    assert(changedShare(await shot(page), face, EYES) < 0.01, 'a finger held across a hidden tab dragged the eye');
    console.log('ok - a hidden tab suspends: a finger held across it drags nothing');
    await soundRuns();
    console.log('ok - a suspended sound device starts again when a finger is lifted');

    await dragUp(page, RIGHT_EYE, 44);
    const eyes = await waitForPicture(page, 'the eyes changed by a finger drag',
                                      (p) => changedShare(p, face, EYES) > 0.05);
    assert(changedShare(eyes, face, MOUTH) < 0.01, 'the drag on the eye changed the mouth');
    console.log('ok - a finger drag up on her right eye changes the eyes');

    await page.keyboard.press('KeyT');
    const tongue = await waitForPicture(page, 'the tongue after T', (p) => changedShare(p, eyes, MOUTH) > 0.05);
    console.log('ok - T brings out the tongue');

    // A thumb resting beside the face, and a second finger that drags the
    // closed eye down, open: the thumb holds nothing, so it blocks nothing.
    const touch = await page.target().createCDPSession();
    const thumb = {x: 60, y: 440, id: 1};
    const fingers = (type, d) => touch.send('Input.dispatchTouchEvent', {
      type, touchPoints: d === null ? [] : [thumb, ...(d < 0 ? [] : [{x: RIGHT_EYE.x, y: RIGHT_EYE.y + d, id: 2}])]});
    await fingers('touchStart', -1);
    await frames(page, 4);
    for (let d = 0; d <= 44; d += 4) {
      await fingers(d === 0 ? 'touchStart' : 'touchMove', d);
      await frames(page);
    }
    await fingers('touchEnd', null);
    await waitForPicture(page, 'the eyes changed by a second finger', (p) => changedShare(p, tongue, EYES) > 0.05);
    console.log('ok - a thumb resting on nothing leaves a second finger free to drag an eye');

    const fullscreen = (on) => page.waitForFunction((on) => !!document.fullscreenElement === on,
                                                    {timeout: 20 * SECONDS}, on);
    await page.keyboard.press('F11');
    await fullscreen(true);
    await page.keyboard.press('F11');
    await fullscreen(false);
    await page.click('#fullscreen');
    await fullscreen(true);
    await page.click('#fullscreen');
    await fullscreen(false);
    console.log("ok - F11 and the page's button switch full screen on and off");

    // Offline: the service worker has the site once it is active; then the
    // server goes away and the browser's network is cut.
    // A lost graphics context (a phone short of memory) that comes back:
    // the page starts again on the title.
    await Promise.all([page.waitForNavigation(), page.evaluate(() => {
      const lose = Module.canvas.getContext('webgl2').getExtension('WEBGL_lose_context');
      Module.canvas.addEventListener('webglcontextlost', () => setTimeout(() => lose.restoreContext()),
                                     {once: true});
      lose.loseContext();
    })]);
    await waitForTitle(page);
    console.log('ok - a lost and restored graphics context starts the page again on the title');

    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    server.stop();
    await page.setOfflineMode(true);
    await page.reload();
    await waitForTitle(page);
    console.log('ok - a reload with the network cut shows the title again');

    assert.deepStrictEqual(failures, [], 'errors in the console');
    await checkReports(browser);
    await checkExercises(browser);
  } finally {
    await browser.close();
    server.stop();
  }
}

main().then(() => console.log('web: 18 passed, 0 failed'), (error) => {
  console.error(error);
  process.exit(1);
});
