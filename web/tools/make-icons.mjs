// Draws the site's PNG icons from icon.svg with headless Chromium, for the
// systems that take no SVG icon: 192 and 512 pixels as they are, and a
// full-bleed square (the maskable icon, and the one iOS rounds itself)
// whose marks keep within the middle 80 % that every mask shows. Run by
// hand after icon.svg changes; the PNG files are kept in web/site.
//
//   node web/tools/make-icons.mjs
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';

const site = fileURLToPath(new URL('../site/', import.meta.url));
const icon = readFileSync(join(site, 'icon.svg'), 'utf8');
const background = icon.match(/<rect [^>]*fill="(#[0-9a-f]+)"/i)[1];
const marks = icon.match(/<g [\s\S]*<\/g>/)[0];
// The marks scaled into the safe zone, on a square without rounded corners.
const fullBleed = '<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 48 48">' +
  `<rect width="48" height="48" fill="${background}"/>` +
  `<g transform="translate(24 24) scale(0.72) translate(-24 -24)">${marks}</g></svg>`;

const folder = mkdtempSync(join(tmpdir(), 'mirotabe-icons-'));
function draw(svg, size, name) {
  const page = join(folder, `${name}.html`);
  writeFileSync(page, '<!DOCTYPE html><style>html,body{margin:0;background:transparent}' +
    `svg{display:block;width:${size}px;height:${size}px}</style>${svg}`);
  execFileSync(process.env.MIROTABE_CHROMIUM ?? '/usr/bin/chromium', ['--headless', '--no-sandbox',
    '--disable-gpu', '--hide-scrollbars', '--default-background-color=00000000', '--force-device-scale-factor=1',
    `--window-size=${size},${size}`, `--screenshot=${join(site, name)}`, `file://${page}`], { stdio: 'ignore' });
}
draw(icon, 192, 'icon-192.png');
draw(icon, 512, 'icon-512.png');
draw(fullBleed, 512, 'icon-maskable-512.png');
draw(fullBleed, 180, 'apple-touch-icon.png');
rmSync(folder, { recursive: true });
