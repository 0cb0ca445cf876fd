// The page as an app on a desk and on a phone, in headless Chromium:
// axe-core finds no serious or moderate fault in any state a user reaches
// nor on the help page,
// Escape closes every dialog, the phone's toolbar is one row of targets a
// finger can hit, 高さに合わせる fits the columns to the pane without
// changing what is saved, and two fingers zoom the output pane. Run by
// ctest (web.app) with MIROTABE_CONVERT and MIROTABE_SITE set.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { downloaded as downloadedFile, openSite } from './browser.mjs';

const converter = process.env.MIROTABE_CONVERT;
const site = process.env.MIROTABE_SITE;
const folder = mkdtempSync(join(tmpdir(), 'mirotabe-app-'));
const downloads = join(folder, 'downloads');
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
let session;

const DESK = { width: 1280, height: 800 };
const PHONE = { width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3 };

// A fresh page of the site at `viewport`, ready for input. axe-core is
// injected, so the page's own policy is set aside for the test alone.
async function openPage(viewport) {
  const page = await session.browser.newPage();
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  await page.setBypassCSP(true);
  await page.setViewport(viewport);
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.goto(session.url);
  await page.waitForSelector('html[data-ready]');
  return page;
}

async function typeText(page, text) {
  await page.focus('#input');
  const cdp = await page.createCDPSession();
  await cdp.send('Input.insertText', { text });
  await cdp.detach();
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
}

// axe-core's serious and moderate findings on the page as it stands.
async function accessibilityFaults(page) {
  await page.addScriptTag({ content: axeSource });
  const violations = await page.evaluate(async () => (await window.axe.run(document)).violations
    .filter((violation) => violation.impact === 'serious' || violation.impact === 'moderate')
    .map((violation) => `${violation.id}: ${violation.nodes.map((node) => node.target.join(' ')).join(', ')}`));
  return violations;
}

before(async () => {
  session = await openSite(site);
});

after(async () => {
  await session?.close();
  rmSync(folder, { recursive: true, force: true });
});

// [the state, how to reach it from a page with text in it]
const STATES = [
  ['the panes', async () => {}],
  ['the settings dialog', (page) => page.click('#settings')],
  ['the picture dialog', (page) => page.click('#picture')],
  ['the page setup dialog', (page) => page.click('#page-setup')],
  ['the save dialog', (page) => page.click('#save')],
  ['a message', (page) => page.click('#about')],
];
for (const [name, viewport] of [['a desk', DESK], ['a phone', PHONE]]) {
  for (const scheme of ['light', 'dark']) {
    test(`axe-core finds no serious or moderate fault on ${name} in the ${scheme} scheme, dialogs open too`, async () => {
      const page = await openPage(viewport);
      await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: scheme }]);
      await typeText(page, '縦書きの「テスト」です。\nちょっと長めの二行目、ー。');
      const faults = [];
      for (const [state, reach] of STATES) {
        // Commands behind その他 on a phone are reached through it.
        if (await page.$eval('#more', (more) => getComputedStyle(more).display !== 'none')) await page.click('#more');
        await reach(page);
        faults.push(...(await accessibilityFaults(page)).map((fault) => `${state}: ${fault}`));
        // On a desk a dialog's buttons stand in view, not below a scroll.
        if (viewport === DESK && await page.$$eval('dialog[open] .buttons button', (buttons) => buttons.some((button) =>
          button.getBoundingClientRect().bottom > button.closest('dialog').getBoundingClientRect().bottom))) {
          faults.push(`${state}: its buttons are out of view`);
        }
        await page.keyboard.press('Escape');
        await page.waitForFunction(() => !document.querySelector('dialog[open]'));
      }
      // 使い方, the help page that the toolbar opens.
      await page.goto(new URL('help.html', session.url).href);
      faults.push(...(await accessibilityFaults(page)).map((fault) => `使い方: ${fault}`));
      assert.deepEqual(faults, []);
      assert.deepEqual(page.errors, []);
      await page.close();
    });
  }
}

