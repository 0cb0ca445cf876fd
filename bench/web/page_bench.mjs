// The page's goals, in headless Chromium with the site served on localhost:
// - keystroke → output painted, timed in the page from the input event to
//   the end of the frame that shows it (a task queued from that frame's
//   animation callbacks, after the pane has drawn), for the 1 MB reference
//   text and for a 20-line text, and the same for a peer in the same run: a
//   plain <textarea> and a <div style="writing-mode: vertical-rl"> whose
//   text is replaced on every input, the simplest page that shows typed
//   text vertically. At 20 lines the two pages take turns, a fifth of the
//   keystrokes at a time, so that a machine whose load changes during the
//   run slows both alike;
// - first visit to interactive, and a repeat visit with the network off.
// Usage: node page_bench.mjs SITE REFERENCE.txt [KEYSTROKES] [keystrokes|editors]
// (`keystrokes`: only the keystrokes, without the peer's at 1 MB, which
// takes a second each, for measuring a change to typing; `editors`: only
// the input pane's two editors, the text area and the window onto a long
// text, taking turns on slices of the reference text around the length at
// which the pane trades one for the other.)
import { readFileSync } from 'node:fs';
import { openSite, newPage, putTextAtMiddle } from '../../tests/web/browser.mjs';

const [site, referencePath, keystrokeArg, only] = process.argv.slice(2);
const keystrokesOnly = only === 'keystrokes';
const editorsOnly = only === 'editors';
const keystrokes = Number(keystrokeArg ?? 60);
const reference = readFileSync(referencePath, 'utf8');
const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
};
const percentile = (values, p) => [...values].sort((a, b) => a - b)[Math.floor((values.length - 1) * p)];

// Records, for each key pressed, the time from its keydown event until the
// frame after it is done.
function installProbe() {
  window.latencies = [];
  // A page whose content is set again (the peer's) keeps its globals but
  // loses its listeners; its root element is new.
  if (document.documentElement.dataset.probed) return;
  document.documentElement.dataset.probed = 'true';
  window.addEventListener('keydown', (event) => {
    const start = event.timeStamp;
    requestAnimationFrame(() => {
      const channel = new MessageChannel();
      channel.port1.onmessage = () => window.latencies.push(performance.now() - start);
      channel.port2.postMessage(null);
    });
  }, true);
}

// The peer page, holding `text` with the caret at the start of the line in
// its middle.
async function setPeerText(page, text) {
  await page.setContent(`<!doctype html><meta charset="utf-8">
<body style="margin: 0; height: 100vh; display: flex">
<textarea id="input" style="flex: 1"></textarea>
<div id="output" style="flex: 1; writing-mode: vertical-rl; white-space: pre; overflow: auto"></div>
<script>
const input = document.getElementById('input');
const output = document.getElementById('output');
input.addEventListener('input', () => { output.textContent = input.value; });
</script>`);
  await page.evaluate((value) => {
    const input = document.getElementById('input');
    input.value = value;
    document.getElementById('output').textContent = value;
    const middle = value.indexOf('\n', value.length >> 1) + 1;
    input.focus();
    input.setSelectionRange(middle, middle);
  }, text);
  await page.evaluate(() => new Promise((done) => setTimeout(done, 500)));
}

// Types `count` keys into `page`, which holds the text and the probe, and
// gives the probe's times so far.
async function typeKeys(page, count) {
  await page.bringToFront();
  for (let i = 0; i < count; ++i) {
    await page.keyboard.type(i % 2 === 0 ? 'a' : 'b');
    await page.evaluate(() => new Promise((done) => setTimeout(done, 30)));
  }
  return page.evaluate(() => window.latencies);
}

function report(label, latencies) {
  console.log(`${label}: keystroke → painted, median ${median(latencies).toFixed(1)} ms, ` +
    `90th percentile ${percentile(latencies, 0.9).toFixed(1)} ms over ${latencies.length} keystrokes`);
  return median(latencies);
}

async function keystrokeLatency(page, text, label, put = putTextAtMiddle) {
  await put(page, text);
  await page.evaluate(installProbe);
  report(label, await typeKeys(page, keystrokes));
}

