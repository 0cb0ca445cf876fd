// The module's pictures, pages and e-books against mirotabe-convert's, byte
// for byte: each row is one text and one set of options, the font handed
// to the module as bytes and to the converter as the same file. Run by
// ctest (web.painter) with MIROTABE_CONVERT and MIROTABE_SITE set.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const converter = process.env.MIROTABE_CONVERT;
const site = process.env.MIROTABE_SITE;
assert.ok(converter && site, 'MIROTABE_CONVERT and MIROTABE_SITE must be set');
const { default: createMirotabe } = await import(pathToFileURL(resolve(site, 'mirotabe.mjs')).href);
const mirotabe = await createMirotabe();
const emptySettings = join(mkdtempSync(join(tmpdir(), 'mirotabe-painter-')), 'Setting.ini');
writeFileSync(emptySettings, '');

const fonts = { gothic: resolve(site, 'fonts/ipag.ttf'), mincho: resolve(site, 'fonts/ipam.ttf') };
const fontBytes = Object.fromEntries(Object.entries(fonts).map(([face, file]) => [face, readFileSync(file)]));
const aozora = (name) => readFileSync(new URL(`../data/aozora/${name}`, import.meta.url));

// Ruby, numbers and Latin that may be set upright or sideways, a character
// beyond the BMP, and the notation's page break, indent and emphasis.
const texts = {
  typeset: Buffer.from('｜吾輩《わがはい》は猫である。名前《なまえ》はまだ無い。\n平成31年4月、Vertical 縦書きの𠮷野家!?\n' +
    '［＃改ページ］\n［＃ここから２字下げ］\n字下げの段落。［＃「段落」に傍点］\n［＃ここで字下げ終わり］\n'),
  rashomon: aozora('rashomon-excerpt.txt'),
  poem: aozora('poem-excerpt.txt'),
};

// [text, the converter's options by the module's names, face]; every value
// goes to the converter as its option of the same name.
const flags = {
  format: '--format', page: '--page', landscape: '--landscape', latin: '--latin', tcy: '--tcy',
  grid: '--grid', cellSize: '--cell-size', columnSpacing: '--column-spacing', width: '--width',
  verticalGlyphs: '--vertical-glyphs', notation: '--notation', ruby: '--ruby', title: '--title',
  author: '--author', columnLength: '--column-length', from: '--from',
};
const rows = [
  ['typeset', { format: 'png' }, 'gothic'],
  ['typeset', { format: 'png', grid: true, latin: 'sideways', tcy: 2 }, 'mincho'],
  ['typeset', { format: 'png', cellSize: 16, verticalGlyphs: false, notation: 'plain' }, 'gothic'],
  ['typeset', { format: 'png', width: 300, columnSpacing: 1 }, 'gothic'],
  ['typeset', { format: 'pdf' }, 'mincho'],
  ['typeset', { page: 'a4' }, 'mincho'],
  ['rashomon', { page: 'b5', ruby: 'on' }, 'mincho'],
  ['typeset', { page: 'a5' }, 'gothic'],
  ['typeset', { page: 'b6', latin: 'cells', tcy: 0 }, 'mincho'],
  ['poem', { page: 'a6' }, 'mincho'],
  ['typeset', { page: 'letter', landscape: true }, 'mincho'],
  ['typeset', { page: 'genkou' }, 'mincho'],
  ['rashomon', { format: 'epub' }, null],
  ['poem', { format: 'epub', title: '詩', author: '作者' }, null],
  ['typeset', { format: 'epub', notation: 'plain' }, null],
  ['typeset', { format: 'text', notation: 'aozora', from: 'utf-8' }, null],
];

function nativeConvert(text, options, face) {
  const args = ['--settings', emptySettings];
  for (const [name, value] of Object.entries(options)) {
    if (value === true) args.push(flags[name]);
    else if (value === false) args.push(flags[name], 'off');
    else args.push(flags[name], String(value));
  }
  if (options.grid === true) args.splice(args.indexOf('--grid') + 1, 0, 'on');
  if (face) args.push('--font', fonts[face]);
  const run = spawnSync(converter, [...args, '-'], { input: texts[text], maxBuffer: 1 << 28 });
  assert.equal(run.status, 0, run.stderr.toString());
  return run.stdout;
}

for (const [text, options, face] of rows) {
  test(`${text} with ${JSON.stringify(options)}${face ? ` in ${face}` : ''} is the converter's bytes`, () => {
    const expected = nativeConvert(text, options, face);
    const made = mirotabe.convert(texts[text], {
      ...options, settings: new Uint8Array(0), ...(face ? { fontData: fontBytes[face] } : {}),
    });
    assert.ok(Buffer.from(made.bytes).equals(expected), `differs: ${made.bytes.length} bytes against ${expected.length}`);
  });
}

// What the painter refuses says why, and the module goes on.
const refused = [
  [{ format: 'png' }, /fontData must hold the bytes of the font/],
  [{ page: 'a4', format: 'pdf' }, /fontData must hold/],
  [{ format: 'png', fontData: fontBytes.gothic, font: 'ipag.ttf' }, /font names the face/],
  [{ format: 'png', fontData: new Uint8Array(10) }, /フォントではありません/],
  [{ format: 'gif' }, /--format: unknown format 'gif'/],
  [{ page: 'a3', fontData: fontBytes.mincho }, /--page: unknown paper 'a3'/],
  [{ format: 'png', grid: 'on', fontData: fontBytes.gothic }, /grid must be true or false/],
  [{ format: 'png', page: 'a4', fontData: fontBytes.gothic }, /cannot be used with --format png/],
  [{ format: 'epub', outputDir: '/tmp' }, /unknown option 'outputDir'/],
];
for (const [options, message] of refused) {
  test(`the painter refuses ${JSON.stringify(options, (key, value) => (key === 'fontData' ? 'bytes' : value))}`, () => {
    assert.throws(() => mirotabe.convert(texts.typeset, options), message);
  });
}

test('the module without its painter says what pictures need', async () => {
  const textOnly = await createMirotabe({ painter: false });
  assert.throws(() => textOnly.convert(texts.typeset, { format: 'epub' }), /need the painter/);
  assert.equal((await textOnly.painter()).convert !== undefined, true);
});
