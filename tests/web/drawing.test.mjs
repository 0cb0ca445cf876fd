// What the page draws, against the desktop's drawing of the same text and
// Setting.ini: the PNG's glyphs cell by cell (mirotabe-convert --format
// png), the PDF's pages and its text in reading order (--page), the output
// pane's vertical forms on a screenshot, and the settings that saving a
// picture leaves alone. Run by ctest (web.drawing) with MIROTABE_CONVERT
// and MIROTABE_SITE set.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { inflateSync } from 'node:zlib';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { downloaded as downloadedFile, importSettings as importSettingsFile, openSite, newPage } from './browser.mjs';

const converter = process.env.MIROTABE_CONVERT;
const site = process.env.MIROTABE_SITE;
const folder = mkdtempSync(join(tmpdir(), 'mirotabe-drawing-'));
const downloads = join(folder, 'downloads');
let session;
let page;

const TEXT = '「ラーメン」は、おいしい。\nちょっと待って……ぁぃ\nＡＢＣ１２３－＝→〔注〕\n\n漢字かなカナ';

function settingsFile(lines) {
  const file = join(folder, 'Setting.ini');
  writeFileSync(file, lines.length === 0 ? '' : `${lines.join('\r\n')}\r\n`);
  return file;
}

function convert(text, settings, options) {
  const input = join(folder, 'input.txt');
  writeFileSync(input, text.replaceAll('\n', '\r\n'));
  return execFileSync(converter, ['--settings', settings, '--from', 'utf-8', ...options, '-o', '-', input]);
}

const downloaded = (act) => downloadedFile(downloads, act);

async function setInput(text, on = page) {
  await on.click('#input');
  await on.keyboard.down('Control');
  await on.keyboard.press('a');
  await on.keyboard.up('Control');
  await on.keyboard.press('Delete');
  const cdp = await on.createCDPSession();
  await cdp.send('Input.insertText', { text });
  await cdp.detach();
}

const importSettings = (file) => importSettingsFile(page, file);

async function savePicture(type) {
  return downloaded(async () => {
    await page.click('#picture');
    await page.select('#picture-type', type);
    await page.click('#picture-dialog button[value="ok"]');
  });
}

// In the page: the pixels of a PNG's bytes, as {width, height, data}.
function definePngPixels() {
  window.pngPixels = async (bytes) => {
    const image = await createImageBitmap(new Blob([new Uint8Array(bytes)], { type: 'image/png' }));
    const g = new OffscreenCanvas(image.width, image.height).getContext('2d');
    g.drawImage(image, 0, 0);
    return { width: image.width, height: image.height, data: g.getImageData(0, 0, image.width, image.height).data };
  };
}

before(async () => {
  session = await openSite(site);
  page = await newPage(session.browser, session.url);
  await page.evaluateOnNewDocument(definePngPixels);
  await page.evaluate(definePngPixels);
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
});

after(async () => {
  await session?.close();
  rmSync(folder, { recursive: true, force: true });
});

// [what, the Setting.ini's lines]: the default style, ruby, 縦中横 and Latin
// sideways, vertical forms off, the grid, other cell sizes, and a text in
// Aozora Bunko's notation, which the page reads as the converter does.
const PICTURES = [
  ['the defaults', []],
  ['ruby', ['[Layout]', 'Ruby=1'], '｜東京《とうきょう》の漢字《かんじ》\nあ字《わざわい》あ'],
  ['縦中横 and sideways Latin', ['[Layout]', 'Tcy=2', 'Latin=1'], '12月のpkcon\nあ3日!?'],
  ['upright glyphs', ['[Layout]', 'VerticalGlyphs=0']],
  ['the grid at 40 pixels, a column apart', ['[Layout]', 'ImageGrid=1', 'ImageCellSize=40', 'ImageColumnSpacing=1']],
  ['17-pixel cells, a column length and a gap', ['[Layout]', 'ImageCellSize=17', 'ColumnLength=5', 'ColumnGap=1']],
  ['the notation', [], '［＃ここから２字下げ］\n字下げの段落［＃「段落」に傍点］\n［＃ここで字下げ終わり］\n※［＃「てへん＋劣」、第3水準1-84-77］'],
];
for (const [what, lines, text = TEXT] of PICTURES) {
  test(`the PNG is the desktop's, byte for byte: ${what}`, async () => {
    const settings = settingsFile(lines);
    await importSettings(settings);
    await setInput(text);
    const picture = await savePicture('png');
    assert.equal(picture.name, '縦書き.png');
    // One painter: the desktop's bytes.
    const desktop = convert(text, settings, ['--format', 'png']);
    assert.ok(picture.bytes.equals(desktop), `${picture.bytes.length} bytes against ${desktop.length}`);
  });
}

