// Screenshots of the browser build for the README, as a phone and a tablet
// show it (touch, high-density screens), and the camera mirror beside the
// cartoon with a fake camera showing a photograph:
//   node tools/web-screenshots.js [OUT_FOLDER]     (after `make web`)
'use strict';
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {SOURCE_DIR, startServer, launchBrowser, firstFrame, frames} = require('../tests/web/browser.js');

const OUT = process.argv[2] || path.join(SOURCE_DIR, 'docs/screens');

// name, CSS size, pixel density, and whether the girl's face is chosen (by a
// tap on the middle of her card, whose place follows the letterbox).
const SCENES = [
  {name: 'web_phone_title', width: 390, height: 844, scale: 2, face: false},
  {name: 'web_phone_face', width: 844, height: 390, scale: 2, face: true},
  {name: 'web_tablet_face', width: 1024, height: 768, scale: 2, face: true},
];
const MIRROR_SCENES = [
  {name: 'web_tablet_mirror', width: 1024, height: 768, scale: 1, face: true, mirror: true},
  {name: 'web_tablet_mirror_upright', width: 768, height: 1024, scale: 1, face: true, mirror: true},
  {name: 'web_phone_mirror', width: 844, height: 390, scale: 1, face: true, mirror: true},
  {name: 'web_phone_mirror_upright', width: 390, height: 844, scale: 1, face: true, mirror: true},
];

// The page point of a virtual point (1280 x 800, letterboxed and centred).
function toPage(scene, vx, vy) {
  const s = Math.min(scene.width / 1280, scene.height / 800);
  return {x: (scene.width - 1280 * s) / 2 + vx * s, y: (scene.height - 800 * s) / 2 + vy * s};
}

async function shoot(browser, server, scene) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({width: scene.width, height: scene.height, deviceScaleFactor: scene.scale,
                          hasTouch: true, isMobile: true});
  await page.goto(server.url);
  await firstFrame(page);
  if (scene.face) {
    const card = toPage(scene, 385, 400);
    await page.touchscreen.tap(card.x, card.y);
  }
  if (scene.mirror) {
    await page.waitForSelector('#mirror-button:not([hidden])');
    await page.click('#mirror-button');
    // The photograph matches the cartoon's resting face: the star comes.
    await page.waitForFunction(() => JSON.parse(document.body.dataset.mirror || '{}').star, {timeout: 120000});
  }
  // Enough frames for the face's entry to be drawn.
  await frames(page, 30);
  const file = path.join(OUT, scene.name + '.png');
  await page.screenshot({path: file});
  console.log('wrote', path.relative(process.cwd(), file));
  await context.close();
}

async function main() {
  const server = await startServer(path.join(SOURCE_DIR, 'build-web/site'));
  const videos = fs.mkdtempSync(path.join(os.tmpdir(), 'grimalou-camera-'));
  execFileSync('/usr/bin/python3', [path.join(SOURCE_DIR, 'tests/web/mirror_videos.py'), videos, 'astronaut-neutral']);
  const camera = ['--use-fake-ui-for-media-stream', '--use-fake-device-for-media-stream',
                  `--use-file-for-fake-video-capture=${path.join(videos, 'astronaut-neutral.y4m')}`];
  try {
    for (const [scenes, args] of [[SCENES, []], [MIRROR_SCENES, camera]]) {
      const browser = await launchBrowser(args);
      try {
        for (const scene of scenes) await shoot(browser, server, scene);
      } finally {
        await browser.close();
      }
    }
  } finally {
    server.stop();
    fs.rmSync(videos, {recursive: true});
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
