// The browser's engine with the hostile settings files of
// tests/data/hostile-settings: each is imported, loaded, stored by the
// settings dialog's OK without a change, and loaded again. No value may
// change without a mark on its entry, and no section of the file may be
// lost; an import shows what OK keeps.
// Run by ctest (web.settings) with MIROTABE_SITE naming the built site.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const site = process.env.MIROTABE_SITE;
assert.ok(site, 'MIROTABE_SITE must be set');
const { default: createMirotabe } = await import(pathToFileURL(resolve(site, 'mirotabe.mjs')).href);
const { engine } = await createMirotabe();
const folder = join(dirname(fileURLToPath(import.meta.url)), '..', 'data', 'hostile-settings');

// The sections of a settings file's bytes as the reader splits them: lines
// end at CR LF, LF or CR, a line whose first non-blank byte is '[' opens a
// section, and a UTF-8 byte-order mark is no part of the first line. Each
// section is its lower-case name and its bytes (as Latin-1 text).
function sectionsOf(bytes) {
  let text = Buffer.from(bytes).toString('latin1');
  if (text.startsWith('\xEF\xBB\xBF')) text = text.slice(3);
  const sections = [];
  for (const line of text.match(/[^\r\n]*(\r\n|\r|\n|$)/g)) {
    if (line === '') continue;
    const header = line.match(/^[ \t]*\[([^\]\r\n]*)/);
    if (header) sections.push({ name: header[1].trim().toLowerCase(), bytes: '' });
    if (sections.length) sections.at(-1).bytes += line;
  }
  return sections;
}

// The sections of `original` that `saved` lost: the first [Main] and the
// first of each entry section up to the one that ended the table of
// `entries` entries, which OK writes into, must be there by name; every
// other section byte for byte.
function lostSections(original, saved, entries) {
  const written = new Set(['main']);
  for (let n = 1; n <= Math.min(entries + 1, 999); ++n) written.add(`swap${String(n).padStart(3, '0')}`);
  const after = sectionsOf(saved);
  const seen = new Set();
  const lost = [];
  for (const section of sectionsOf(original)) {
    const rewritten = !seen.has(section.name) && written.has(section.name);
    seen.add(section.name);
    const kept = after.some((now) => (rewritten ? now.name === section.name : now.bytes === section.bytes));
    if (!kept) lost.push(section.bytes.slice(0, 40));
  }
  return lost;
}

// What the settings dialog shows, as the page holds it.
function loaded(bytes) {
  const page = new engine.Page();
  assert.ok(page.loadSettingsFile(bytes));
  return page;
}

const files = readdirSync(folder).filter((name) => name.endsWith('.ini')).sort();

test('every hostile settings file', () => {
  assert.ok(files.length >= 58, `${files.length} files`);
  let marked = 0;
  let refused = 0;
  for (const name of files) {
    const original = readFileSync(join(folder, name));
    const page = loaded(original);
    const settings = page.settings();
    // The import shows what OK would keep; a file is refused only when it
    // has no section the program reads.
    const read = engine.readSettingsFile(original);
    if (read.refusal) {
      const known = /^(main|layout|options|page|swap\d{3})$/;
      assert.deepEqual(sectionsOf(original).filter((section) => known.test(section.name)), [], name);
      refused += 1;
    } else {
      assert.deepEqual(read.settings, settings, name);
    }
    // OK, as the dialog stores what it shows, every entry as it was read.
    const failed = page.saveSettings(settings);
    assert.equal(failed, '', name);
    const saved = page.settingsFileBytes();
    assert.deepEqual(loaded(saved).settings(), settings, name);
    assert.deepEqual(lostSections(original, saved, settings.entries.length), [], name);
    for (const entry of settings.entries) {
      // A mark wherever the file's own text is kept, and only there.
      assert.equal(Boolean(entry.mark && entry.note), entry.kept !== undefined, name);
      if (entry.kept) marked += 1;
    }
  }
  assert.ok(marked >= 15, `${marked} marked entries`);
  assert.ok(refused < files.length / 4, `${refused} refused`);
});

test('a To the dialog takes is what the file gives back whole', () => {
  const constants = engine.constants();
  const digits = '0123456789'.repeat(20);
  assert.equal(engine.entryTo(digits, constants.swapKind.wholeText), digits.slice(0, 127));
  assert.equal(engine.entryTo('漢字'.repeat(50), constants.swapKind.wholeText), '漢字'.repeat(50).slice(0, 63));
  const page = loaded(new Uint8Array());
  const entry = { from: 'あ', to: engine.entryTo(digits, constants.swapKind.wholeText), kind: constants.swapKind.wholeText };
  assert.equal(page.saveSettings({ ...page.settings(), entries: [entry] }), '');
  const [read] = loaded(page.settingsFileBytes()).settings().entries;
  assert.equal(read.to, entry.to);
  assert.equal(read.kept, undefined);
  // A To the box would cut is refused whole, not cut at the next load.
  const saved = page.settingsFileBytes();
  for (const [to, kind] of [[digits, constants.swapKind.wholeText], ['a\nb', constants.swapKind.wholeText], [digits, constants.swapKind.cell]]) {
    assert.match(page.saveSettings({ ...page.settings(), entries: [{ from: 'い', to, kind }] }), /保存できません/);
  }
  assert.deepEqual(page.settingsFileBytes(), saved);
});

test('an entry cut on reading keeps its whole text while it moves', () => {
  const page = loaded(readFileSync(join(folder, 'long-to-second-entry-then-gap.ini')));
  const settings = page.settings();
  const [first, cut] = settings.entries;
  assert.equal(cut.kept.to, 'd'.repeat(300));
  assert.ok(cut.note.includes('127'));
  // The first entry goes: the cut one moves to Swap001 with its own text.
  assert.equal(page.saveSettings({ ...settings, entries: [cut] }), '');
  const text = Buffer.from(page.settingsFileBytes()).toString('latin1');
  assert.ok(text.includes(`[Swap001]\r\nFrom=c\r\nTo="${'d'.repeat(300)}"`), text);
  assert.ok(text.includes(`[Swap004]\r\nFrom=e\r\nTo="${'f'.repeat(300)}"`), text);
  assert.equal(first.kept, undefined);
});

test('entries that would make the text too long are refused with the message the window gives', () => {
  const constants = engine.constants();
  const page = loaded(new Uint8Array());
  const grows = { from: 'あ', to: 'あ'.repeat(60), kind: constants.swapKind.wholeText };
  // The fifth entry would make one あ 777,600,000 characters.
  assert.equal(page.saveSettings({ ...page.settings(), entries: Array(5).fill(grows) }), '');
  page.replace(0, 0, 'あ');
  const refused = page.lay();
  assert.ok(refused.tooLarge);
  assert.match(refused.message, /^置き換えると大きすぎるため表示できません。\n置き換えた文章は \d+ 文字以上になり、上限の 268435456 文字を超えます。$/);
  page.replace(0, 1, 'い');
  const shown = page.lay();
  assert.ok(!shown.tooLarge);
  assert.equal(shown.columns, 1);
});
