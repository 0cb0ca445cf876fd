// The module's convert() against mirotabe-convert, byte for byte: each case
// of the table is one input, one settings file and one set of options, run
// through both. Run by ctest (web.parity) with MIROTABE_CONVERT naming the
// native converter and MIROTABE_SITE the built site.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdtempSync, writeFileSync, readFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { gunzipSync } from 'node:zlib';

const converter = process.env.MIROTABE_CONVERT;
const site = process.env.MIROTABE_SITE;
assert.ok(converter && site, 'MIROTABE_CONVERT and MIROTABE_SITE must be set');
const { default: createMirotabe } = await import(pathToFileURL(resolve(site, 'mirotabe.mjs')).href);
const mirotabe = await createMirotabe();
const folder = mkdtempSync(join(tmpdir(), 'mirotabe-parity-'));

// The Japanese Debian Reference, and the same text in the other encodings
// (glibc's iconv drops what an encoding cannot hold).
const reference = gunzipSync(readFileSync('/usr/share/debian-reference/debian-reference.ja.txt.gz'));
const inEncoding = (bytes, to) => execFileSync('iconv', ['-c', '-f', 'UTF-8', '-t', to], {
  input: bytes, maxBuffer: 1 << 26,
});
const utf16WithMark = (text) => Buffer.concat([Buffer.from([0xFF, 0xFE]), Buffer.from(text, 'utf16le')]);
const cp932 = (text) => inEncoding(Buffer.from(text), 'CP932');

const inputs = {
  reference: reference,
  'reference.cp932': inEncoding(reference, 'CP932'),
  'reference.euc-jp': inEncoding(reference, 'EUC-JP-MS'),
  'reference.iso-2022-jp': inEncoding(reference, 'ISO-2022-JP'),
  'reference.utf-16': utf16WithMark(reference.toString()),
  // Characters whose code points differ between the encodings' variants,
  // half-width kana, tabs, lone CR and LF, and what cp932 cannot hold.
  mixed: Buffer.from('ラーメン～∥－¢£¬〜\tｶﾞｷﾞﾊﾟ\r\n「テスト」、。\rabc\n😀é\r\n\r\n末'),
  'mixed.cp932': cp932('ラーメン～∥－¢£¬\tｶﾞｷﾞﾊﾟ\r\n「テスト」、。\rabc\n①ⅰ㈱\r\n'),
  'mixed.euc-jp': inEncoding(Buffer.from('漢字かな～∥－¢£¬ｶﾞ①ⅰ㈱\r\n丂'), 'EUC-JP-MS'),
  'mixed.iso-2022-jp-3': inEncoding(Buffer.from('漢字〜‖−かな\r\nｶﾀｶﾅ𠀋か゚'), 'ISO-2022-JP-3'),
  'mixed.utf-16be': Buffer.concat([Buffer.from([0xFE, 0xFF]), Buffer.from('縦書き\r\nテスト', 'utf16le').swap16()]),
  // Bytes that are bad in every encoding: each reading keeps going.
  bad: Buffer.from([0x82, 0x20, 0x81, 0xFF, 0xE3, 0x81, 0x41, 0x1B, 0x24, 0x42, 0x30, 0x0A, 0x8F, 0xA1]),
  'vertical.cp932': cp932('ｃａ\r\n　ｂ\r\n　ｄ'),
  // What only detection tells: EUC-JP with a bad byte, short EUC-JP, JIS
  // X 0213 from the first escape sequence, UTF-16 without a byte-order mark.
  'euc-jp.bad': Buffer.concat([inEncoding(Buffer.from('縦書きは、上から下へ'), 'EUC-JP-MS'),
    Buffer.from([0xFF]), inEncoding(Buffer.from('読み進める書き方です。\n'), 'EUC-JP-MS')]),
  'euc-jp.short': inEncoding(Buffer.from('こんにちは'), 'EUC-JP-MS'),
  'euc-jp.kana': inEncoding(Buffer.from('あいう'), 'EUC-JP-MS'),
  'iso-2022-jp-3.O': Buffer.from('\x1B$(O=D=q$-\x1B(B\r\n\x1B$(Q$O\x1B(B', 'latin1'),
  'utf-16be.nomark': Buffer.from('縦書き\r\nテスト', 'utf16le').swap16(),
  'reference.utf-16le.nomark': Buffer.from(reference.toString(), 'utf16le'),
  empty: Buffer.alloc(0),
  // Ruby marks with and without a bar, and what stays text.
  ruby: Buffer.from('｜東京《とうきょう》の漢字《かんじ》と|山《やま》\r\n《《強調》》とかな《かな》と字《》\r\n'),
};

