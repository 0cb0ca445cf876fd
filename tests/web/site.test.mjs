// The built site as a server would serve it: the service worker keeps every
// file that the site has, and every file that a page or a module asks for,
// so that the page works offline; the single-file page asks for nothing.
// Run by ctest (web.site) with MIROTABE_SITE naming the built site.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';

const site = process.env.MIROTABE_SITE;
assert.ok(site, 'MIROTABE_SITE must be set');
const read = (name) => readFileSync(join(site, name), 'utf8');
const cached = JSON.parse(read('sw.js').match(/const FILES = (\[.*\]);/)[1]);

// What only pictures and PDFs need: fetched when the first is made, and
// kept then, so that a first visit does not pay for them.
const LOADED_WHEN_NEEDED = ['mirotabe-painter.mjs', 'mirotabe-painter.wasm', 'THIRD-PARTY-NOTICES.txt', 'fonts'];

test('the service worker keeps exactly the files of the site, but those loaded when needed', () => {
  const served = readdirSync(site).filter((name) => name !== 'sw.js' && name !== 'mirotabe.html');
  assert.deepEqual(cached.filter((name) => name !== './').sort(),
    served.filter((name) => !LOADED_WHEN_NEEDED.includes(name)).sort());
  for (const name of LOADED_WHEN_NEEDED) assert.ok(served.includes(name), name);
});

// [file, what in it names another file of the site]
const references = [
  ['index.html', /(?:src|href)="([^":]+)"/g],
  ['manifest.webmanifest', /"(?:src|start_url|action)": "([^"]+)"/g],
  ['app.mjs', /from\s*"\.\/([^"]+)"/g],
  ['mirotabe.mjs', /from\s*["']\.\/([^"']+)["']/g],
];
for (const [file, pattern] of references) {
  test(`what ${file} asks for is kept for offline use`, () => {
    const named = [...read(file).matchAll(pattern)].map((match) => match[1].replace(/^\.\//, '') || './');
    assert.notEqual(named.length, 0);
    for (const name of named) assert.ok(cached.includes(name), `${file} asks for ${name}`);
  });
}

test('mirotabe.html asks for no file, and its policy allows only its own script and style', () => {
  const page = read('mirotabe.html');
  assert.deepEqual([...page.matchAll(/(?:src|href)="(?!data:)([^"]*)"/g)].map((match) => match[1]), []);
  assert.match(page, /content="default-src 'none'; script-src 'sha256-[^']+' 'wasm-unsafe-eval'; style-src 'sha256-[^']+';/);
});
