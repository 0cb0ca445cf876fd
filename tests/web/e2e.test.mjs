// The page in headless Chromium, used as a person would: typing (and an
// input method), pasting, opening a code page 932 file by the picker and
// by a drop, changing the settings, importing and exporting Setting.ini,
// saving in both encodings (the downloads compared with mirotabe-convert's
// bytes), copying, the PNG picture, and reloading with the network off. Run by ctest (web.e2e) with MIROTABE_CONVERT and MIROTABE_SITE set.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, writeFileSync, readFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { downloaded as downloadedFile, openSite, newPage } from './browser.mjs';

const converter = process.env.MIROTABE_CONVERT;
const site = process.env.MIROTABE_SITE;
const folder = mkdtempSync(join(tmpdir(), 'mirotabe-e2e-'));
const downloads = join(folder, 'downloads');
let session;
let page;

const cp932 = (text) => execFileSync('iconv', ['-f', 'UTF-8', '-t', 'CP932'], { input: text });

// What mirotabe-convert writes for `text` (the pane's lines) under `settings`.
function converted(text, settingsBytes, encoding) {
  const input = join(folder, 'input.txt');
  const settings = join(folder, 'settings.ini');
  writeFileSync(input, text.replaceAll('\n', '\r\n'));
  writeFileSync(settings, settingsBytes);
  return execFileSync(converter, ['--settings', settings, '--from', 'utf-8', '--encoding', encoding, input]);
}

const downloaded = (act) => downloadedFile(downloads, act);

// The rows in view, put back together from the columns that the pane
// gives assistive technology (right to left, without their padding), once
// it has given them again (it marks them busy until the changes pause).
const readerRows = (reader) => {
  const columns = [...reader.children].map((item) => Array.from(item.textContent)).reverse();
  return Array.from({ length: Number(reader.dataset.rows) },
    (_, row) => columns.map((column) => column[row] ?? '\u3000').join('')).join('\n');
};
async function outputRows(on = page) {
  await on.waitForSelector('#output .reader:not([aria-busy])');
  return on.$eval('#output .reader', readerRows);
}
// What is wrong with what the output pane shows: its canvas (strips side
// by side) not covering the view, or its pixels unlike a repaint of the
// whole canvas (which focus going to the pane and back makes), whatever
// the frames before painted again or moved. Empty when nothing is.
async function paintingFaults() {
  const faults = [];
  const covered = await page.$eval('#output', (pane) => {
    const box = pane.getBoundingClientRect();
    const strips = [...pane.querySelectorAll('canvas')];
    window.paintedPixels = window.stripPixels();
    const left = box.left + pane.clientLeft;
    const top = box.top + pane.clientTop;
    const rects = strips.map((canvas) => canvas.getBoundingClientRect()).sort((a, b) => a.left - b.left);
    return rects[0].left <= left && rects.at(-1).right >= left + pane.clientWidth &&
      rects.every((rect, i) => rect.top <= top && rect.bottom >= top + pane.clientHeight &&
        (i === 0 || rect.left === rects[i - 1].right));
  });
  if (!covered) faults.push('the canvas misses part of the view');
  await page.focus('#output');
  await page.focus('#input');
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  const unlike = await page.evaluate(() => window.bytesUnlike(window.paintedPixels));
  if (unlike !== 0) faults.push(`${unlike} bytes unlike a repaint`);
  return faults;
}
// In the page: the output pane's pixels, strip by strip, and how many
// bytes of them differ from such pixels kept before.
function definePixelReading() {
  window.stripPixels = () => [...document.querySelectorAll('#output canvas')].map((canvas) => {
    const g = new OffscreenCanvas(canvas.width, canvas.height).getContext('2d');
    g.drawImage(canvas, 0, 0);
    return g.getImageData(0, 0, canvas.width, canvas.height).data;
  });
  window.bytesUnlike = (kept) => window.stripPixels().reduce((count, pixels, strip) =>
    count + pixels.filter((value, i) => value !== kept[strip]?.[i]).length, 0);
}
// Keeps the output pane's pixels as the first animation frame after the
// next key's keydown (Control aside) finds them, as window.keyFramePixels:
// a key's frame is to show what it changed. Text typed with no key (not
// on the keyboard) keeps none.
const keepKeyFramePixels = () => page.evaluate(() => {
  window.removeEventListener('keydown', window.keepOnKey, true);
  window.keyFramePixels = null;
  window.keepOnKey = (event) => {
    if (event.key === 'Control') return;
    window.removeEventListener('keydown', window.keepOnKey, true);
    requestAnimationFrame(() => { window.keyFramePixels = window.stripPixels(); });
  };
  window.addEventListener('keydown', window.keepOnKey, true);
});
// How many looks the output pane's cells at `places` ([row, column from
// the left] of a layout of `columns` columns, seen from the view's top
// left) have among them.
async function distinctLooks(places, columns) {
  return page.$eval('#output', (pane, places, columns) => {
    const ratio = window.devicePixelRatio;
    const strips = [...pane.querySelectorAll('canvas')];
    const left = Math.min(...strips.map((canvas) => canvas.getBoundingClientRect().left));
    const whole = document.createElement('canvas');
    whole.width = strips.reduce((width, canvas) => width + canvas.width, 0);
    whole.height = strips[0].height;
    const g = whole.getContext('2d');
    for (const canvas of strips) g.drawImage(canvas, Math.round((canvas.getBoundingClientRect().left - left) * ratio), 0);
    // The columns stand against the right edge, in cells as wide as the
    // pane's font makes them at its first size (16 px, rows of 20 px).
    const probe = document.createElement('canvas').getContext('2d');
    probe.font = `16px ${getComputedStyle(document.documentElement).getPropertyValue('--pane-font')}`;
    const cellWidth = Math.max(parseFloat(probe.font), Math.ceil(probe.measureText('\u3042').width));
    const right = pane.querySelector('.sizer').offsetWidth - 4;
    return new Set(places.map(([row, column]) => Array.from(g.getImageData(Math.round((right - (columns - column) * cellWidth) * ratio),
      Math.round((4 + row * 20) * ratio), Math.round(cellWidth * ratio), 20 * ratio).data).join())).size;
  }, places, columns);
}
const settingsBytes = () => page.evaluate(() => {
  const stored = localStorage.getItem('mirotabe.settings') ?? '';
  return Array.from(atob(stored), (c) => c.charCodeAt(0));
}).then((bytes) => Buffer.from(bytes));

