// The peer of the converter's pages: headless Chromium printing the same
// text as an A4 PDF in CSS vertical writing, with the rules a book sets
// (line-break: strict, 縦中横 of two digits, Latin sideways by default) in
// the same IPAGothic, with the page's margins and character size. Reports
// the time from loading the text to the PDF's bytes and the renderer's peak
// resident memory, for the same run as scripts/pdf_bench.sh's converter.
// Usage: node print_peer.mjs TEXT.txt OUT.pdf
import { readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { CHROMIUM_FLAGS } from '../../tests/web/browser.mjs';

// The tests' own puppeteer-core, pinned by their lockfile.
const puppeteer = createRequire(new URL('../../tests/web/package.json', import.meta.url))('puppeteer-core');

const [textPath, outPath] = process.argv.slice(2);
const escape = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
const paragraphs = readFileSync(textPath, 'utf8').split(/\r?\n/).map((line) => `<p>${escape(line) || '<br>'}</p>`);
const html = `<!doctype html><html lang="ja"><head><meta charset="utf-8"><style>
@page { size: A4; margin: 15mm; }
@font-face { font-family: Page; src: url("file:///usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"); }
html { writing-mode: vertical-rl; font: 10.5pt/1.0 Page; line-break: strict; text-align: justify; }
p { margin: 0; text-combine-upright: none; }
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