test('the phone: one row of tools, every target a finger can hit, no drop asked for', async () => {
  const page = await openPage(PHONE);
  const measured = await page.evaluate(() => {
    const shown = (element) => element.getClientRects().length > 0 && getComputedStyle(element).visibility !== 'hidden';
    const targets = [...document.querySelectorAll('.toolbar button, .toolbar select, .toolbar a')].filter(shown);
    const tops = new Set(targets.map((target) => Math.round(target.getBoundingClientRect().top)));
    const small = targets.map((target) => [target.id || target.textContent, target.getBoundingClientRect()])
      .filter(([, box]) => box.width < 44 || box.height < 44).map(([id]) => id);
    return { rows: tops.size, small, placeholder: document.getElementById('input').shadowRoot.querySelector('textarea').placeholder };
  });
  assert.equal(measured.rows, 1);
  assert.deepEqual(measured.small, []);
  assert.match(measured.placeholder, /横書きの文章を入力/);
  assert.doesNotMatch(measured.placeholder, /ドロップ/);
  // その他 shows the rest, every target as large, and Escape closes it.
  await page.click('#more');
  const small = await page.$$eval('#more-menu button, #more-menu select, #more-menu a', (targets) => targets
    .filter((target) => target.getBoundingClientRect().height < 44 || target.getBoundingClientRect().width < 44)
    .map((target) => target.id));
  assert.deepEqual(small, []);
  await page.keyboard.press('Escape');
  assert.equal(await page.$eval('#more', (more) => more.getAttribute('aria-expanded')), 'false');
  // So are each dialog's: its buttons, boxes and the labels of its check boxes.
  for (const opener of ['#settings', '#picture', '#page-setup', '#save']) {
    if (await page.$eval('#more', (more) => getComputedStyle(more).display !== 'none')) await page.click('#more');
    await page.click(opener);
    const tooSmall = await page.$$eval('dialog[open] :is(button, select, input:not([type="checkbox"], [type="radio"]), label:has(> input[type="checkbox"]))',
      (targets) => targets.filter((target) => target.getClientRects().length > 0 && target.getBoundingClientRect().height < 44)
        .map((target) => target.id || target.textContent.trim()));
    assert.deepEqual(tooSmall, [], opener);
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => !document.querySelector('dialog[open]'));
  }
  await page.close();
});

// What mirotabe-convert writes for `text` under the default settings.
function converted(text) {
  const input = join(folder, 'input.txt');
  writeFileSync(input, text.replaceAll('\n', '\r\n'));
  writeFileSync(join(folder, 'Setting.ini'), '');
  return execFileSync(converter, ['--settings', join(folder, 'Setting.ini'), '--from', 'utf-8', '--encoding', 'utf-8', input]);
}

const downloaded = async (act) => (await downloadedFile(downloads, act)).bytes;

test('高さに合わせる fits the columns to the pane, on by default on a phone; saves and copies keep the settings', async () => {
  const page = await openPage(PHONE);
  const text = `${'縦書きの文章はこのように長く続いていきます。'.repeat(8)}\n${'二つ目の段落も同じように長く書かれています。'.repeat(6)}`;
  await typeText(page, text);
  const fits = () => page.$eval('#output', (pane) => {
    const rows = Number(pane.querySelector('.reader').dataset.rows);
    const sizer = pane.querySelector('.sizer');
    return { rows, fits: sizer.offsetHeight <= pane.clientHeight };
  });
  assert.equal(await page.$eval('#fit-height', (button) => button.getAttribute('aria-pressed')), 'true');
  assert.ok((await fits()).fits);
  await page.click('#more');
  await page.click('#fit-height');
  assert.equal((await fits()).fits, false);
  await page.click('#more');
  await page.click('#fit-height');
  assert.ok((await fits()).fits);
  // The saved text is the settings' layout all the same.
  const saved = await downloaded(async () => {
    await page.click('#save');
    await page.select('#save-encoding', 'utf-8');
    await page.click('#save-dialog button[value="ok"]');
  });
  assert.ok(saved.equals(converted(text)));
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('two fingers spread on the output pane zoom its text, and the size is kept', async () => {
  const page = await openPage(PHONE);
  await typeText(page, '縦書き');
  const paneSize = () => page.evaluate(() => localStorage.getItem('mirotabe.view.paneSize'));
  const box = await (await page.$('#output')).boundingBox();
  const [x, y] = [box.x + box.width / 2, box.y + box.height / 2];
  const cdp = await page.createCDPSession();
  const fingers = (apart) => [{ x: x - apart / 2, y, id: 0 }, { x: x + apart / 2, y, id: 1 }];
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: fingers(60) });
  for (const apart of [80, 100, 120]) await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: fingers(apart) });
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  // Twice as far apart: larger than the default size.
  assert.ok(Number(await paneSize()) > 16, await paneSize());
  assert.deepEqual(page.errors, []);
  await page.close();
});