// Waits until the Setting.ini kept in the browser is `bytes`, or matches
// `pattern` (the dialog stores it when its close event comes, after the
// click on OK).
const storedSettingsAre = (bytes) => page.waitForFunction((stored) =>
  localStorage.getItem('mirotabe.settings') === stored, { timeout: 5000 }, bytes.toString('base64'));
const storedSettingsMatch = (pattern) => page.waitForFunction((source) =>
  new RegExp(source).test(atob(localStorage.getItem('mirotabe.settings') ?? '')), { timeout: 5000 }, pattern.source);

async function setInput(text) {
  await page.focus('#input');
  await page.keyboard.down('Control');
  await page.keyboard.press('a');
  await page.keyboard.up('Control');
  await page.keyboard.press('Backspace');
  await page.keyboard.type(text);
}

// The input pane's whole text, from its editor.
const inputText = () => page.evaluate(() => document.getElementById('input').inputPane.text());

// The input pane's editors: the text area of short texts, and the window
// onto a long one, which limits of 0 keep the pane in whatever the length.
const EDITORS = [['plain', null], ['window', { longFrom: 0, shortBelow: 0 }]];
const editorShown = () => page.$eval('#input', (pane) => pane.dataset.editor);
// Sets the lengths at which the pane changes editors (null: its own),
// which it heeds at the next edit.
const setEditorLimits = (limits) => page.$eval('#input', (host, set) => {
  host.ownLimits ??= host.inputPane.limits;
  host.inputPane.limits = set ?? host.ownLimits;
}, limits);
// The pane's editor, text, selection, and whether it has focus.
const inputState = () => page.$eval('#input', (host) => ({ editor: host.dataset.editor, text: host.inputPane.text(),
  selection: host.inputPane.editor.selection(), focused: host.inputPane.editor.hasFocus() }));

async function pressWithControl(key) {
  await page.keyboard.down('Control');
  await page.keyboard.press(key);
  await page.keyboard.up('Control');
}

async function chooseFile(button, path) {
  const [chooser] = await Promise.all([page.waitForFileChooser(), page.click(button)]);
  await chooser.accept([path]);
}

async function save(encoding) {
  return downloaded(async () => {
    await page.click('#save');
    await page.select('#save-encoding', encoding);
    await page.click('#save-dialog button[value="ok"]');
    // The warning before characters become '?', when there is one.
    await new Promise((done) => setTimeout(done, 200));
    if (await page.$('#message-dialog[open]')) await page.click('#message-ok');
  });
}

before(async () => {
  session = await openSite(site);
  page = await newPage(session.browser, session.url);
  await page.evaluateOnNewDocument(definePixelReading);
  await page.evaluate(definePixelReading);
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await session.browser.defaultBrowserContext().overridePermissions(session.url.replace(/\/$/, ''),
    ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
});

after(async () => {
  await session?.close();
});

// What mirotabe-convert makes of the input pane's text, as the output
// pane's rows.
async function convertedRows() {
  return converted(await inputText(), await settingsBytes(), 'utf-8').toString().replaceAll('\r\n', '\n');
}

test('typing converts at every change, edits in the middle and undo included', async () => {
  // Keys that change the text inside it: a character, a joined and a split
  // line, undo, a tab; in both of the pane's editors.
  const edits = [['press', 'ArrowUp'], ['press', 'End'], ['type', 'x'], ['press', 'Delete'],
    ['press', 'Backspace'], ['press', 'Enter'], ['control', 'z'], ['control', 'z'], ['control', 'y'],
    ['press', 'Home'], ['type', '\t']];
  for (const [editor, limits] of EDITORS) {
    await setEditorLimits(limits);
    await setInput('ラーメン\nab');
    assert.equal(await outputRows(), 'ａラ\nｂー\n　メ\n　ン');
    assert.equal(await editorShown(), editor);
    for (const [how, key] of edits) {
      if (how === 'control') await pressWithControl(key);
      else await page.keyboard[how](key);
      assert.equal(await outputRows(), await convertedRows(), `${editor}: ${how} ${key}`);
      assert.deepEqual(await paintingFaults(), [], `${editor}: ${how} ${key}`);
    }
    // The placeholder is there while the pane is empty, and only then,
    // emptied by a key or by undo.
    await setInput('');
    for (const [how, key, shown] of [['type', 'x', false], ['press', 'Backspace', true], ['type', 'y', false],
      ['control', 'z', true]]) {
      if (how === 'control') await pressWithControl(key);
      else await page.keyboard[how](key);
      const placeholder = await page.$eval('#input', (host) => host.shadowRoot.querySelector('textarea').placeholder);
      assert.equal(/横書き/.test(placeholder), shown, `${editor}: the placeholder after ${how} ${key}`);
    }
  }
  await setEditorLimits(null);
  // The canvas's strips join without a seam: a character looks the same in
  // every column (but the last line's, which has the input caret).
  await setInput(Array(12).fill('縦縦').join('\n'));
  await outputRows();
  const characters = Array.from({ length: 22 }, (_, i) => [i % 2, 1 + (i >> 1)]);
  assert.equal(await distinctLooks(characters, 12), 1);
  // In a dark scheme too, a character looks unlike the blank below it.
  await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: 'dark' }]);
  await outputRows();
  assert.equal(await distinctLooks([[0, 1], [2, 1]], 12), 2);
  await page.emulateMediaFeatures([]);
  // Down a line longer than the pane is tall, the pane follows the caret,
  // and back up.
  await setInput(`${'縦'.repeat(60)}\n一二${'書'.repeat(57)}終`);
  assert.equal((await outputRows()).split('\n').at(-1), '終縦');
  assert.deepEqual(await paintingFaults(), []);
  for (let i = 0; i < 60; ++i) await page.keyboard.press('ArrowLeft');
  assert.equal((await outputRows()).split('\n')[0], '一縦');
  assert.deepEqual(await paintingFaults(), []);
  // In the middle of a text wider than the pane, a key paints again only
  // the cells it changed, and the canvas then looks as a fresh paint of the
  // text, and the columns read out as when all are taken again: typed at a
  // line's start (its column moves down) and at its end (one cell), the
  // line made the longest (a row more) and undone (a row less), joined,
  // split, and shortened at its start.
  await page.focus('#input');
  await pressWithControl('a');
  await page.keyboard.press('Delete');
  const cdp = await page.createCDPSession();
  await cdp.send('Input.insertText', { text: Array.from({ length: 80 },
    (_, i) => `${i}行目の縦書き`.padEnd(8 + (i * 5) % 13, 'あ')).join('\n') });
  await cdp.detach();
  await pressWithControl('Home');
  for (let i = 0; i < 40; ++i) await page.keyboard.press('ArrowDown');
  const middleEdits = [['type', 'x'], ['press', 'End'], ['type', 'y'], ['type', '長'.repeat(8)], ['control', 'z'],
    ['press', 'Delete'], ['press', 'Enter'], ['press', 'Backspace'], ['press', 'Home'], ['press', 'Delete']];
  for (const [how, key] of middleEdits) {
    const textBefore = await inputText();
    await keepKeyFramePixels();
    if (how === 'control') await pressWithControl(key);
    else await page.keyboard[how](key);
    const rows = await outputRows();
    // A key that changed the text shows the change in its own frame.
    const unlikeKeyFrame = await page.evaluate(() => window.keyFramePixels && window.bytesUnlike(window.keyFramePixels));
    if (unlikeKeyFrame !== null && await inputText() !== textBefore) {
      assert.equal(unlikeKeyFrame, 0, `the frame of ${how} ${key}`);
    }
    assert.deepEqual(await paintingFaults(), [], `in the middle: ${how} ${key}`);
    assert.equal(await outputRows(), rows, `in the middle: ${how} ${key}`);
  }
  assert.deepEqual(page.errors, []);
});

