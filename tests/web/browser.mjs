// Headless Debian Chromium driven by puppeteer-core, for the end-to-end
// tests and the benchmarks of the page, with the site served on localhost.
// The flags keep Chromium from calling any host: the network is closed.
import { existsSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';
import { serve } from '../../web/tools/serve.mjs';

export const CHROMIUM_FLAGS = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-quic',
  '--disable-default-apps', '--disable-extensions'];

export async function openSite(site) {
  const { server, url } = await serve(site);
  const browser = await puppeteer.launch({
    executablePath: process.env.MIROTABE_CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: CHROMIUM_FLAGS,
  });
  const close = async () => {
    await browser.close();
    server.close();
  };
  return { browser, url, close };
}

// A page of the site, ready for input; every request it makes is recorded.
export async function newPage(browser, url) {
  const page = await browser.newPage();
  page.requests = [];
  page.on('request', (request) => page.requests.push(request.url()));
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  await page.setViewport({ width: 1200, height: 800 });
  await page.goto(url);
  await page.waitForSelector('html[data-ready]');
  return page;
}

// Puts `text` into the input pane as one edit, the caret at the start of
// the line in its middle, as when a long text is edited, and waits for the
// page to settle.
export async function putTextAtMiddle(page, text) {
  await page.evaluate((value) => {
    const pane = document.getElementById('input').inputPane;
    pane.replaceAll(value, true);
    const middle = value.indexOf('\n', value.length >> 1) + 1;
    pane.editor.select({ anchor: middle, head: middle });
    pane.editor.showCaretAt(null);
    pane.focus();
  }, text);
  await page.evaluate(() => new Promise((done) => setTimeout(done, 500)));
}

// Runs `act`, which makes the page download one file into `folder` (see
// Browser.setDownloadBehavior), and gives that file, {name, bytes}, once it
// is whole, waiting `seconds` at most.
export async function downloaded(folder, act, seconds = 30) {
  rmSync(folder, { recursive: true, force: true });
  await act();
  for (let i = 0; i < seconds * 10; ++i) {
    const names = existsSync(folder) ? readdirSync(folder).filter((n) => !n.endsWith('.crdownload')) : [];
    if (names.length === 1) return { name: names[0], bytes: readFileSync(join(folder, names[0])) };
    await new Promise((done) => setTimeout(done, 100));
  }
  throw new Error('no download');
}

// Takes the settings from the file at `path` as the settings dialog's
// import does, and keeps them with OK.
export async function importSettings(page, path) {
  await page.click('#settings');
  const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#settings-import')]);
  await chooser.accept([path]);
  await page.waitForSelector('#settings-imported:not([hidden])');
  await page.click('#settings-ok');
  await page.waitForFunction(() => !document.querySelector('#settings-dialog[open]'));
}
