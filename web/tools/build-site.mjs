// Builds the site into SITE, around the engine that the WebAssembly build
// has put there (mirotabe-engine.mjs and its .wasm):
//
//   node build-site.mjs SITE DEPFILE FONT HELP MINCHO NOTICES
//
// (FONT: the Gothic that pictures and PDFs are drawn with; HELP: the help
// page, 使い方, that the build made from the user's manual; MINCHO: the
// face of pages; NOTICES: the licences of the libraries the painter is
// built on)
//
// - the page's modules bundled by esbuild into app.mjs, and the other
//   files of web/site copied;
// - the painter (mirotabe-painter.mjs and its .wasm, which the engine's
//   build made), what only pictures and PDFs need, with its libraries'
//   licences, and FONT and MINCHO, the fonts they are drawn with, with their licence: loaded only
//   when needed, so the service worker keeps them when they are first
//   fetched rather than at the first visit;
// - sw.js, the service worker, with the list of the site's files and a
//   version made from their contents;
// - mirotabe.html, the whole page in one file that works opened straight
//   from disk (see single-file-page.mjs).
//
// Files in SITE that the site does not have are removed, so that what is
// there is what a server serves. DEPFILE lists every file read, so that the
// build runs this again when any of them changes.
import { createHash } from 'node:crypto';
import { copyFileSync, existsSync, mkdirSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { licenceBanner } from './licence-banner.mjs';
import { singleFilePage } from './single-file-page.mjs';

const [siteArg, depfile, fontFile, helpPage, minchoFile, noticesFile] = process.argv.slice(2);
const site = resolve(siteArg);
const web = fileURLToPath(new URL('..', import.meta.url));
const sources = join(web, 'site');
const modules = join(web, 'node_modules');
const esbuild = createRequire(join(modules, 'package.json'))('esbuild');

// The site's files, in the order a first visit needs them, and how each is
// made: `copy` from web/site, `bundle` from an entry in web/site, made by
// the engine's build (`engine`), or copied `from` a file the build made.
const SITE = [
  { name: 'index.html', copy: true },
  { name: 'style.css', bundle: 'style.css', external: [] },
  // The page: its own modules in one. The engine's module stays a file of
  // its own: it is the one other programs import. Each is minified, as the
  // style is: the first visit carries no comments.
  { name: 'app.mjs', bundle: 'app.mjs', external: ['./mirotabe.mjs'] },
  { name: 'mirotabe.mjs', bundle: 'mirotabe.mjs', external: ['./mirotabe-engine.mjs', './mirotabe-painter.mjs'] },
  { name: 'mirotabe-engine.mjs', engine: true },
  { name: 'mirotabe-engine.wasm', engine: true },
  { name: 'manifest.webmanifest', copy: true },
  { name: 'icon.svg', copy: true },
  { name: 'icon-192.png', copy: true },
  { name: 'icon-512.png', copy: true },
  { name: 'icon-maskable-512.png', copy: true },
  { name: 'apple-touch-icon.png', copy: true },
  { name: 'help.html', from: helpPage },
  { name: 'mirotabe-painter.mjs', engine: true, lazy: true },
  { name: 'mirotabe-painter.wasm', engine: true, lazy: true },
  { name: 'THIRD-PARTY-NOTICES.txt', from: noticesFile, lazy: true },
  { name: 'fonts/ipag.ttf', from: fontFile, lazy: true },
  // The IPA Font License asks that the font go with its terms.
  { name: 'fonts/ipag-copyright.txt', from: join(dirname(fontFile), '../../../doc/fonts-ipafont-gothic/copyright'), lazy: true },
  // Pages are set in Mincho unless their setup says otherwise.
  { name: 'fonts/ipam.ttf', from: minchoFile, lazy: true },
  { name: 'fonts/ipam-copyright.txt', from: join(dirname(minchoFile), '../../../doc/fonts-ipafont-mincho/copyright'), lazy: true },
];

const read = new Set();  // every file this build read, for DEPFILE

// Keeps the imports named in `external` as imports of the built site, and
// Node's own modules, which only Node reaches.
const keepImports = (external) => ({
  name: 'keep-imports',
  setup(build) {
    build.onResolve({ filter: /^node:/ }, (args) => ({ path: args.path, external: true }));
    build.onResolve({ filter: /^\.\// }, (args) =>
      (external.includes(args.path) ? { path: args.path, external: true } : undefined));
  },
});

// Bundles `options` with the settings every bundle of the site shares;
// gives the code, headed by the licences of the packages inside it.
async function bundle(options) {
  const result = await esbuild.build({
    bundle: true,
    format: 'esm',
    minify: true,
    legalComments: 'none',
    metafile: true,
    write: false,
    logLevel: 'warning',
    absWorkingDir: web,
    ...options,
  });
  // The files among the inputs (not the entry that stdin hands over).
  const inputs = Object.keys(result.metafile.inputs).map((input) => resolve(web, input)).filter(existsSync);
  for (const input of inputs) read.add(input);
  return licenceBanner(inputs, modules) + result.outputFiles[0].text;
}

for (const file of SITE) {
  const target = join(site, file.name);
  if (file.from) {
    mkdirSync(dirname(target), { recursive: true });
    copyFileSync(file.from, target);
    read.add(resolve(file.from));
  } else if (file.copy) {
    copyFileSync(join(sources, file.name), target);
    read.add(join(sources, file.name));
  } else if (file.bundle) {
    const code = await bundle({ entryPoints: [join(sources, file.bundle)], plugins: [keepImports(file.external)] });
    writeFileSync(target, code);
  } else {
    read.add(target);
  }
}

const version = createHash('sha256');
for (const file of SITE) version.update(readFileSync(join(site, file.name)));
const workerSource = join(sources, 'sw.js');
read.add(workerSource);
const worker = readFileSync(workerSource, 'utf8');
for (const name of ['SITE_VERSION', 'SITE_FILES']) {
  if (!worker.includes(name)) throw new Error(`sw.js has no ${name} to fill in`);
}
writeFileSync(join(site, 'sw.js'), worker
  .replace('SITE_VERSION', version.digest('hex').slice(0, 16))
  .replace('SITE_FILES', JSON.stringify(['./', ...SITE.filter((file) => !file.lazy).map((file) => file.name)])));

writeFileSync(join(site, 'mirotabe.html'), await singleFilePage({ site, sources, bundle, read }));

const made = new Set([...SITE.map((file) => file.name.split('/')[0]), 'sw.js', 'mirotabe.html']);
for (const name of readdirSync(site)) {
  if (!made.has(name)) rmSync(join(site, name), { recursive: true });
}

// Make's form, which Ninja reads: the first output, then what it was made of.
const escaped = (path) => path.replaceAll('$', '$$$$').replaceAll(/([ #])/g, '\\$1');
writeFileSync(depfile, `${escaped(join(site, 'sw.js'))}: ${[...read].sort().map(escaped).join(' \\\n  ')}\n`);
