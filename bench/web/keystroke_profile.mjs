// Where a keystroke's time goes in the page: types into the input pane as
// page_bench.mjs does (at the start of the middle line of a 20-line text,
// or of the whole reference text) with Chromium's sampling profiler and its
// timeline trace on, and prints, per keystroke:
// - the renderer's main thread from the keydown to the end of the frame
//   that shows it: the input's tasks before the frame, the frame, and in
//   it the animation callbacks (where the panes draw), the lifecycle
//   (style, layout, paint) and the commit to the compositor (medians);
// - that thread's work by kind (the trace's events less those inside them);
// - the JavaScript functions by their own time, and with what they called
//   (the first 20 of each list, or TOP of the environment's).
// The keystrokes' medians are given for all of them and for the slowest
// tenth, where a goal of the 90th percentile is met or missed.
// Usage: node keystroke_profile.mjs SITE REFERENCE.txt [20|all] [KEYSTROKES]
import { readFileSync } from 'node:fs';
import { openSite, newPage, putTextAtMiddle } from '../../tests/web/browser.mjs';

const [site, referencePath, which = '20', keystrokeArg] = process.argv.slice(2);
const keystrokes = Number(keystrokeArg ?? 60);
const reference = readFileSync(referencePath, 'utf8');
const text = which === 'all' ? reference : reference.split('\n').slice(200, 220).join('\n');
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

function printTop(title, totals) {
  console.log(`== ${title} (ms per keystroke)`);
  const sorted = [...totals].sort((a, b) => b[1] - a[1]).slice(0, Number(process.env.TOP ?? 20));
  for (const [name, ms] of sorted) console.log(`${(ms / keystrokes).toFixed(3).padStart(8)}  ${name}`);
}

const frameName = ({ functionName, url, lineNumber }) =>
  `${functionName || '(anonymous)'} ${url.split('/').pop()}:${lineNumber + 1}`;

// The time of each function of a CPU profile, in milliseconds: its own
// (`self`), or with the functions it called, each counted once a sample.
function functionTimes(profile, self) {
  const byId = new Map(profile.nodes.map((node) => [node.id, node]));
  const parent = new Map();
  for (const node of profile.nodes) for (const child of node.children ?? []) parent.set(child, node.id);
  const totals = new Map();
  for (let i = 0; i < profile.samples.length; ++i) {
    const seen = new Set();
    for (let id = profile.samples[i]; id !== undefined; id = self ? undefined : parent.get(id)) {
      const { callFrame } = byId.get(id);
      if (!callFrame.url && !self) continue;
      const name = frameName(callFrame);
      if (seen.has(name) || name.startsWith('(idle)') || name.startsWith('(program)')) continue;
      seen.add(name);
      totals.set(name, (totals.get(name) ?? 0) + profile.timeDeltas[i] / 1000);
    }
  }
  return totals;
}

// The complete events of the renderer's main thread that handled the
// keys, in order, a parent before its children.
function mainThreadEvents(events) {
  const keydown = events.find((e) => e.name === 'EventDispatch' && e.args?.data?.type === 'keydown');
  return events.filter((e) => e.ph === 'X' && e.pid === keydown.pid && e.tid === keydown.tid)
    .sort((a, b) => a.ts - b.ts || b.dur - a.dur);
}

// Each kind of event's time less that of the events inside it.
function workByKind(own) {
  const totals = new Map();
  const stack = [];
  for (const event of own) {
    while (stack.length && stack.at(-1).ts + stack.at(-1).dur <= event.ts) stack.pop();
    const parent = stack.at(-1);
    if (parent) totals.set(parent.name, (totals.get(parent.name) ?? 0) - event.dur / 1000);
    totals.set(event.name, (totals.get(event.name) ?? 0) + event.dur / 1000);
    stack.push(event);
  }
  return totals;
}

// For each keydown, the tasks until the first frame after it, and that
// frame's parts.
function phases(own) {
  const tasks = [];
  let end = -1;
  for (const event of own) {
    if (event.ts < end) continue;
    tasks.push(event);
    end = event.ts + event.dur;
  }
  const inside = (task, name) => own.filter((e) => e.name === name && e.ts >= task.ts && e.ts < task.ts + task.dur)
    .reduce((sum, e) => sum + e.dur / 1000, 0);
  const rows = [];
  for (const keydown of own.filter((e) => e.name === 'EventDispatch' && e.args?.data?.type === 'keydown')) {
    let input = 0;
    let inputEnd = keydown.ts;
    const first = tasks.findIndex((t) => t.ts + t.dur > keydown.ts);
    const frameBefore = tasks.slice(0, Math.max(first, 0)).findLast((t) => inside(t, 'ProxyMain::BeginMainFrame') > 0);
    for (let i = first; i >= 0 && i < tasks.length; ++i) {
      const task = tasks[i];
      if (input > 0 && inside(task, 'ProxyMain::BeginMainFrame') > 0) {
        // The compositor starts a keystroke's frame at once with a tick of
        // the display's clock that it has not used yet; a keystroke soon
        // after a frame (its own trailing ticks included) waits for the
        // next tick, up to 16.7 ms: the slow tenth at 1 MB is mostly that.
        rows.push({ 'since the frame before': frameBefore ? (keydown.ts - frameBefore.ts - frameBefore.dur) / 1000 : NaN,
          'input tasks': input, 'waiting for the frame': (task.ts - inputEnd) / 1000, frame: task.dur / 1000,
          'animation callbacks': inside(task, 'FrameRequestCallbackCollection::ExecuteFrameCallbacks'),
          lifecycle: inside(task, 'WebFrameWidgetImpl::UpdateLifecycle'), commit: inside(task, 'Commit'),
          'keydown to frame end': (task.ts + task.dur - keydown.ts) / 1000 });
        break;
      }
      input += task.dur / 1000;
      inputEnd = task.ts + task.dur;
    }
  }
  return rows;
}

const session = await openSite(site);
try {
  const page = await newPage(session.browser, session.url);
  await putTextAtMiddle(page, text);
  const client = await page.createCDPSession();
  await client.send('Profiler.enable');
  await client.send('Profiler.setSamplingInterval', { interval: 100 });
  await page.tracing.start({ categories: ['devtools.timeline', 'disabled-by-default-devtools.timeline', 'blink', 'cc'] });
  await client.send('Profiler.start');
  for (let i = 0; i < keystrokes; ++i) {
    await page.keyboard.type(i % 2 === 0 ? 'a' : 'b');
    await page.evaluate(() => new Promise((done) => setTimeout(done, 30)));
  }
  const { profile } = await client.send('Profiler.stop');
  const trace = JSON.parse(Buffer.from(await page.tracing.stop()).toString());
  const own = mainThreadEvents(trace.traceEvents ?? trace);
  const rows = phases(own);
  const slowest = [...rows].sort((a, b) => b['keydown to frame end'] - a['keydown to frame end'])
    .slice(0, Math.max(1, Math.round(rows.length / 10)));
  console.log(`== The main thread from keydown to the end of its frame (ms): medians of all ${rows.length} ` +
    `keystrokes, and of the slowest ${slowest.length}`);
  for (const key of Object.keys(rows[0])) {
    console.log(`${median(rows.map((row) => row[key])).toFixed(2).padStart(8)}` +
      `${median(slowest.map((row) => row[key])).toFixed(2).padStart(8)}  ${key}`);
  }
  printTop('Main thread by kind, own time', workByKind(own));
  printTop('JavaScript by own time', functionTimes(profile, true));
  printTop('JavaScript with what it called', functionTimes(profile, false));
} finally {
  await session.close();
}