test('in the window onto a long text, keys that move the caret or add a line show it in view in the frame that shows them', async () => {
  await setEditorLimits(EDITORS[1][1]);
  await page.focus('#input');
  await pressWithControl('a');
  await page.keyboard.press('Delete');
  const cdp = await page.createCDPSession();
  await cdp.send('Input.insertText', { text: Array.from({ length: 400 }, (_, i) => `${i}行目`).join('\n') });
  await cdp.detach();
  // Read in each key's frame: how far below the view's top the caret's row
  // is, and its line.
  await page.evaluate(() => {
    window.caretShown = [];
    window.readCaret = (event) => event.key !== 'Control' && requestAnimationFrame(() => {
      const host = document.getElementById('input');
      const top = host.inputPane.editor.caretTop();
      // The caret, as tall as the font (16 px), in the middle of its row
      // (20 px), is what the browser shows.
      window.caretShown.push(top !== null && top + 2 >= 0 && top + 18 <= host.clientHeight + 1);
    });
    window.addEventListener('keydown', window.readCaret);
  });
  // [key, times, the caret's line after]: new lines at the end, then down
  // from the top past the view's bottom and the window's edge, a line and
  // a page at a time, and back.
  const keys = [['Enter', 3, 402], ['control Home', 1, 0], ['ArrowDown', 130, 130], ['PageDown', 8, null],
    ['control End', 1, 402], ['PageUp', 2, null], ['ArrowUp', 130, null], ['control Home', 1, 0]];
  for (const [key, times, line] of keys) {
    for (let i = 0; i < times; ++i) {
      if (key.startsWith('control ')) await pressWithControl(key.slice(8));
      else await page.keyboard.press(key);
    }
    const shown = await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => done(window.caretShown.splice(0)))));
    assert.deepEqual(shown, Array(times).fill(true), key);
    if (line !== null) assert.equal(await page.$eval('#input', (host) => host.inputPane.caretPlace().line), line, key);
  }
  await page.evaluate(() => window.removeEventListener('keydown', window.readCaret));
  await setEditorLimits(null);
  assert.deepEqual(page.errors, []);
});

test('the pane moves the text between its editors as it grows and shrinks, and undo goes on across', async () => {
  // Limits of 12 and 8 characters: [keys, the editor, its text, selection
  // ([anchor, head]) after them].
  await setEditorLimits({ longFrom: 12, shortBelow: 8 });
  await setInput('ラーメン\nab');
  const steps = [
    [[['insert', 'cdefg']], 'window', 'ラーメン\nabcdefg', [12, 12]],
    [[['shift', 'ArrowLeft'], ['shift', 'ArrowLeft'], ['shift', 'ArrowLeft']], 'window', 'ラーメン\nabcdefg', [12, 9]],
    [[['press', 'Backspace']], 'window', 'ラーメン\nabcd', [9, 9]],
    [[['shift', 'ArrowLeft'], ['shift', 'ArrowLeft'], ['shift', 'ArrowLeft'], ['press', 'Backspace']], 'plain',
      'ラーメン\na', [6, 6]],
    [[['control', 'z']], 'plain', 'ラーメン\nabcd', [9, 6]],
    [[['control', 'z']], 'window', 'ラーメン\nabcdefg', [12, 9]],
    [[['control', 'y']], 'window', 'ラーメン\nabcd', [9, 9]],
    [[['control', 'y']], 'plain', 'ラーメン\na', [6, 6]],
  ];
  const cdp = await page.createCDPSession();
  for (const [keys, editor, text, [anchor, head]] of steps) {
    for (const [how, key] of keys) {
      if (how === 'insert') await cdp.send('Input.insertText', { text: key });
      else if (how === 'control') await pressWithControl(key);
      else if (how === 'shift') {
        await page.keyboard.down('Shift');
        await page.keyboard.press(key);
        await page.keyboard.up('Shift');
      } else await page.keyboard.press(key);
    }
    const label = keys.map(([how, key]) => `${how} ${key}`).join(', ');
    assert.deepEqual(await inputState(), { editor, text, selection: { anchor, head }, focused: true }, label);
    assert.equal(await outputRows(), await convertedRows(), label);
  }
  // At the pane's own limits: a text of 9,749 characters made one of
  // 22,748 by an insertion at its end, and undone; the caret stays in
  // view.
  await setEditorLimits(null);
  await pressWithControl('a');
  await page.keyboard.press('Delete');
  const line = (i) => `${i}行目の縦書き`.padEnd(12, 'あ');
  const long = Array.from({ length: 750 }, (_, i) => line(i)).join('\n');
  await cdp.send('Input.insertText', { text: long });
  // The caret moved: what follows is a step of its own.
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('ArrowRight');
  const more = Array.from({ length: 1000 }, (_, i) => line(i)).join('\n');
  await cdp.send('Input.insertText', { text: more });
  const caretInView = () => page.$eval('#input', (host) => {
    const top = host.inputPane.editor.caretTop();
    return top !== null && top >= 0 && top < host.clientHeight;
  });
  assert.deepEqual(await inputState(), { editor: 'window', text: long + more, focused: true,
    selection: { anchor: long.length + more.length, head: long.length + more.length } });
  assert.ok(await caretInView());
  await pressWithControl('z');
  const scrolledToEnd = await page.$eval('#input', (host) => {
    const area = host.shadowRoot.querySelector('textarea');
    return area.scrollTop + area.clientHeight >= area.scrollHeight - 30;
  });
  assert.deepEqual(await inputState(), { editor: 'plain', text: long, focused: true,
    selection: { anchor: long.length, head: long.length } });
  assert.ok(scrolledToEnd);
  // The long text put in at once: the first frame that shows the window
  // shows it scrolled to the caret at the end.
  const scrolledInFirstFrame = await page.$eval('#input', (host, text) => new Promise((done) => {
    host.inputPane.replaceAll(text, false);
    requestAnimationFrame(() => done(host.shadowRoot.querySelector('.window').scrollTop > 0));
  }), long + more);
  assert.ok(scrolledInFirstFrame);
  await cdp.detach();
  assert.deepEqual(page.errors, []);
});