// Settings files as the desktop writes them, and one with hand-made lines.
const settingsFiles = {
  none: null,
  table: cp932('[Main]\r\nTabSpace=2\r\nConvert=2\r\n[Swap001]\r\nFrom=ー\r\nTo="｜"\r\nType=0\r\n' +
    '[Swap002]\r\nFrom=テスト\r\nTo="試験"\r\nType=1\r\n[Swap003]\r\nFrom=「\r\nTo="﹁"\r\nType=0\r\n'),
  layout: cp932('[Main]\r\nTabSpace=0\r\n; a comment\r\n[Layout]\r\nColumnLength=40\r\nKinsoku=1\r\nColumnGap=1\r\n'),
  odd: cp932('[main]\r\n  tabspace = 12abc \r\n[Swap001]\r\nFrom= a \r\nTo=\'  ｜ \'\r\nType=7\r\n[Swap002]\r\nFrom=\r\n'),
};

// [input, settings, options]; `from` and `encoding` are always named, so
// that both sides read and write alike whatever their defaults.
const cases = [
  ['reference', 'none', { from: 'auto', encoding: 'cp932' }],
  ['reference', 'none', { from: 'utf-8', encoding: 'utf-8' }],
  ['reference', 'table', { from: 'auto', encoding: 'utf-8' }],
  ['reference', 'layout', { from: 'auto', encoding: 'cp932' }],
  ['reference', 'none', { from: 'auto', encoding: 'cp932', columnLength: 30, kinsoku: 'push', gap: 2 }],
  ['reference.cp932', 'none', { from: 'auto', encoding: 'cp932' }],
  ['reference.cp932', 'table', { from: 'cp932', encoding: 'utf-8', columnLength: 999, kinsoku: 'hang' }],
  ['reference.euc-jp', 'none', { from: 'euc-jp', encoding: 'utf-8' }],
  ['reference.euc-jp', 'none', { from: 'auto', encoding: 'utf-8' }],
  ['reference.iso-2022-jp', 'none', { from: 'auto', encoding: 'utf-8' }],
  ['reference.iso-2022-jp', 'layout', { from: 'iso-2022-jp', encoding: 'cp932' }],
  ['reference.utf-16', 'none', { from: 'auto', encoding: 'cp932' }],
  ['reference.utf-16', 'odd', { from: 'utf-16', encoding: 'utf-8', gap: 1 }],
  ['mixed', 'none', { from: 'auto', encoding: 'cp932' }],
  ['mixed', 'table', { from: 'utf-8', encoding: 'utf-8', columnLength: 3, kinsoku: 'push' }],
  ['mixed', 'odd', { from: 'auto', encoding: 'utf-8' }],
  ['mixed.cp932', 'none', { from: 'auto', encoding: 'utf-8' }],
  ['mixed.cp932', 'table', { from: 'cp932', encoding: 'cp932', columnLength: 2, kinsoku: 'hang' }],
  ['mixed.euc-jp', 'none', { from: 'euc-jp', encoding: 'utf-8' }],
  ['mixed.iso-2022-jp-3', 'none', { from: 'auto', encoding: 'utf-8' }],
  ['mixed.iso-2022-jp-3', 'none', { from: 'iso-2022-jp', encoding: 'utf-8' }],
  ['mixed.utf-16be', 'layout', { from: 'utf-16', encoding: 'utf-8' }],
  ['mixed.utf-16be', 'none', { from: 'auto', encoding: 'cp932' }],
  ['bad', 'none', { from: 'cp932', encoding: 'utf-8' }],
  ['bad', 'none', { from: 'utf-8', encoding: 'utf-8' }],
  ['bad', 'none', { from: 'euc-jp', encoding: 'utf-8' }],
  ['bad', 'none', { from: 'iso-2022-jp', encoding: 'utf-8' }],
  ['bad', 'none', { from: 'utf-16', encoding: 'utf-8' }],
  ['vertical.cp932', 'none', { from: 'auto', encoding: 'utf-8', reverse: true }],
  ['reference', 'none', { from: 'auto', encoding: 'cp932', reverse: true }],
  ['empty', 'table', { from: 'auto', encoding: 'cp932' }],
  ['euc-jp.bad', 'none', { from: 'auto', encoding: 'utf-8' }],
  ['euc-jp.short', 'none', { from: 'auto', encoding: 'utf-8' }],
  ['euc-jp.kana', 'none', { from: 'auto', encoding: 'utf-8' }],
  ['iso-2022-jp-3.O', 'none', { from: 'auto', encoding: 'utf-8' }],
  ['utf-16be.nomark', 'none', { from: 'auto', encoding: 'utf-8' }],
  ['utf-16be.nomark', 'none', { from: 'utf-16be', encoding: 'utf-8' }],
  ['reference.utf-16le.nomark', 'none', { from: 'auto', encoding: 'cp932' }],
  ['ruby', 'none', { from: 'utf-8', encoding: 'utf-8', ruby: 'on', columnLength: 4, kinsoku: 'push' }],
  ['ruby', 'layout', { from: 'utf-8', encoding: 'utf-8', ruby: 'off' }],
];

