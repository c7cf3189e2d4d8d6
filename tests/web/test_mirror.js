// The camera mirror with Chromium's fake camera, fed videos made from real
// photographs (mirror_videos.py): each starts on the neutral face, then
// holds a pose, and loops. The cartoon is posed by the face screen's keys
// and drags; the star must come when the faces match and never when they
// differ. Also: a refused camera leaves the program as it was, turning the
// mirror off stops the camera, and the face reader, once loaded, makes no
// network request.
//   node test_mirror.js SITE_FOLDER
'use strict';
const assert = require('assert');
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {TIME_FACTOR, startServer, launchBrowser, firstFrame, frames} = require('./browser.js');

const [site] = process.argv.slice(2);
const SECONDS = 1000 * TIME_FACTOR;

let passed = 0;
function ok(text) {
  passed += 1;
  console.log('ok - ' + text);
}

// Places on the 800 x 500 page before the mirror takes its share: the
// girl's card, the mouth's right corner, the right eye and the right brow.
const GIRL_CARD = {x: 243, y: 248};
const MOUTH_CORNER = {x: 434, y: 307};
const RIGHT_EYE = {x: 461, y: 231};
const RIGHT_BROW = {x: 464, y: 166};

async function drag(page, from, dx, dy) {
  await page.touchscreen.touchStart(from.x, from.y);
  await frames(page, 4);
  const steps = Math.ceil(Math.max(Math.abs(dx), Math.abs(dy)) / 4);
  for (let i = 1; i <= steps; i++) {
    await page.touchscreen.touchMove(from.x + dx * i / steps, from.y + dy * i / steps);
    await frames(page);
  }
  await frames(page, 10);
  await page.touchscreen.touchEnd();
  await frames(page, 4);
}

// The cartoon's poses: what the face screen is given, and the targets it
// must then ask of the child.
const POSES = {
  rest: {pose: async () => {}, targets: {mouth: 'closed', width: null}},
  teeth: {pose: (page) => page.keyboard.press('KeyE'), targets: {mouth: 'open'}},
  lips: {pose: (page) => page.keyboard.press('KeyP'), targets: {width: 'pout'}},
  wide: {pose: (page) => drag(page, MOUTH_CORNER, 140, 0), targets: {mouth: 'closed', width: 'smile'}},
  eyesShut: {pose: (page) => drag(page, RIGHT_EYE, 0, -44), targets: {eyeRight: 'closed', eyeLeft: 'closed'}},
  browsUp: {pose: (page) => drag(page, RIGHT_BROW, 0, -24), targets: {brows: 'up'}},
};

function targets(page) {
  return page.evaluate(() => JSON.parse(Module.ccall('grimalou_mirror_targets', 'string', [], []) || 'null'));
}
// Waits until the cartoon asks `expected` (a key's gesture takes some
// frames); fails with what it asks.
async function waitForTargets(page, expected, what) {
  const fn = (e) => {
    const t = JSON.parse(Module.ccall('grimalou_mirror_targets', 'string', [], []) || 'null');
    return t && Object.entries(e).every(([part, value]) => t[part] === value);
  };
  try {
    await page.waitForFunction(fn, {timeout: 20 * SECONDS}, expected);
  } catch (error) {
    throw new Error(`${what}: the cartoon asks ${JSON.stringify(await targets(page))}`);
  }
}

function reading(page) {
  return page.evaluate(() => JSON.parse(document.body.dataset.mirror || '{}'));
}

// Polls the mirror's reading until `accept` takes it; fails naming `what`
// with the last reading.
async function waitForReading(page, what, accept, seconds = 40) {
  const deadline = Date.now() + seconds * SECONDS;
  let last;
  while (Date.now() < deadline) {
    last = await reading(page);
    if (accept(last)) return last;
    await frames(page, 3);
  }
  throw new Error(`${what}: not seen within ${seconds} s; last reading ${JSON.stringify(last)}`);
}

async function faceScreen(browser, server, poseName) {
  const page = await browser.newPage();
  await page.setViewport({width: 800, height: 500, hasTouch: true});
  await page.goto(server.url);
  await firstFrame(page);
  await page.waitForFunction(() => Module.running, {timeout: 30 * SECONDS});
  await page.touchscreen.tap(GIRL_CARD.x, GIRL_CARD.y);
  await page.waitForSelector('#mirror-button:not([hidden])', {timeout: 30 * SECONDS});
  await frames(page, 10);
  await POSES[poseName].pose(page);
  await waitForTargets(page, POSES[poseName].targets, `the cartoon posed "${poseName}"`);
  return page;
}

