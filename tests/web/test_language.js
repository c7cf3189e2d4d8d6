// The browser build in French: the language comes from navigator.languages,
// the page's own controls and the program speak it (the help read back by
// OCR), the title's language button switches both at once, and the choice
// outlives a reload.
//   node test_language.js SITE_FOLDER [SCREENSHOT_FOLDER]
'use strict';
const assert = require('assert');
const {execFileSync} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const {TIME_FACTOR, startServer, launchBrowser, firstFrame, frames} = require('./browser.js');

const [site, shots = fs.mkdtempSync(path.join(os.tmpdir(), 'grimalou-language-'))] = process.argv.slice(2);
const SECONDS = 1000 * TIME_FACTOR;
// The title's language box (40, 592, 260 x 56 virtual units) at 0.625.
const LANGUAGE_BUTTON = {x: 106, y: 387};
const FRENCH_WORDS = ['Aide', 'visage', 'écran', 'Bibliothèque', 'Échap', 'lèvres', 'répéter'];

const language = (page, code) => page.waitForFunction((code) => document.documentElement.lang === code,
                                                      {timeout: 60 * SECONDS}, code);
const attribute = (page, id, name) => page.$eval('#' + id, (e, name) => (name ? e.getAttribute(name) : e.textContent), name);

// The screenshot's words: enlarged, grey, its light text made dark.
function ocr(file) {
  const big = path.join(path.dirname(file), 'ocr-' + path.basename(file));
  execFileSync('convert', [file, '-resize', '300%', '-colorspace', 'Gray', '-negate', big]);
  return execFileSync('tesseract', [big, '-', '-l', 'fra'], {encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore']});
}

async function main() {
  const server = await startServer(site);
  const browser = await launchBrowser();
  try {
    const page = await browser.newPage();
    await page.evaluateOnNewDocument(() => {
      Object.defineProperty(navigator, 'languages', {get: () => ['fr-FR', 'fr', 'en']});
      Object.defineProperty(navigator, 'language', {get: () => 'fr-FR'});
    });
    await page.setViewport({width: 800, height: 500});
    await page.goto(server.url);
    await firstFrame(page);
    await language(page, 'fr');
    assert.strictEqual(await attribute(page, 'exercises-button', 'title'),
                       'Exercices : importer, télécharger, partager un lien');
    assert.strictEqual(await attribute(page, 'exercises-log'), 'Télécharger le journal d’entraînement');
    console.log('ok - navigator.languages chooses French, for the page and the program');

    await frames(page, 5);
    await page.screenshot({path: path.join(shots, 'web_title_fr.png')});
    await page.keyboard.press('F1');
    await frames(page, 5);
    const help = path.join(shots, 'web_help_fr.png');
    await page.screenshot({path: help});
    const text = ocr(help);
    const found = FRENCH_WORDS.filter((w) => text.includes(w));
    assert(found.length >= FRENCH_WORDS.length - 2, `the French help read back as:\n${text}\n(found ${found})`);
    console.log('ok - the help is drawn in French, accents and all');

    await page.keyboard.press('Escape');
    await frames(page, 5);
    await page.mouse.click(LANGUAGE_BUTTON.x, LANGUAGE_BUTTON.y);
    await language(page, 'en');
    assert.strictEqual(await attribute(page, 'exercises-button', 'title'), 'Exercises: import, download, share a link');
    console.log("ok - the title's language button switches the program and the page at once");

    await page.evaluate(() => Module.exercises.persist());
    await page.reload();
    await firstFrame(page);
    await language(page, 'en');
    assert.strictEqual(await attribute(page, 'exercises-heading'), 'Exercises');
    console.log('ok - the language chosen outlives a reload, whatever the browser prefers');
  } finally {
    await browser.close();
    server.stop();
  }
}

main().then(() => console.log('web language: 4 passed, 0 failed'), (error) => {
  console.error(error);
  process.exit(1);
});
