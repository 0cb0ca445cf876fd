// convert() of the 1 MB reference in Node (the module as other tools embed
// it), as text and as A4 pages in IPAMincho (the site's font), and the transfer size of the site without fonts (wasm, JS, HTML,
// CSS, the manifest and the icon; the single-file page left out), gzip and
// brotli compressed. Usage: node convert_bench.mjs SITE REFERENCE.txt [RUNS]
import { readFileSync, readdirSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { brotliCompressSync, gzipSync, constants } from 'node:zlib';

const [site, referencePath, runsArg] = process.argv.slice(2);
const runs = Number(runsArg ?? 20);
const { default: createMirotabe } = await import(pathToFileURL(resolve(site, 'mirotabe.mjs')).href);
const mirotabe = await createMirotabe();
const reference = readFileSync(referencePath);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

for (const encoding of ['cp932', 'utf-8']) {
  const times = [];
  for (let i = 0; i < runs + 2; ++i) {
    const start = performance.now();
    mirotabe.convert(reference, { encoding });
    if (i >= 2) times.push(performance.now() - start);
  }
  console.log(`convert(${reference.length} bytes) in Node, output ${encoding}: median ${median(times).toFixed(1)} ms over ${runs} runs`);
}

// A4 pages, drawn by the painter's module; its memory is the process's
// largest resident set, WebAssembly's memory included.
const mincho = readFileSync(join(site, 'fonts/ipam.ttf'));
const pageTimes = [];
let pdfBytes = 0;
for (let i = 0; i < Math.min(runs, 3); ++i) {
  const start = performance.now();
  pdfBytes = mirotabe.convert(reference, { page: 'a4', fontData: mincho }).bytes.length;
  pageTimes.push(performance.now() - start);
}
console.log(`convert(${reference.length} bytes, { page: 'a4' }) in Node: median ${median(pageTimes).toFixed(0)} ms over ${pageTimes.length} runs, ` +
  `${pdfBytes} bytes of PDF, peak RSS ${(process.resourceUsage().maxRSS / 1024).toFixed(0)} MB`);

// The site's transfer size, compressed: what a first visit loads (the
// files the service worker keeps, and the worker itself), and apart from
// it what only pictures and PDFs load when the first is made (their code,
// and the font).
const size = (names) => {
  let raw = 0;
  let gzip = 0;
  let brotli = 0;
  for (const name of names) {
    const bytes = readFileSync(join(site, name));
    raw += bytes.length;
    gzip += gzipSync(bytes, { level: 9 }).length;
    brotli += brotliCompressSync(bytes, { params: { [constants.BROTLI_PARAM_QUALITY]: 11 } }).length;
  }
  return `${(raw / 1024).toFixed(0)} KiB, gzip -9 ${(gzip / 1024).toFixed(0)} KiB, brotli ${(brotli / 1024).toFixed(0)} KiB`;
};
const worker = readFileSync(join(site, 'sw.js'), 'utf8');
const firstVisit = [...JSON.parse(worker.match(/const FILES = (\[.*\]);/)[1]).filter((name) => name !== './'), 'sw.js'];
const whenNeeded = ['mirotabe-painter.mjs', 'mirotabe-painter.wasm', 'THIRD-PARTY-NOTICES.txt', ...readdirSync(join(site, 'fonts')).map((name) => `fonts/${name}`)];
console.log(`site, first visit: ${size(firstVisit)}`);
console.log(`loaded with the first picture or PDF: ${size(whenNeeded)}`);