// A text long enough for the window onto it, of 3,000 lines.
const LONG_TEXT = Array.from({ length: 3000 }, (_, i) => `${i}行目の縦書き`.padEnd(12 + (i * 7) % 30, 'あ')).join('\n');
const lineStart = (text, line) => text.split('\n').slice(0, line).join('\n').length + (line > 0);
const insertAt = (text, at, inserted) => text.slice(0, at) + inserted + text.slice(at);
const nextFrames = () => page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));

test('the window onto a long text keeps typing, the whole selection, undo and the caret as one text area would', async () => {
  const L = LONG_TEXT;
  const at = lineStart(L, 1500);
  const typeAt = (key) => page.keyboard.type(key);
  const composeAt = async () => {
    const cdp = await page.createCDPSession();
    await cdp.send('Input.imeSetComposition', { text: 'かん', selectionStart: 2, selectionEnd: 2 });
    await cdp.send('Input.imeSetComposition', { text: '漢', selectionStart: 1, selectionEnd: 1 });
    await cdp.send('Input.insertText', { text: '漢' });
    await cdp.detach();
  };
  // The view scrolled to the text's start, far from the caret: the window
  // follows the view, and the next key types at the caret.
  const scrollAway = async () => {
    await page.$eval('#input', (host) => {
      host.shadowRoot.querySelector('.window').scrollTop = 0;
    });
    await nextFrames();
    assert.ok((await page.$eval('#input', (host) => host.shadowRoot.querySelector('textarea').value)).startsWith('0行目'));
  };
  // [what, keys, the text after, the clipboard after (or undefined), steps
  // of undo back to the long text]
  const cases = [
    ['a key far into the text', [() => typeAt('x')], insertAt(L, at, 'x'), undefined, 1],
    ['select all, copy', [['control', 'a'], ['control', 'c']], L, L, 0],
    ['select all, type over', [['control', 'a'], () => typeAt('x')], 'x', undefined, 1],
    ['select all, cut', [['control', 'a'], ['control', 'x']], '', L, 1],
    ['select to the end, copy', [['control shift', 'End'], ['control', 'c']], L, L.slice(at), 0],
    ['edits at the middle, the end and the start', [() => typeAt('x'), ['control', 'End'], () => typeAt('y'),
      ['control', 'Home'], () => typeAt('z')], `z${insertAt(L, at, 'x')}y`, undefined, 3],
    ['the view scrolled away, then a key', [scrollAway, () => typeAt('q')], insertAt(L, at, 'q'), undefined, 1],
    ['an input method far into the text', [composeAt], insertAt(L, at, '漢'), undefined, 1],
  ];
  await setEditorLimits(null);
  for (const [what, keys, text, clipboard, steps] of cases) {
    await page.evaluate(() => navigator.clipboard.writeText('-'));
    await page.$eval('#input', (host, long, caret) => {
      host.inputPane.replaceAll(long, true);
      host.inputPane.editor.select({ anchor: caret, head: caret });
      host.inputPane.editor.showCaretAt(null);
      host.inputPane.focus();
    }, L, at);
    await nextFrames();
    assert.equal(await editorShown(), 'window', what);
    for (const key of keys) {
      if (typeof key === 'function') await key();
      else {
        const [modifiers, name] = key;
        for (const modifier of modifiers.split(' ')) await page.keyboard.down(modifier === 'control' ? 'Control' : 'Shift');
        await page.keyboard.press(name);
        for (const modifier of modifiers.split(' ')) await page.keyboard.up(modifier === 'control' ? 'Control' : 'Shift');
      }
    }
    assert.equal(await inputText(), text, what);
    if (clipboard !== undefined) assert.equal(await page.evaluate(() => navigator.clipboard.readText()), clipboard, what);
    // The engine's copy of the text follows: its whole output, copied.
    await page.$eval('#status', (status) => { status.textContent = ''; });
    await page.click('#copy');
    await page.waitForFunction(() => document.getElementById('status').textContent.includes('コピー'));
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), await convertedRows(), what);
    await page.focus('#input');
    const { anchor, head } = (await inputState()).selection;
    if (await editorShown() === 'window' && anchor === head) {
      const top = await page.$eval('#input', (host) => host.inputPane.editor.caretTop());
      assert.ok(top !== null && top >= 0 && top < await page.$eval('#input', (host) => host.clientHeight), what);
    }
    for (let i = 0; i < steps; ++i) await pressWithControl('z');
    assert.equal(await inputText(), L, `${what}: undone`);
    for (let i = 0; i < steps; ++i) await pressWithControl('y');
    assert.equal(await inputText(), text, `${what}: done again`);
  }
  assert.deepEqual(page.errors, []);
});