// Cuts of the reference in EUC-JP and code page 932, a few characters
// long to a few thousand, each read by detection.
const referenceText = reference.toString();
for (const [i, length] of [2, 3, 5, 8, 13, 20, 50, 200, 2000].entries()) {
  const start = Math.floor((referenceText.length / 11) * (i + 1));
  const cut = Buffer.from(referenceText.slice(start, start + length));
  for (const [name, to] of [['euc-jp', 'EUC-JP-MS'], ['cp932', 'CP932']]) {
    inputs[`reference.${name}.${length}`] = inEncoding(cut, to);
    cases.push([`reference.${name}.${length}`, 'none', { from: 'auto', encoding: 'utf-8' }]);
  }
}

const emptySettings = join(folder, 'empty.ini');
writeFileSync(emptySettings, '');
const settingsPaths = {};
for (const [name, bytes] of Object.entries(settingsFiles)) {
  settingsPaths[name] = bytes === null ? emptySettings : join(folder, `${name}.ini`);
  if (bytes !== null) writeFileSync(settingsPaths[name], bytes);
}
const inputPaths = {};
for (const [name, bytes] of Object.entries(inputs)) {
  inputPaths[name] = join(folder, `${name}.txt`);
  writeFileSync(inputPaths[name], bytes);
}

function nativeConvert(input, settings, options) {
  const args = ['--settings', settingsPaths[settings], '--from', options.from, '--encoding', options.encoding];
  if (options.columnLength !== undefined) args.push('--column-length', String(options.columnLength));
  if (options.kinsoku !== undefined) args.push('--kinsoku', options.kinsoku);
  if (options.gap !== undefined) args.push('--gap', String(options.gap));
  if (options.ruby !== undefined) args.push('--ruby', options.ruby);
  if (options.reverse) args.push('--reverse');
  return execFileSync(converter, [...args, inputPaths[input]], { maxBuffer: 1 << 28, stdio: ['ignore', 'pipe', 'ignore'] });
}