// [paper, landscape, lines after the sixty]: the desktop's bytes, whose
// text reads in the columns' order. The lines after, where given, hold
// readings longer than their bases, which pages space out.
const LONG_RUBY = ['彼の志《こころざし》は高い', '｜日《にちようびのあさ》です', '日《にちようび》月《げつようび》は休み'];
const PAGES = [['a4', false, []], ['a6', true, []], ['genkou', false, []], ['a5', false, LONG_RUBY]];
const PAPER_NUMBER = { a4: 0, a5: 2, a6: 4, genkou: 6 };
for (const [paper, landscape, more] of PAGES) {
  test(`a PDF of ${paper}${landscape ? ' landscape' : ''} pages is the desktop's, byte for byte`, async () => {
    const settings = settingsFile(['[Page]', 'Enabled=1', `Paper=${PAPER_NUMBER[paper]}`, `Landscape=${landscape ? 1 : 0}`,
      'PageNumbers=1']);
    await importSettings(settings);
    // Ruby is set on pages unless chosen otherwise; its readings are no
    // part of the text. Numbers of one to three digits (縦中横 of two, three
    // sideways) and Latin words, set sideways on pages but 原稿用紙.
    const lines = Array.from({ length: 60 }, (_, i) =>
      `${i + 1}行目：「｜縦書き《たてがき》」の文章、ちょっと長め。pkcon install ${i * 7}件!?`).concat(more);
    const text = lines.join('\n');
    await setInput(text);
    const pdf = await savePicture('pdf');
    assert.equal(pdf.name, '縦書き.pdf');
    const file = join(folder, 'browser.pdf');
    writeFileSync(file, pdf.bytes);
    const desktop = convert(text, settings, ['--page', paper, ...(landscape ? ['--landscape'] : [])]);
    assert.ok(pdf.bytes.equals(desktop), `${pdf.bytes.length} bytes against ${desktop.length}`);
    const read = execFileSync('pdftotext', ['-raw', file, '-']).toString().replace(/\s+/g, '');
    assert.ok(!read.includes('たてがき') && read.includes('「縦書き」'));
    const structure = execFileSync('pdfinfo', ['-struct-text', file]).toString().replace(/\s+/g, '');
    assert.equal(structure.split('P(block)').length, lines.length + 1);
    execFileSync('qpdf', ['--check', file]);
    // Pages are set in Mincho unless the setup says otherwise.
    assert.match(execFileSync('pdffonts', [file]).toString(), /[A-Z]{6}\+IPAMincho +CID TrueType +Identity-H +yes yes yes/);
  });
}

test('the e-book is the desktop\'s, byte for byte, read in the notation and titled by its name', async () => {
  const settings = settingsFile([]);
  await importSettings(settings);
  const text = '｜吾輩《わがはい》は猫である。\n［＃改ページ］\n［＃「猫」に傍点］の話。';
  await setInput(text);
  const book = await downloaded(async () => {
    await page.click('#ebook');
    await page.click('#ebook-dialog button[value="ok"]');
  });
  assert.equal(book.name, '縦書き.epub');
  const named = join(folder, '縦書き.txt');
  writeFileSync(named, text.replaceAll('\n', '\r\n'));
  const desktop = execFileSync(converter, ['--settings', settings, '--from', 'utf-8', '--format', 'epub', '-o', '-', named]);
  assert.ok(book.bytes.equals(desktop), `${book.bytes.length} bytes against ${desktop.length}`);
});

