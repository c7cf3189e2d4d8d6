// Homework in the browser: a link made from an exercise with a title, a
// note, a repetition count and a hold shows its intro, plays after a tap,
// is kept in the library with its title, and leaves a row in the practice
// log that the exercises panel downloads.
//   node test_homework.js SITE_FOLDER
'use strict';
const assert = require('assert');
const fs = require('fs');
const path = require('path');
const {TIME_FACTOR, startServer, launchBrowser, firstFrame, frames} = require('./browser.js');
const {decodePng, changedShare} = require('./pictures.js');

const [site] = process.argv.slice(2);
const SECONDS = 1000 * TIME_FACTOR;
const LOG = '/home/web_user/.local/share/grimalou/practice-log.csv';

// The intro's lines on the 800 x 500 page (the virtual screen at 0.625):
// the title, the note under it, and the prescription under that.
const TITLE_BAND = {x: 212, y: 33, w: 376, h: 24};
const NOTE_BAND = {x: 212, y: 66, w: 376, h: 17};
const PRESCRIPTION_BAND = {x: 212, y: 86, w: 376, h: 16};
// The end panel's "Keep in my library".
const KEEP = {x: 469, y: 106};
// An upright phone: the 800 x 1280 upright screen letterboxed into 390 x 844
// CSS px; the title's Library button and the first card's Edit, in its units.
const PHONE = {w: 390, h: 844, upp: 800 / 390, library: [220, 1124], edit: [90, 368]};
PHONE.top = (PHONE.h - 1280 / PHONE.upp) / 2;

const seed = fs.readFileSync(path.join(__dirname, '../fuzz/fuzz_exercise/prescription'), 'utf8');
function prescribed(title, note) {
  return seed.replace(/^title .*$/m, `title ${title}`).replace(/^note .*$/m, `note ${note}`)
    .replace(/^repeat .*$/m, 'repeat 2').replace(/^hold .*$/m, 'hold 1');
}

async function shot(page) {
  return decodePng(Buffer.from(await page.screenshot({encoding: 'base64'}), 'base64'));
}

async function open(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({width: 800, height: 500, hasTouch: true});
  await page.goto(url);
  await firstFrame(page);
  await frames(page, 10);
  return page;
}

async function main() {
  const server = await startServer(site);
  const browser = await launchBrowser();
  try {
    const home = await open(browser, server.url);
    const first = prescribed('Lèvres en rond', 'Deux fois par jour.');
    const other = prescribed('Cheeks puffed', 'Once, with a grown-up.');
    const [link, otherLink] = await home.evaluate((a, b) => Promise.all([a, b].map(Module.exercises.linkOf)),
                                                  first, other);

    // Two links that differ in their title and note only: their intros
    // differ in the title's and the note's lines, not in the prescription's.
    const page = await open(browser, link);
    const intro = await shot(page);
    const otherPage = await open(browser, otherLink);
    const otherIntro = await shot(otherPage);
    await otherPage.close();
    assert(changedShare(intro, otherIntro, TITLE_BAND, 0) > 0.05, 'the intro does not show the title');
    assert(changedShare(intro, otherIntro, NOTE_BAND, 0) > 0.05, 'the intro does not show the note');
    assert.strictEqual(changedShare(intro, otherIntro, PRESCRIPTION_BAND, 0), 0);
    console.log('ok - a link\'s intro shows its title and note');

    // A tap plays it twice; its end writes one row in the practice log.
    await page.touchscreen.tap(400, 250);
    await page.waitForFunction((log) => FS.analyzePath(log).exists, {timeout: 60 * SECONDS}, LOG);
    const logged = await page.evaluate((log) => FS.readFile(log, {encoding: 'utf8'}), LOG);
    const rows = logged.split('\r\n').filter((line) => line);
    assert.strictEqual(rows.length, 2, logged);
    assert.match(rows[1], /^[-0-9T:]+,Lèvres en rond,link\.grimalou,girl,2,2,$/);
    console.log('ok - a tap plays it twice, and the practice log has its row');

    await frames(page, 10);
    await page.touchscreen.tap(KEEP.x, KEEP.y);
    await page.waitForFunction(() => Module.exercises.list().length === 1, {timeout: 20 * SECONDS});
    const kept = await page.evaluate(() => Module.exercises.textOf(Module.exercises.list()[0]));
    for (const line of ['title Lèvres en rond', 'note Deux fois par jour.', 'repeat 2', 'hold 1'])
      assert(kept.split('\n').includes(line), `the kept file lacks "${line}":\n${kept}`);
    console.log('ok - "Keep in my library" keeps it with its title');

    // The panel's download: the blob handed to the download link.
    await page.evaluate(() => {
      window.downloaded = [];
      const make = URL.createObjectURL;
      URL.createObjectURL = (blob) => { window.downloaded.push(blob); return make(blob); };
    });
    await page.click('#exercises-button');
    await page.click('#exercises-log');
    await page.waitForFunction(() => window.downloaded.length === 1, {timeout: 20 * SECONDS});
    const csv = await page.evaluate(() => window.downloaded[0].text());
    assert.strictEqual(csv, logged);
    console.log('ok - the exercises panel downloads the practice log');
    await page.close();

    // On an upright phone the card's editor puts the page's own text box
    // over its title, where the phone's keyboard types; Enter saves.
    const phone = await browser.newPage();
    await phone.setViewport({width: PHONE.w, height: PHONE.h, deviceScaleFactor: 3, hasTouch: true, isMobile: true});
    await phone.goto(server.url);
    await firstFrame(phone);
    await phone.waitForFunction(() => Module.exercises.list().length === 1, {timeout: 20 * SECONDS});
    const tap = (x, y) => phone.touchscreen.tap(x / PHONE.upp, PHONE.top + y / PHONE.upp);
    await tap(...PHONE.library);
    await frames(phone, 10);
    await tap(...PHONE.edit);
    const box = await phone.waitForSelector('input.grimalou-field:not([hidden])', {timeout: 20 * SECONDS});
    const place = await box.boundingBox();
    assert(place.height >= 44, `the title's box is ${place.height} px high`);
    assert.strictEqual(await box.evaluate((e) => e.value), 'Lèvres en rond');
    await box.tap();
    await box.evaluate((e) => e.setSelectionRange(e.value.length, e.value.length));
    await phone.keyboard.type(', semaine 2');
    await phone.keyboard.press('Enter');
    await phone.waitForFunction(() => Module.exercises.textOf(Module.exercises.list()[0]).includes(
      'title Lèvres en rond, semaine 2\n'), {timeout: 20 * SECONDS});
    await phone.waitForSelector('input.grimalou-field', {hidden: true, timeout: 20 * SECONDS});
    console.log('ok - on a phone the title is typed in the page\'s own box and saved');
    await phone.close();
    await home.close();
  } finally {
    await browser.close();
    server.stop();
  }
}

main().then(() => console.log('web homework: 5 passed, 0 failed'), (error) => {
  console.error(error);
  process.exit(1);
});