for (const [input, settings, options] of cases) {
  test(`${input} with settings ${settings} and ${JSON.stringify(options)}`, () => {
    const expected = nativeConvert(input, settings, options);
    const converted = mirotabe.convert(inputs[input], {
      ...options, settings: settingsFiles[settings] ?? undefined,
    });
    assert.ok(Buffer.from(converted.bytes).equals(expected),
      `differs: ${converted.bytes.length} bytes against ${expected.length}`);
  });
}

// Bytes that the input's encoding cannot read are told of alike: the
// module's warning is the converter's line on standard error.
for (const from of ['cp932', 'utf-8', 'euc-jp', 'iso-2022-jp']) {
  test(`bytes that ${from} cannot read are told of as mirotabe-convert tells of them`, () => {
    const native = spawnSync(converter, ['--settings', settingsPaths.none, '--from', from,
      '--encoding', 'utf-8', inputPaths.bad]);
    const told = native.stderr.toString().split('\n').filter((line) => line.includes('could not be read'))
      .map((line) => line.replace(/^mirotabe-convert: warning: /, ''));
    assert.equal(told.length, 1, native.stderr.toString());
    const { warnings } = mirotabe.convert(inputs.bad, { from, encoding: 'utf-8' });
    assert.deepEqual(warnings.filter((warning) => warning.includes('could not be read')), told);
  });
}

// What the page offers to open and save in, by the names it hands the
// engine: each is a name the converter takes, and reads or writes alike.
const { openEncodings, saveEncodings } = mirotabe.engine.constants();
for (const from of openEncodings) {
  test(`the page's open choice ${from.label} reads as mirotabe-convert --from ${from.name}`, () => {
    const input = from.name === 'auto' ? 'mixed.cp932' : 'mixed';
    const options = { from: from.name, encoding: 'utf-8' };
    assert.ok(Buffer.from(mirotabe.convert(inputs[input], options).bytes).equals(nativeConvert(input, 'none', options)));
  });
}
for (const to of saveEncodings) {
  test(`the page's save choice ${to.label} writes as mirotabe-convert --encoding ${to.name}`, () => {
    const options = { from: 'utf-8', encoding: to.name };
    assert.ok(Buffer.from(mirotabe.convert(inputs.mixed, options).bytes).equals(nativeConvert('mixed', 'none', options)));
  });
}

// Bad requests throw an Error that says why, and the engine goes on.
const refused = [
  [{ from: 'latin1' }, /unknown input encoding 'latin1'/],
  [{ encoding: 'shift_jis2' }, /unknown encoding 'shift_jis2'/],
  [{ columnLength: 1000 }, /--column-length.*0 to 999/],
  [{ columnLength: 2.5 }, /--column-length/],
  [{ kinsoku: 'strict' }, /--kinsoku.*none, hang or push/],
  [{ gap: -1 }, /--gap.*0 to 2/],
  [{ gap: '1' }, /gap must be a number/],
  [{ reverse: 'yes' }, /reverse must be true or false/],
  [{ settings: new Uint8Array((1 << 20) + 1) }, /settings file is larger than/],
  [{ settings: 'Setting.ini' }, /settings must be a Uint8Array/],
  [{ columns: 3 }, /unknown option 'columns'/],
];
for (const [options, message] of refused) {
  test(`convert refuses ${JSON.stringify(options, (key, value) => (value instanceof Uint8Array ? `${value.length} bytes` : value))}`, () => {
    assert.throws(() => mirotabe.convert(Buffer.from('縦'), options), message);
    assert.equal(Buffer.from(mirotabe.convert(Buffer.from('縦'), { from: 'utf-8', encoding: 'utf-8' }).bytes).toString(), '縦');
  });
}

test('a text past the layout bound is refused, not converted', () => {
  // One line of 64 Mi + 1 characters: more cells than a layout holds.
  assert.throws(() => mirotabe.convert(new Uint8Array(64 * 1024 * 1024 + 1).fill(0x61)), /too large to lay out/);
  assert.throws(() => mirotabe.convert('text'), /input must be a Uint8Array/);
});