test('the window onto a long text follows the view scrolled through it, and the scroll bar stands for the whole text', async () => {
  await setEditorLimits(null);
  // Empty lines among them, each a row of its own.
  const text = LONG_TEXT.split('\n').map((line, i) => (i % 7 === 3 ? '' : line)).join('\n');
  // [scroll step in pixels: down through the text and back up, the text
  // area's field-sizing ('fixed': a browser that cannot size it to its text)]
  for (const [step, sizing] of [[97, 'content'], [600, 'content'], [1777, 'content'], [600, 'fixed']]) {
    const result = await page.$eval('#input', async (host, text, by, fieldSizing) => {
      const pane = host.inputPane;
      const sheet = new CSSStyleSheet();
      sheet.replaceSync(`.window > textarea:not(.ruler) { field-sizing: ${fieldSizing}; }`);
      host.shadowRoot.adoptedStyleSheets = [...host.shadowRoot.adoptedStyleSheets, sheet];
      // A new window, which reads its sizing when it is made: the pane
      // trades editors after the change.
      pane.replaceAll('', true);
      await new Promise((done) => setTimeout(done));
      pane.replaceAll(text, true);
      const scroller = host.shadowRoot.querySelector('.window');
      const area = host.shadowRoot.querySelector('textarea');
      const frame = () => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)));
      const blank = [];
      const height = scroller.scrollHeight;
      const end = height - scroller.clientHeight;
      const tops = Array.from({ length: Math.ceil(end / by) }, (_, i) => i * by);
      for (const top of [...tops, ...[...tops].reverse()]) {
        scroller.scrollTop = top;
        await frame();
        const view = scroller.getBoundingClientRect();
        const box = area.getBoundingClientRect();
        if (box.top > view.top || box.bottom < view.bottom) blank.push(top);
      }
      // The blocks, counted as the window moved, stand for what a count
      // from scratch makes of them.
      const moved = scroller.scrollHeight;
      pane.editor.select({ anchor: 0, head: 0 });
      pane.replaceAll(pane.text(), true);
      const fresh = scroller.scrollHeight;
      // Lines typed into the window grow the text area, which never
      // scrolls its own text.
      pane.editor.insert('\n'.repeat(60), false);
      const typedHidden = area.scrollHeight > area.clientHeight;
      host.shadowRoot.adoptedStyleSheets = host.shadowRoot.adoptedStyleSheets.filter((other) => other !== sheet);
      return { blank, moved, fresh, first: height, typedHidden };
    }, text, step, sizing);
    const what = `by ${step}, field-sizing ${sizing}`;
    assert.deepEqual(result.blank, [], what);
    assert.equal(result.moved, result.fresh, what);
    assert.equal(result.moved, result.first, what);
    assert.equal(result.typedHidden, false, what);
  }
  assert.deepEqual(page.errors, []);
});

test("an input method's pre-edit is no change; its result is", async () => {
  await setInput('あ');
  const cdp = await page.createCDPSession();
  await cdp.send('Input.imeSetComposition', { text: 'かん', selectionStart: 2, selectionEnd: 2 });
  assert.equal(await outputRows(), 'あ');
  await cdp.send('Input.imeSetComposition', { text: '漢', selectionStart: 1, selectionEnd: 1 });
  assert.equal(await outputRows(), 'あ');
  await cdp.send('Input.insertText', { text: '漢' });
  assert.equal(await inputText(), 'あ漢');
  assert.equal(await outputRows(), 'あ\n漢');
  // A pre-edit past the length at which the pane changes editors: the
  // change waits for the result, which undo takes back as one step.
  await setEditorLimits({ longFrom: 4, shortBelow: 1 });
  await cdp.send('Input.imeSetComposition', { text: 'じ', selectionStart: 1, selectionEnd: 1 });
  await cdp.send('Input.imeSetComposition', { text: 'じょうず', selectionStart: 4, selectionEnd: 4 });
  assert.equal(await outputRows(), 'あ\n漢');
  assert.deepEqual(await inputState(), { editor: 'plain', text: 'あ漢じょうず', selection: { anchor: 6, head: 6 },
    focused: true });
  await cdp.send('Input.insertText', { text: '上手です' });
  assert.deepEqual(await inputState(), { editor: 'window', text: 'あ漢上手です', selection: { anchor: 6, head: 6 },
    focused: true });
  assert.equal(await outputRows(), await convertedRows());
  await pressWithControl('z');
  assert.equal(await inputText(), 'あ漢');
  assert.equal(await outputRows(), 'あ\n漢');
  await setEditorLimits(null);
  await cdp.detach();
});

// The triggers of the settings dialog: [trigger, its number in Setting.ini,
// key that converts, key that does not, the output (Enter's line break is
// converted with the text)].
const triggers = [['enterKey', 0, 'Enter', 'F1', '　か\n　な'], ['f1Key', 1, 'F1', 'Enter', 'か\nな']];
for (const [trigger, stored, converting, other, expected] of triggers) {
  test(`trigger ${trigger} converts when ${converting} is released, not on ${other} or typing`, async () => {
    await page.click('#settings');
    await page.click(`input[name="trigger"][value="${trigger}"]`);
    await page.click('#settings-ok');
    await storedSettingsMatch(new RegExp(`\r\nConvert=${stored}\r\n`));
    await setInput('かな');
    await page.keyboard.press(other === 'Enter' ? 'ArrowLeft' : other);
    const before = await outputRows();
    assert.notEqual(before, 'か\nな');
    await page.keyboard.press('End');
    await page.keyboard.press(converting);
    assert.equal(await outputRows(), expected);
    await page.click('#settings');
    await page.click('input[name="trigger"][value="everyChange"]');
    await page.click('#settings-ok');
  });
}

test('横書きに戻す reads the vertical text back as one edit that undo takes back', async () => {
  await setInput('ｃａ\n　ｂ');
  await page.click('#reverse');
  assert.equal(await inputText(), 'ａｂ\nｃ');
  await page.focus('#input');
  await pressWithControl('z');
  assert.equal(await inputText(), 'ｃａ\n　ｂ');
});

for (const [editor, limits] of EDITORS) {
  test(`pasting converts the pasted text, which undo takes back (${editor})`, async () => {
    await setEditorLimits(limits);
    await setInput('前');
    await page.evaluate(() => navigator.clipboard.writeText('縦書き\nテスト'));
    await page.focus('#input');
    await pressWithControl('v');
    assert.equal(await outputRows(), 'テ前\nス縦\nト書\n　き');
    assert.equal(await editorShown(), editor);
    await pressWithControl('z');
    assert.equal(await outputRows(), '前');
    await setEditorLimits(null);
  });
}