// The mirror on once so that the face reader is loaded, then off and on
// again: the fake camera starts its video over, on the neutral face, which
// the calibration takes.
async function mirrorOnCalibrated(page) {
  await page.keyboard.press('KeyC');
  await waitForReading(page, 'the face reader loaded, a face seen', (r) => r.face);
  const tracks = await page.evaluateHandle(() => document.querySelector('#mirror video').srcObject.getTracks());
  await page.keyboard.press('KeyC');
  const stopped = await page.evaluate((tracks) => ({
    ended: tracks.every((t) => t.readyState === 'ended'),
    shown: document.body.classList.contains('mirror-on'),
  }), tracks);
  assert.deepStrictEqual(stopped, {ended: true, shown: false}, 'turning the mirror off leaves the camera on');
  await page.keyboard.press('KeyC');
  return waitForReading(page, 'the calibration', (r) => r.state === 'on' && r.baseline);
}

// With the cartoon posed as `poseName` and the camera showing `video`: the
// star comes, or, when `star` is false, a whole pose of the video goes by
// (`posed` tells it from the neutral face) without one.
async function checkMatch(video, poseName, star, posed) {
  // Made for the case and thrown away after it: each video is 46 MB.
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'grimalou-camera-'));
  execFileSync('/usr/bin/python3', [path.join(__dirname, 'mirror_videos.py'), folder, video], {stdio: 'inherit'});
  const server = await startServer(site);
  const camera = await launchBrowser(['--use-fake-ui-for-media-stream', '--use-fake-device-for-media-stream',
                                      `--use-file-for-fake-video-capture=${path.join(folder, video + '.y4m')}`]);
  try {
    const page = await faceScreen(camera, server, poseName);
    const calibrated = await mirrorOnCalibrated(page);
    const answered = server.answers.length;
    if (star) {
      await waitForReading(page, `the star for ${video} and the cartoon's ${poseName}`, (r) => r.stars > 0);
    } else {
      let seen = 0;
      await waitForReading(page, `${video}'s pose come and go`, (r) => {
        if (r.measures && posed(r.measures, calibrated.baseline)) seen++;
        else if (seen >= 3) return true;
        return false;
      });
      const last = await reading(page);
      assert.strictEqual(last.stars, 0, `a star for ${video} with the cartoon's ${poseName}`);
    }
    // The browser's own check on the service worker is no request of the mirror's.
    const requests = server.answers.slice(answered).filter((a) => a.path !== '/sw.js');
    assert.deepStrictEqual(requests, [], 'the mirror made network requests once its reader had loaded');
    ok(`${video} with the cartoon's ${poseName}: ${star ? 'a star' : 'no star'}, no network request`);
  } finally {
    await camera.close();
    server.stop();
    fs.rmSync(folder, {recursive: true});
  }
}

// No camera, or one refused: a plain message, the mirror off, the cartoon
// as usable as before.
async function checkWithoutCamera(browser, what, message) {
  const server = await startServer(site);
  const context = await browser.createBrowserContext();
  try {
    await context.overridePermissions(server.url, []);
    const page = await faceScreen(context, server, 'rest');
    await page.click('#mirror-button');
    await waitForReading(page, 'the refusal', (r) => r.state === 'refused');
    const shown = await page.evaluate(() => ({
      notice: document.querySelector('#notice').hidden ? '' : document.querySelector('#notice p').textContent,
      mirror: document.body.classList.contains('mirror-on'),
    }));
    assert.match(shown.notice, message);
    assert.strictEqual(shown.mirror, false, 'the mirror takes room without a camera');
    await page.click('#notice button');
    await POSES.lips.pose(page);
    await waitForTargets(page, POSES.lips.targets, 'the face screen answering its keys after the refusal');
    ok(`${what}: a plain message, the program goes on`);
  } finally {
    await context.close();
    server.stop();
  }
}

async function main() {
  for (const [args, what, message] of [[[], 'no camera', /No camera was found/],
                                        [['--use-fake-device-for-media-stream'], 'a refused camera',
                                         /camera was not allowed/]]) {
    const browser = await launchBrowser(args);
    try {
      await checkWithoutCamera(browser, what, message);
    } finally {
      await browser.close();
    }
  }
  const opened = (m, b) => m.mouthOpen > b.mouthOpen + 0.06;
  const widened = (m, b) => m.mouthWidth > b.mouthWidth * 1.05;
  await checkMatch('astronaut-open', 'teeth', true);
  await checkMatch('astronaut-pout', 'lips', true);
  await checkMatch('hopper-smile', 'wide', true);
  await checkMatch('astronaut-shut', 'eyesShut', true);
  await checkMatch('astronaut-brows', 'browsUp', true);
  await checkMatch('hopper-open', 'lips', false, opened);
  await checkMatch('astronaut-smile', 'eyesShut', false, widened);
}

main().then(() => {
  console.log(`mirror: ${passed} passed, 0 failed`);
  process.exit(0);
}, (error) => {
  console.error(error);
  console.log(`mirror: ${passed} passed, 1 failed`);
  process.exit(1);
});