// The PDF's objects as text, its compressed streams inflated.
function pdfObjects(bytes) {
  const text = bytes.toString('latin1');
  const parts = [text];
  for (const match of text.matchAll(/stream\r?\n/g)) {
    const start = match.index + match[0].length;
    const end = text.indexOf('endstream', start);
    try {
      parts.push(inflateSync(bytes.subarray(start, end)).toString('latin1'));
    } catch {
      // Not a compressed stream: it is in the text already.
    }
  }
  return parts.join('\n');
}

// [what, the settings' lines, the font pdffonts names]: the text layer
// keeps characters beyond the first 65,536 and those the font lacks (its
// missing-glyph box stands for all of them), in either face, and says the
// text is Japanese.
const TEXT_LAYERS = [
  ['Mincho pages', ['[Page]', 'Enabled=1', 'Paper=4'], 'IPAMincho'],
  ['Gothic pages', ['[Page]', 'Enabled=1', 'Paper=4', 'Font=1'], 'IPAGothic'],
  ['a picture', ['[Page]', 'Enabled=0'], 'IPAGothic'],
];
for (const [what, lines, face] of TEXT_LAYERS) {
  test(`the PDF's text reads back whole, non-BMP and missing glyphs included: ${what}`, async () => {
    await importSettings(settingsFile(lines));
    const text = '𠮷野家で😀を見た\n丈夫な〠と𩸽';
    await setInput(text);
    const pdf = await savePicture('pdf');
    const file = join(folder, 'text-layer.pdf');
    writeFileSync(file, pdf.bytes);
    const read = execFileSync('pdftotext', ['-raw', file, '-']).toString().replace(/\s+/g, '');
    assert.equal(read, text.replace(/\s+/g, ''));
    assert.match(pdfObjects(pdf.bytes), /\/Lang \(ja\)/);
    assert.match(execFileSync('pdfinfo', [file]).toString(), /Tagged:\s+yes/);
    assert.match(execFileSync('pdffonts', [file]).toString(), new RegExp(`[A-Z]{6}\\+${face} `));
  });
}

test('saving a picture changes only the settings its dialog shows', async () => {
  await importSettings(settingsFile(['[Layout]', 'VerticalGlyphs=0']));
  await setInput('縦');
  await downloaded(async () => {
    await page.click('#picture');
    await page.$eval('#cell-size', (box) => { box.value = '30'; });
    await page.click('#picture-dialog button[value="ok"]');
  });
  const stored = await page.evaluate(() => atob(localStorage.getItem('mirotabe.settings')));
  assert.match(stored, /VerticalGlyphs=0/);
  assert.match(stored, /ImageCellSize=30/);
});

// A screenshot of the output pane, once its painting has shown.
async function paneShot(on = page) {
  await on.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  return on.screenshot({ clip: await on.$eval('#output', (pane) => {
    const box = pane.getBoundingClientRect();
    return { x: box.left, y: box.top, width: box.width, height: box.height };
  }) });
}

// Where the ink of a glyph lies in its cell of the output pane, as the
// fraction of the cell from its left and top to the ink box's centre, and
// the ink box's width over its height.
async function paneInk(cellText) {
  await setInput(cellText);
  const shot = await paneShot();
  return page.evaluate(async (bytes) => {
    const { width, height, data } = await window.pngPixels(bytes);
    let box = null;
    for (let y = 2; y < height - 2; ++y) {
      for (let x = 2; x < width - 2; ++x) {
        if (data[4 * (y * width + x)] >= 128) continue;
        box = box ? [Math.min(box[0], x), Math.min(box[1], y), Math.max(box[2], x), Math.max(box[3], y)] : [x, y, x, y];
      }
    }
    return box;
  }, [...shot]);
}

