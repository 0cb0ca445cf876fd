// The peer of the converter's pages: headless Chromium printing the same
// text as an A4 PDF in CSS vertical writing, as the converter's default A4
// pages set it: the same face (IPAMincho, or IPAGothic with --font gothic,
// from Debian's font files), 10.5 pt characters, columns three quarters of
// an em apart, 15 mm margins, the rules a book sets (line-break: strict,
// 縦中横 of two digits, Latin sideways by default, lines justified), ruby
// typed as ｜base《reading》 or 漢字《よみ》 as <ruby>, and with
// --page-numbers the page's number centred in the bottom margin. Reports
// the time from loading the text to the PDF's bytes and the renderer's peak
// resident memory, for the same run as scripts/pdf_bench.sh's converter.
// Usage: node print_peer.mjs [--font mincho|gothic] [--page-numbers] TEXT.txt OUT.pdf
import { readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { parseArgs } from 'node:util';
import { CHROMIUM_FLAGS } from '../../tests/web/browser.mjs';

// The tests' own puppeteer-core, pinned by their lockfile.
const puppeteer = createRequire(new URL('../../tests/web/package.json', import.meta.url))('puppeteer-core');

const { values: options, positionals } = parseArgs({
  allowPositionals: true,
  options: { font: { type: 'string', default: 'mincho' }, 'page-numbers': { type: 'boolean' } },
});
const [textPath, outPath] = positionals;
const fontFiles = {
  mincho: '/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf',
  gothic: '/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf',
};
// A page set from text has no origin to load a file from: the face is
// found by its name among the system's fonts, which are Debian's files.
const fontNames = { mincho: 'IPAMincho', gothic: 'IPAGothic' };
const fontFile = fontFiles[options.font];
if (!fontFile || !textPath || !outPath) {
  console.error('Usage: node print_peer.mjs [--font mincho|gothic] [--page-numbers] TEXT.txt OUT.pdf');
  process.exit(2);
}

// The converter's A4 page: its characters' square, the space between its
// columns in ems, its margin to the text's squares.
const characterPt = 10.5;
const columnSpacing = 0.75;
const marginPt = (15 * 72) / 25.4;
// A CSS line box is the column's pitch, the glyph centred in it: half the
// space between columns lies inside each outer line box, so the margins
// at the sides are that much narrower for the ink to stand where the
// converter's does.
const sideMarginPt = marginPt - (characterPt * columnSpacing) / 2;

const escape = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
// The two ways writers type ruby: the bar marks where the base starts,
// else the base is the kanji just before 《. Marks never span lines.
const kanji = '[\\p{Script=Han}々〆〇ヶ]';
const rubyMark = new RegExp(`[｜|]([^｜|《》\\n]+)《([^《》\\n]+)》|(${kanji}+)《([^《》\\n]+)》`, 'gu');
const withRuby = (line) =>
  escape(line).replace(rubyMark, (_, barBase, barReading, base, reading) =>
    `<ruby>${barBase ?? base}<rt>${barReading ?? reading}</rt></ruby>`);
const paragraphs = readFileSync(textPath, 'utf8').split(/\r?\n/).map((line) => `<p>${withRuby(line) || '<br>'}</p>`);
const pageNumbers = options['page-numbers']
  ? `@bottom-center { content: counter(page); font: ${characterPt * 0.8}pt Page; writing-mode: horizontal-tb; }`
  : '';
const html = `<!doctype html><html lang="ja"><head><meta charset="utf-8"><style>
@page { size: A4; margin: ${marginPt}pt ${sideMarginPt}pt; ${pageNumbers} }
@font-face { font-family: Page; src: local("${fontNames[options.font]}"), url("file://${fontFile}"); }
html { writing-mode: vertical-rl; font: ${characterPt}pt/${1 + columnSpacing} Page; line-break: strict; text-align: justify; }
body, p { margin: 0; }
p { text-combine-upright: none; }
.tcy { text-combine-upright: all; }
</style></head><body>${paragraphs.join('')}</body></html>`;

const browser = await puppeteer.launch({
  executablePath: process.env.MIROTABE_CHROMIUM ?? '/usr/bin/chromium',
  headless: true,
  args: [...CHROMIUM_FLAGS, '--allow-file-access-from-files'],
});
try {
  const page = await browser.newPage();
  const start = performance.now();
  await page.setContent(html, { waitUntil: 'load', timeout: 0 });
  // Two-digit numbers standing alone, as text-combine-upright: digits 2
  // would set them where Chromium supports it.
  await page.evaluate(() => {
    const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
    const texts = [];
    while (walker.nextNode()) texts.push(walker.currentNode);
    for (const node of texts) {
      const parts = node.data.split(/(?<![0-9A-Za-z.,])([0-9]{1,2}|!\?|\?\?|!!|\?!)(?![0-9A-Za-z.,])/);
      if (parts.length === 1) continue;
      const fragment = document.createDocumentFragment();
      parts.forEach((part, i) => {
        if (i % 2 === 0) fragment.append(part);
        else {
          const span = document.createElement('span');
          span.className = 'tcy';
          span.textContent = part;
          fragment.append(span);
        }
      });
      node.replaceWith(fragment);
    }
  });
  const pdf = await page.pdf({ format: 'A4', printBackground: false, timeout: 0 });
  const seconds = (performance.now() - start) / 1000;
  const { processInfo } = await (await browser.target().createCDPSession()).send('SystemInfo.getProcessInfo');
  const resident = Math.max(...processInfo.filter((p) => p.type === 'renderer').map((p) =>
    Number(readFileSync(`/proc/${p.id}/status`, 'utf8').match(/VmHWM:\s+(\d+)/)[1]) * 1024));
  writeFileSync(outPath, pdf);
  console.log(`Chromium: PDF of ${(pdf.length / 1e6).toFixed(1)} MB in ${seconds.toFixed(2)} s; ` +
    `the renderer's peak resident memory ${(resident / 2 ** 20).toFixed(0)} MB`);
} finally {
  await browser.close();
}
