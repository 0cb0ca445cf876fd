// Finishes the site in SITE (node finish-site.mjs SITE): the service
// worker with the list of files and a version made from their contents,
// and mirotabe.html, the whole page in one file that works opened straight
// from disk (the engine's .wasm inside it, every module inlined, and a
// Content-Security-Policy that names the inline script and style by hash).
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

const site = process.argv[2];
const read = (name) => readFileSync(join(site, name), 'utf8');
const sha256 = (text) => createHash('sha256').update(text).digest('base64');

const files = ['index.html', 'style.css', 'app.mjs', 'input-pane.mjs', 'codemirror.mjs',
  'output-pane.mjs', 'settings-dialog.mjs', 'page-files.mjs', 'storage.mjs', 'mirotabe.mjs',
  'mirotabe-engine.mjs', 'mirotabe-engine.wasm', 'manifest.webmanifest', 'icon.svg'];
const version = createHash('sha256');
for (const name of files) version.update(readFileSync(join(site, name)));
const worker = readFileSync(new URL('../site/sw.js', import.meta.url), 'utf8')
  .replace('SITE_VERSION', version.digest('hex').slice(0, 16))
  .replace('SITE_FILES', JSON.stringify(['./', ...files]));
writeFileSync(join(site, 'sw.js'), worker);

// Each module becomes a function that returns its exports; its imports
// take them from the modules before it.
const modules = ['mirotabe-engine.mjs', 'mirotabe.mjs', 'storage.mjs', 'page-files.mjs',
  'codemirror.mjs', 'input-pane.mjs', 'output-pane.mjs', 'settings-dialog.mjs', 'app.mjs'];
const variable = (name) => `module_${name.replace(/\W/g, '_')}`;
const wasm = readFileSync(join(site, 'mirotabe-engine.wasm')).toString('base64');
let script = `globalThis.MIROTABE_WASM = Uint8Array.from(atob("${wasm}"), (c) => c.charCodeAt(0));\n`;
for (const name of modules) {
  let code = read(name);
  const exported = [];
  code = code.replace(/^import (\w+) from '\.\/([\w.-]+)';$/gm,
    (line, local, from) => `const ${local} = ${variable(from)}.default;`);
  code = code.replace(/^import \{([^}]+)\} from '\.\/([\w.-]+)';$/gm,
    (line, names, from) => `const {${names}} = ${variable(from)};`);
  code = code.replace(/^export default async function (\w+)/m, (line, local) => {
    exported.push(`default: ${local}`);
    return `async function ${local}`;
  });
  code = code.replace(/export default (\w+);/, (line, local) => {
    exported.push(`default: ${local}`);
    return '';
  });
  // A bundle's list of exports, `export{a as B,c};`, at its end.
  code = code.replace(/export\s*\{([^}]*)\};?\s*$/, (line, list) => {
    for (const item of list.split(',')) {
      const [local, name] = item.trim().split(/\s+as\s+/);
      exported.push(name ? `${name}: ${local}` : local);
    }
    return '';
  });
  code = code.replace(/^export (function|class|const|async function) (\w+)/gm, (line, kind, local) => {
    exported.push(local);
    return `${kind} ${local}`;
  });
  if (/^\s*(import|export)\s/m.test(code)) throw new Error(`${name}: an import or export is left`);
  // Emscripten's module names its own location; inline there is none.
  code = code.replaceAll('import.meta.url', 'location.href');
  script += `const ${variable(name)} = await (async () => {\n${code}\nreturn { ${exported.join(', ')} };\n})();\n`;
}
const style = read('style.css');
const icon = `data:image/svg+xml;base64,${Buffer.from(read('icon.svg')).toString('base64')}`;
const policy = `default-src 'none'; script-src 'sha256-${sha256(script)}' 'wasm-unsafe-eval'; ` +
  `style-src 'sha256-${sha256(style)}'; img-src data: blob:; object-src 'none'; base-uri 'none'; form-action 'none'`;
const page = read('index.html')
  .replace(/<meta http-equiv="Content-Security-Policy" content="[^"]*">/, () => `<meta http-equiv="Content-Security-Policy" content="${policy}">`)
  .replace(/<link rel="manifest"[^>]*>\n/, '')
  .replace('<link rel="icon" href="icon.svg"', () => `<link rel="icon" href="${icon}"`)
  .replace('<link rel="stylesheet" href="style.css">', () => `<style>${style}</style>`)
  .replace('<script type="module" src="app.mjs"></script>', () => `<script type="module">${script}</script>`);
writeFileSync(join(site, 'mirotabe.html'), page);