// The output pane's 縦組み表示: [character, what its ink must show].
const PANE_FORMS = [
  ['ー', (ink) => ink[3] - ink[1] > 3 * (ink[2] - ink[0])],
  ['「', (ink, upright) => ink[2] - ink[0] > ink[3] - ink[1] && upright[2] - upright[0] < upright[3] - upright[1]],
  ['、', (ink, upright) => ink[0] > upright[0] && ink[1] < upright[1]],
  ['ぁ', (ink, upright) => ink[0] > upright[0] && ink[1] < upright[1]],
];
test('the output pane stands its columns against the right edge and draws vertical forms until 縦組み表示 is off', async () => {
  await importSettings(settingsFile([]));
  const pane = await page.$eval('#output', (element) => element.getBoundingClientRect().width);
  for (const [character, looksVertical] of PANE_FORMS) {
    const vertical = await paneInk(character);
    assert.ok(vertical[2] > pane - 40, `${character} at ${vertical} in a pane ${pane} wide`);
    await page.click('#vertical-view');
    const upright = await paneInk(character);
    await page.click('#vertical-view');
    assert.ok(looksVertical(vertical, upright), `${character}: ${vertical} against ${upright}`);
  }
  assert.equal(await page.$eval('#vertical-view', (button) => button.getAttribute('aria-pressed')), 'true');
});

test('the output pane paints the same where the browser has no OffscreenCanvas, keystrokes included', async () => {
  const shots = [];
  for (const offscreen of [true, false]) {
    const fresh = await session.browser.newPage();
    if (!offscreen) await fresh.evaluateOnNewDocument(() => { delete window.OffscreenCanvas; });
    await fresh.setViewport({ width: 1200, height: 800 });
    await fresh.goto(session.url);
    await fresh.waitForSelector('html[data-ready]');
    await setInput('縦書きの、「文章」。\nちょっと\n漢字かな', fresh);
    await fresh.keyboard.press('ArrowUp');
    await fresh.keyboard.type('ab');
    shots.push(await paneShot(fresh));
    // Without it the page paints on its canvases' own contexts.
    assert.equal(await fresh.$eval('#output canvas', (canvas) => canvas.getContext('2d') === null), offscreen);
    await fresh.close();
  }
  assert.ok(shots[0].equals(shots[1]), 'the panes differ');
});

test('the output pane shows its focus ring over the cells at its edge', async () => {
  await setInput('縦');
  await page.evaluate(() => document.getElementById('output').focus({ focusVisible: true }));
  const shot = await paneShot();
  const edge = await page.evaluate(async (bytes) => {
    const { width, data } = await window.pngPixels(bytes);
    const at = 4 * (1 * width + width - 20);  // row 1, 20 pixels from the right
    return Array.from(data.slice(at, at + 3));
  }, [...shot]);
  const ring = await page.$eval('#output', (pane) => getComputedStyle(pane).outlineColor);
  assert.equal(`rgb(${edge.join(', ')})`, ring);
});

test('the output pane zooms by Ctrl+plus, Ctrl+minus and Ctrl+0, and keeps the size for the next visit', async () => {
  await setInput('縦');
  const inkHeight = async () => {
    const ink = await paneInk('縦');
    return ink[3] - ink[1];
  };
  const start = await inkHeight();
  await page.keyboard.down('Control');
  await page.keyboard.press('=');
  await page.keyboard.press('=');
  await page.keyboard.up('Control');
  const larger = await inkHeight();
  assert.ok(larger > start, `${larger} after ${start}`);
  await page.reload();
  await page.waitForSelector('html[data-ready]');
  assert.equal(await inkHeight(), larger);
  await page.keyboard.down('Control');
  await page.keyboard.press('0');
  await page.keyboard.up('Control');
  assert.equal(await inkHeight(), start);
  assert.deepEqual(page.errors, []);
});