// A code page 932 file opened by the picker and dropped on the input
// pane, in either of its editors. Each is one edit that undo takes back.
const dropOn = async (file) => {
  const box = await (await page.$('#input')).boundingBox();
  const cdp = await page.createCDPSession();
  const at = { x: box.x + box.width / 2, y: box.y + box.height / 2 };
  for (const type of ['dragEnter', 'dragOver', 'drop']) {
    await cdp.send('Input.dispatchDragEvent', { type, ...at, data: { items: [], files: [file], dragOperationsMask: 1 } });
  }
  await cdp.detach();
};
// [how, open it, the input pane's editor limits]
const opens = [
  ['by the open button', (file) => chooseFile('#open', file), null],
  ['dropped on the input pane', dropOn, null],
  ['dropped on the input pane holding a long text', dropOn, EDITORS[1][1]],
];
for (const [how, open, limits] of opens) {
  test(`a code page 932 file opens ${how}, found as Shift_JIS`, async () => {
    await setEditorLimits(limits);
    await setInput('前');
    assert.equal(await editorShown(), limits ? 'window' : 'plain');
    await page.$eval('#status', (status) => { status.textContent = ''; });
    const file = join(folder, 'sjis.txt');
    writeFileSync(file, cp932('ソース表示\r\nｶﾞｷﾞ\r\n'));
    await open(file);
    await page.waitForFunction(() => document.getElementById('status').textContent.includes('Shift_JIS'));
    assert.equal(await inputText(), 'ソース表示\nｶﾞｷﾞ');
    assert.equal(await outputRows(), 'ガソ\nギー\n　ス\n　表\n　示');
    // What is saved of it is named after it: the text, the PNG and the PDF.
    const names = [];
    for (const [button, dialog, name, type] of [['#save', '#save-dialog', '#save-name', null],
      ['#picture', '#picture-dialog', '#picture-name', 'png'], ['#picture', '#picture-dialog', '#picture-name', 'pdf']]) {
      await page.click(button);
      if (type) await page.select('#picture-type', type);
      names.push(await page.$eval(name, (box) => box.value));
      await page.keyboard.press('Escape');
      await page.waitForFunction((open) => !document.querySelector(open), {}, `${dialog}[open]`);
    }
    assert.deepEqual(names, ['sjis-縦書き.txt', 'sjis-縦書き.png', 'sjis-縦書き.pdf']);
    assert.equal(await page.title(), 'sjis.txt — Mirotabe');
    await page.focus('#input');
    await pressWithControl('z');
    assert.equal(await inputText(), '前');
    await setEditorLimits(null);
  });
}

test('choosing another encoding reads the opened file again in it', async () => {
  const file = join(folder, 'reopen.txt');
  writeFileSync(file, cp932('縦書き'));
  await chooseFile('#open', file);
  await page.waitForFunction(() => document.getElementById('status').textContent.includes('Shift_JIS'));
  await page.select('#from', 'UTF-8');
  await page.waitForFunction(() => document.getElementById('status').textContent.includes('UTF-8'));
  assert.equal(await inputText(), Buffer.from(cp932('縦書き')).toString('utf8'));
  await page.select('#from', 'auto');
  assert.equal(await inputText(), '縦書き');
});

test('bytes the encoding cannot read are told of in the notice line, with the file name', async () => {
  const file = join(folder, 'damaged.txt');
  writeFileSync(file, Buffer.concat([Buffer.from('縦書きは、上から'), Buffer.from([0xE4, 0xB8]),
    Buffer.from('へ読み進める書き方です。')]));
  await chooseFile('#open', file);
  await page.waitForFunction(() => document.getElementById('status').textContent.startsWith('damaged.txt: '));
  assert.equal(await page.$eval('#status', (status) => status.textContent),
    'damaged.txt: 2 バイトを UTF-8 として読めず、\uFFFD にしました（最初はオフセット 24）。'
    + 'エンコーディングを指定して開き直せます');
  assert.equal(await inputText(), '縦書きは、上から\uFFFD\uFFFDへ読み進める書き方です。');
});

test('UTF-16BE without a byte-order mark opens by itself, and can be chosen', async () => {
  const file = join(folder, 'utf-16be.txt');
  writeFileSync(file, Buffer.from('縦書き\r\nテスト', 'utf16le').swap16());
  await chooseFile('#open', file);
  await page.waitForFunction(() => document.getElementById('status').textContent.includes('UTF-16BE'));
  assert.equal(await inputText(), '縦書き\nテスト');
  await page.select('#from', 'UTF-16LE');
  await page.waitForFunction(() => document.getElementById('status').textContent.includes('UTF-16LE'));
  await page.select('#from', 'UTF-16BE');
  await page.waitForFunction(() => document.getElementById('status').textContent.includes('UTF-16BE'));
  assert.equal(await inputText(), '縦書き\nテスト');
  await page.select('#from', 'auto');
});

// The shortcuts: [keys held together, what shows that their command ran].
// Ctrl+O asks for a file, Ctrl+S (with Shift too) saves, Ctrl+Shift+C copies.
const saveDialogOpens = async () => {
  await page.waitForSelector('#save-dialog[open]');
  await page.click('#save-dialog button[value="cancel"]');
};
const shortcuts = [
  [['Control', 'o'], async (chooser) => (await chooser).cancel()],
  [['Control', 's'], saveDialogOpens],
  [['Control', 'Shift', 'S'], saveDialogOpens],
  [['Control', 'Shift', 'C'], () => page.waitForFunction(() =>
    document.getElementById('status').textContent === '縦書きをコピーしました。')],
];
for (const [keys, ran] of shortcuts) {
  test(`${keys.join('+')} runs its command from the input pane`, async () => {
    await setInput('縦');
    await page.$eval('#status', (status) => { status.textContent = ''; });
    const chooser = page.waitForFileChooser({ timeout: 2000 }).catch(() => null);
    for (const key of keys) await page.keyboard.down(key);
    for (const key of keys.toReversed()) await page.keyboard.up(key);
    await ran(chooser);
    assert.equal(await page.$('dialog[open]'), null);
  });
}

test('the settings dialog changes the conversion, and the settings survive a reload', async () => {
  await setInput('ラーメン\tです');
  await page.click('#settings');
  await page.$eval('#tab-space', (box) => { box.value = '1'; });
  await page.type('#entry-from', 'ーx');
  assert.equal(await page.$eval('#entry-from', (box) => box.value), 'ー');
  await page.type('#entry-to', '｜｜');
  assert.equal(await page.$eval('#entry-to', (box) => box.value), '｜');
  await page.click('#entry-add');
  await page.click('#settings-ok');
  assert.equal(await outputRows(), 'ラ\n｜\nメ\nン\n　\nで\nす');
  await page.reload();
  await page.waitForSelector('html[data-ready]');
  await setInput('ラーメン\tです');
  assert.equal(await outputRows(), 'ラ\n｜\nメ\nン\n　\nで\nす');
});