// Ours and the peer on `text`, taking turns.
async function keystrokesAgainstPeer(page, peer, text, label) {
  await putTextAtMiddle(page, text);
  await page.evaluate(installProbe);
  await setPeerText(peer, text);
  await peer.evaluate(installProbe);
  const rounds = 5;
  let ours = [];
  let theirs = [];
  for (let round = 0; round < rounds; ++round) {
    const count = Math.ceil(keystrokes / rounds);
    ours = await typeKeys(page, count);
    theirs = await typeKeys(peer, count);
  }
  const ratio = report(label, ours) / report(`peer (textarea + vertical-rl div), ${label}`, theirs);
  console.log(`${label}: our median is ${ratio.toFixed(2)} × the peer's`);
}

async function timeToInteractive(context, url, label, offline) {
  const page = await context.newPage();
  if (offline) await page.setOfflineMode(true);
  await page.goto(url);
  await page.waitForSelector('html[data-ready]');
  const ms = await page.evaluate(() => performance.getEntriesByName('mirotabe-interactive')[0].startTime);
  console.log(`${label}: ${ms.toFixed(0)} ms from navigation to interactive`);
  await page.close();
  return ms;
}

// Keeps the input pane in one editor ('plain' or 'window'), whatever its
// text's length.
const holdEditor = (page, editor) => page.$eval('#input', (host, code) => {
  const pane = host.inputPane;
  pane.limits = code ? { longFrom: 0, shortBelow: 0 } : { longFrom: Infinity, shortBelow: Infinity };
  pane.fitEditor();
  pane.focus();
}, editor === 'window');

// The two editors on slices of `sizes` characters, taking turns.
async function editorsBySize(page, sizes) {
  await page.evaluate(installProbe);
  for (const size of sizes) {
    const text = reference.slice(200000, 200000 + size);
    const times = { plain: [], code: [] };
    for (let round = 0; round < 4; ++round) {
      for (const editor of ['plain', 'window']) {
        await holdEditor(page, editor);
        await putTextAtMiddle(page, text);
        await page.evaluate(installProbe);
        times[editor].push(...await typeKeys(page, Math.ceil(keystrokes / 4)));
      }
    }
    console.log(`${size} characters: ${['plain', 'window'].map((editor) => `${editor} median ` +
      `${median(times[editor]).toFixed(1)} ms, 90th percentile ${percentile(times[editor], 0.9).toFixed(1)} ms`).join('; ')}`);
  }
}

const session = await openSite(site);
if (editorsOnly) {
  try {
    await editorsBySize(await newPage(session.browser, session.url), [5000, 10000, 15000, 20000, 30000, 40000, 80000]);
  } finally {
    await session.close();
  }
  process.exit(0);
}
try {
  const page = await newPage(session.browser, session.url);
  await keystrokeLatency(page, reference, `1 MB reference (${reference.length} characters, ${reference.split('\n').length} lines)`);
  const twenty = reference.split('\n').slice(200, 220).join('\n');
  const peer = await session.browser.newPage();
  await peer.setViewport({ width: 1200, height: 800 });
  await keystrokesAgainstPeer(page, peer, twenty, '20-line text');
  await page.close();
  if (!keystrokesOnly) {
    await keystrokeLatency(peer, reference, 'peer (textarea + vertical-rl div), 1 MB reference', setPeerText);
  }
  await peer.close();

  const first = [];
  const repeat = [];
  for (let round = 0; round < (keystrokesOnly ? 0 : 5); ++round) {
    // A fresh profile: nothing cached, no service worker.
    const context = await session.browser.createBrowserContext();
    first.push(await timeToInteractive(context, session.url, 'first visit', false));
    const installed = await context.newPage();
    await installed.goto(session.url);
    await installed.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 60000 });
    await installed.close();
    repeat.push(await timeToInteractive(context, session.url, 'repeat visit, network off', true));
    await context.close();
  }
  if (!keystrokesOnly) console.log(`first visit to interactive: median ${median(first).toFixed(0)} ms; ` +
    `repeat visit offline: median ${median(repeat).toFixed(0)} ms (5 rounds)`);
} finally {
  await session.close();
}
