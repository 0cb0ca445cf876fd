// The browser's PDF of a large text, in headless Chromium with the site
// served on localhost: from the click on 保存 until the file is downloaded,
// for A4 pages and for 原稿用紙, with the tab's JavaScript heap at its
// largest while it is made (sampled every 100 ms) and the renderer
// process's peak resident memory (VmHWM, WebAssembly's memory included), the
// first PDF's time including the page font's first load.
// Usage: node pdf_bench.mjs SITE TEXT.txt
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { downloaded, importSettings, newPage, openSite } from '../../tests/web/browser.mjs';

const [site, textPath] = process.argv.slice(2);
const folder = mkdtempSync(join(tmpdir(), 'mirotabe-pdf-bench-'));
const downloads = join(folder, 'downloads');

async function importLines(page, lines) {
  const file = join(folder, 'Setting.ini');
  writeFileSync(file, `${lines.join('\r\n')}\r\n`);
  await importSettings(page, file);
}

const session = await openSite(site);
try {
  const page = await newPage(session.browser, session.url);
  const cdp = await page.createCDPSession();
  const browserCdp = await session.browser.target().createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  const text = readFileSync(textPath, 'utf8');
  await page.evaluate((value) => document.getElementById('input').inputPane.replaceAll(value, true), text);
  for (const [label, paper] of [['A4', 0], ['原稿用紙', 6]]) {
    await importLines(page, ['[Page]', 'Enabled=1', `Paper=${paper}`, 'PageNumbers=1']);
    let peak = 0;
    const sampler = setInterval(async () => {
      const { metrics } = await cdp.send('Performance.getMetrics');
      peak = Math.max(peak, metrics.find((metric) => metric.name === 'JSHeapUsedSize').value);
    }, 100);
    await cdp.send('Performance.enable');
    const start = performance.now();
    const pdf = await downloaded(downloads, async () => {
      await page.click('#picture');
      await page.select('#picture-type', 'pdf');
      await page.click('#picture-dialog button[value="ok"]');
    }, 300);
    const seconds = (performance.now() - start) / 1000;
    clearInterval(sampler);
    const { processInfo } = await browserCdp.send('SystemInfo.getProcessInfo');
    const resident = Math.max(...processInfo.filter((process) => process.type === 'renderer').map((process) =>
      Number(readFileSync(`/proc/${process.id}/status`, 'utf8').match(/VmHWM:\s+(\d+)/)[1]) * 1024));
    writeFileSync(join(folder, 'made.pdf'), pdf.bytes);
    const pages = execFileSync('pdfinfo', [join(folder, 'made.pdf')]).toString().match(/Pages:\s+(\d+)/)[1];
    console.log(`${label}: ${(text.length / 1e6).toFixed(2)} M characters → PDF of ${pages} pages, ` +
      `${(pdf.bytes.length / 1e6).toFixed(1)} MB in ${seconds.toFixed(1)} s; JavaScript heap at most ` +
      `${(peak / 2 ** 20).toFixed(0)} MB, the renderer's peak resident memory ${(resident / 2 ** 20).toFixed(0)} MB`);
  }
} finally {
  await session.close();
  rmSync(folder, { recursive: true, force: true });
}