// Each number box of the settings dialog, and a number past its limit: OK
// keeps the dialog open until the number is one the engine takes.
const pastLimits = [['tab-space', '9'], ['column-length', '1000'], ['column-gap', '3']];
test('the layout options are stored as the desktop reads them, and each number within its limit', async () => {
  await page.click('#settings');
  for (const [box, past] of pastLimits) {
    const kept = await page.$eval(`#${box}`, (input, value) => {
      const before = input.value;
      input.value = value;
      return before;
    }, past);
    await page.click('#settings-ok');
    assert.ok(await page.$('#settings-dialog[open]'), `${box} ${past}`);
    await page.$eval(`#${box}`, (input, value) => { input.value = value; }, kept);
  }
  await page.select('#kinsoku', 'pushOut');
  await page.$eval('#column-length', (input) => { input.value = '30'; });
  await page.click('#settings-ok');
  await storedSettingsMatch(/\r\nColumnLength=30\r\n(.*\r\n)*Kinsoku=2\r\n/);
  await page.click('#settings');
  await page.select('#kinsoku', 'none');
  await page.$eval('#column-length', (input) => { input.value = '0'; });
  await page.click('#settings-ok');
});

// ページ設定's choices that the desktop's dialog offers too, stored under the
// desktop's keys: [what, the choice made with pages on, the stored
// settings, whether they hold it]. The rule of the pages is stored only
// once chosen: until then pages follow the layout's rule.
const PAGE_SETUP_CHOICES = [
  ['the rule of the pages, unchosen', () => {}, /\[Page\][^[]*Kinsoku=/, false],
  ['行間', () => page.$eval('#page-column-spacing', (box) => { box.value = '0.75'; }), /\r\nImageColumnSpacing=0\.75\r\n/, true],
  ['the rule of the pages', () => page.select('#page-kinsoku', 'hang'), /\[Page\][^[]*\r\nKinsoku=1\r\n/, true],
];
for (const [what, choose, stored, held] of PAGE_SETUP_CHOICES) {
  test(`ページ設定 stores ${what} as the desktop reads it`, async () => {
    await page.click('#page-setup');
    await page.$eval('#page-enabled', (box) => { box.checked = true; box.dispatchEvent(new Event('change')); });
    await choose();
    await page.click('#page-setup-dialog button[value="ok"]');
    if (held) {
      await storedSettingsMatch(stored);
    } else {
      await storedSettingsMatch(/\[Page\]\r\nEnabled=1\r\n/);
      assert.doesNotMatch(await page.evaluate(() => atob(localStorage.getItem('mirotabe.settings'))), stored);
    }
  });
}

test('バージョン情報 shows the version of mirotabe-convert', async () => {
  const version = execFileSync(converter, ['--version']).toString().trim().split(' ').at(-1);
  await page.click('#about');
  assert.match(await page.$eval('#message-text', (text) => text.textContent), new RegExp(`バージョン ${version}\n`));
  await page.click('#message-ok');
});

// The kinds of a replacement entry: [the dialog's choice, its Type in
// Setting.ini, the end of its row in the list].
const entryKinds = [['cell', 0, ' 変換時'], ['wholeText', 1, ' 変換前']];
for (const [kind, type, rowEnd] of entryKinds) {
  test(`an entry made ${kind} is listed and stored as the desktop reads it`, async () => {
    await page.click('#settings');
    await page.select('#entry-kind', kind);
    await page.type('#entry-from', '種');
    await page.click('#entry-add');
    assert.ok((await page.$eval('#entries', (list) => list.options[list.length - 1].text)).endsWith(rowEnd));
    await page.click('#settings-ok');
    // The entry's To is empty, as no other entry's is.
    await storedSettingsMatch(new RegExp(`\r\nTo=""\r\nType=${type}\r\n`));
    await page.click('#settings');
    await page.$eval('#entries', (list) => {
      list.selectedIndex = list.length - 1;
      list.dispatchEvent(new Event('change'));
    });
    assert.equal(await page.$eval('#entry-kind', (select) => select.value), kind);
    await page.click('#entry-delete');
    await page.click('#settings-ok');
  });
}

// Imports Setting.ini from `file` in the open settings dialog, and waits
// until the dialog shows what it holds.
async function importIntoDialog(file) {
  await chooseFile('#settings-import', file);
  await page.waitForSelector('#settings-imported:not([hidden])');
}

test('Setting.ini is imported and exported byte for byte', async () => {
  const file = join(folder, 'Setting.ini');
  // As the desktop writes it, with lines it does not know.
  const written = cp932('; 手で書いた行\r\n[Main]\r\nTabSpace=2\r\nConvert=2\r\n[Swap001]\r\nFrom=「\r\n' +
    'To="┐"\r\nType=0\r\n[Other]\r\nKey=値\r\n');
  writeFileSync(file, written);
  await page.click('#settings');
  await importIntoDialog(file);
  assert.equal(await page.$eval('#entries', (list) => list.options[0].text), '「 >> ┐ 変換時');
  const exported = await downloaded(() => page.click('#settings-export'));
  assert.equal(exported.name, 'Setting.ini');
  assert.ok(exported.bytes.equals(written));
  await page.click('#settings-ok');
  await storedSettingsAre(written);
});

// [how an import ends, what it does]: a file that is not a settings file
// is refused with the reason, and an import is taken back by any of the
// ways until OK; the stored settings and the dialog's table stay as they
// were.
const svg = Buffer.from('<svg xmlns="http://www.w3.org/2000/svg"><rect width="1" height="1"/></svg>\n');
const IMPORTS_TAKEN_BACK = [
  ['an SVG picture is refused', svg, /設定ファイルではありません。\[Main\]/, null],
  ['a PNG is refused', readFileSync(join(site, 'icon-192.png')), /テキストでないファイル/, null],
  ['キャンセル takes an import back', null, null, () => page.click('#settings-cancel')],
  ['読み込みを取り消す takes an import back', null, null, async () => {
    await page.click('#settings-import-undo');
    await page.click('#settings-ok');
  }],
  ['Ctrl+Z takes an import back', null, null, async () => {
    await page.focus('#entries');
    await pressWithControl('z');
    await page.click('#settings-ok');
  }],
  ['Escape takes an import back', null, null, () => page.keyboard.press('Escape')],
];
for (const [what, bytes, refusal, takeBack] of IMPORTS_TAKEN_BACK) {
  test(`settings import: ${what}`, async () => {
    const before = await settingsBytes();
    await page.click('#settings');
    const entries = () => page.$eval('#entries', (list) => [...list.options].map((option) => option.text));
    const shown = await entries();
    const file = join(folder, bytes ? 'chosen.bin' : 'Setting.ini');
    writeFileSync(file, bytes ?? cp932('[Main]\r\nTabSpace=3\r\n[Swap001]\r\nFrom=x\r\nTo="y"\r\nType=0\r\n'));
    if (refusal) {
      await chooseFile('#settings-import', file);
      await page.waitForSelector('#message-dialog[open]');
      assert.match(await page.$eval('#message-text', (text) => text.textContent), refusal);
      await page.click('#message-ok');
      assert.deepEqual(await entries(), shown);
      await page.click('#settings-cancel');
    } else {
      await importIntoDialog(file);
      assert.notDeepEqual(await entries(), shown);
      await takeBack();
    }
    await page.waitForFunction(() => !document.querySelector('#settings-dialog[open]'));
    assert.ok((await settingsBytes()).equals(before));
    await page.click('#settings');
    assert.deepEqual(await entries(), shown);
    await page.click('#settings-cancel');
  });
}

// A value longer than the file gives back, written by hand: the dialog
// marks its entry and says why, the To box takes what fits, and OK keeps
// the file's own text and the sections it never read.
test('an entry cut on reading is marked, and OK keeps the file as it was', async () => {
  const file = join(folder, 'Setting.ini');
  const digits = '0123456789'.repeat(20);
  const written = cp932('[Main]\r\nTabSpace=200\r\nConvert=2\r\n[Swap001]\r\nFrom=あ\r\n' +
    `To="${digits}"\r\nType=1\r\n[Swap003]\r\nFrom=い\r\nTo="x"\r\nType=0\r\n`);
  writeFileSync(file, written);
  await page.click('#settings');
  await importIntoDialog(file);
  const row = await page.$eval('#entries', (list) => ({ text: list.options[0].text, title: list.options[0].title }));
  assert.equal(row.text, `※あ >> ${digits.slice(0, 127)} 変換前`);
  assert.ok(row.title.includes('127 バイト'), row.title);
  await page.$eval('#entries', (list) => {
    list.selectedIndex = 0;
    list.dispatchEvent(new Event('change'));
  });
  assert.equal(await page.$eval('#entry-to', (box) => box.value), digits.slice(0, 127));
  await page.click('#settings-ok');
  await storedSettingsAre(written);
  // Typed into the To box, a long text stops where the file would cut it.
  await page.click('#settings');
  await page.select('#entry-kind', 'wholeText');
  await page.focus('#entry-to');
  await page.keyboard.sendCharacter(digits);
  assert.equal(await page.$eval('#entry-to', (box) => box.value), digits.slice(0, 127));
  await page.click('#settings-cancel');
});

test('saving in Shift_JIS and in UTF-8 gives mirotabe-convert\'s bytes', async () => {
  const text = '「鍵」を〜😀\n\tカギ';
  await setInput(text);
  for (const encoding of ['cp932', 'utf-8']) {
    const saved = await save(encoding);
    assert.ok(saved.name.endsWith('.txt'));
    assert.ok(saved.bytes.equals(converted(text, await settingsBytes(), encoding)), encoding);
  }
});

test('縦書きをコピー puts the vertical text on the clipboard, its lines ended by LF as the desktop copies them', async () => {
  const text = 'コピー\nする';
  await setInput(text);
  await page.click('#copy');
  await page.waitForFunction(() => document.getElementById('status').textContent.includes('コピー'));
  const copied = await page.evaluate(() => navigator.clipboard.readText());
  assert.equal(copied, converted(text, await settingsBytes(), 'utf-8').toString().replaceAll('\r\n', '\n'));
});

test('画像として保存 writes a PNG of the output, each glyph in its own cell', async () => {
  await setInput('縦\n書き');
  const picture = await downloaded(async () => {
    await page.click('#picture');
    // A size past the largest keeps the dialog open.
    await page.$eval('#cell-size', (box) => { box.value = '257'; });
    await page.click('#picture-dialog button[value="ok"]');
    assert.ok(await page.$('#picture-dialog[open]'));
    await page.$eval('#cell-size', (box) => { box.value = '40'; });
    await page.$eval('#grid', (box) => { box.checked = false; });
    await page.click('#picture-dialog button[value="ok"]');
  });
  assert.equal(picture.name, '縦書き.png');
  assert.match(await page.$eval('#status', (status) => status.textContent), /PNG 画像で保存しました: 縦書き\.png/);
  // Two columns and two rows of 40-pixel cells as high as a line of the
  // font, half a cell between the columns, and a margin of one cell all
  // round.
  const [width, height] = [picture.bytes.readUInt32BE(16), picture.bytes.readUInt32BE(20)];
  assert.equal(width, 180);
  const h = height / 4;
  const inked = await page.evaluate(async (bytes, cell) => {
    const image = await createImageBitmap(new Blob([new Uint8Array(bytes)], { type: 'image/png' }));
    const g = new OffscreenCanvas(image.width, image.height).getContext('2d');
    g.drawImage(image, 0, 0);
    return [[0, 0], [0, 1], [1, 0], [1, 1]].map(([row, column]) =>
      g.getImageData(40 + column * 60, cell + row * cell, 40, cell).data.some((value, i) => i % 4 === 0 && value < 128));
  }, [...picture.bytes], h);
  // 書 縦 / き and the blank cell.
  assert.deepEqual(inked, [true, true, true, false]);
});

test('mirotabe.html works opened straight from disk', async () => {
  const single = await session.browser.newPage();
  const errors = [];
  single.on('pageerror', (error) => errors.push(error.message));
  await single.goto(`file://${join(site, 'mirotabe.html')}`);
  await single.waitForSelector('html[data-ready]');
  await single.focus('#input');
  await single.keyboard.type('ファイル\nab');
  assert.equal(await outputRows(single), 'ａフ\nｂァ\n　イ\n　ル');
  assert.deepEqual(errors, []);
  await single.close();
});

test('the page reloads and converts with the network off, asking no other origin', async () => {
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 10000 });
  await page.setOfflineMode(true);
  await page.reload();
  await page.waitForSelector('html[data-ready]');
  await setInput('オフライン');
  assert.equal(await outputRows(), 'オ\nフ\nラ\nイ\nン');
  await page.setOfflineMode(false);
  const origin = new URL(session.url).origin;
  assert.deepEqual(page.requests.filter((url) => !url.startsWith(origin) && !url.startsWith('blob:')), []);
});
