// mirotabe.html: the whole page in one file that works opened straight from
// disk, where a page can load no module and no .wasm beside it. Every
// module and the engine's .wasm are bundled into one inline script, the
// style and the icon are inlined, and the Content-Security-Policy names
// the inline script and style by their hashes, so that nothing else runs.
import { createHash } from 'node:crypto';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';

const sha256 = (text) => createHash('sha256').update(text).digest('base64');

// `text` with `from` replaced by `to`; `from` must be there exactly once.
function replacedOnce(text, from, to) {
  const at = text.indexOf(from);
  if (at < 0 || text.indexOf(from, at + 1) >= 0) throw new Error(`index.html: '${from}' must be there once`);
  return text.slice(0, at) + to + text.slice(at + from.length);
}

// `site`: the built site; `sources`: web/site; `bundle(options)`: esbuild
// as build-site.mjs runs it; `read`: the set of files read, to add to.
export async function singleFilePage({ site, sources, bundle, read }) {
  const engine = join(site, 'mirotabe-engine.mjs');
  const script = await bundle({
    stdin: {
      contents: `import wasmBinary from ${JSON.stringify(join(site, 'mirotabe-engine.wasm'))};\n` +
        "import { startPage } from './page.mjs';\nstartPage({ wasmBinary });\n",
      resolveDir: sources,
      sourcefile: 'mirotabe.html',
    },
    loader: { '.wasm': 'binary' },
    // The engine's module is built beside the site, not kept in web/site;
    // Node's own modules are only reached in Node. A page opened from disk
    // can load neither the painter nor its fonts: it draws its pictures
    // with the system's font.
    external: ['node:*', './mirotabe-painter.mjs'],
    plugins: [{
      name: 'built-engine',
      setup(build) {
        build.onResolve({ filter: /^\.\/mirotabe-engine\.mjs$/ }, () => ({ path: engine }));
      },
    }],
  });
  if (/<\/script|<!--/i.test(script)) throw new Error('the page script cannot be inlined: it holds </script or <!--');

  const files = ['index.html', 'style.css', 'icon.svg'].map((name) => join(sources, name));
  for (const file of files) read.add(file);
  const [html, style, icon] = files.map((file) => readFileSync(file, 'utf8'));
  const policy = `default-src 'none'; script-src 'sha256-${sha256(script)}' 'wasm-unsafe-eval'; ` +
    `style-src 'sha256-${sha256(style)}'; img-src data: blob:; object-src 'none'; base-uri 'none'; form-action 'none'`;
  const served = html.match(/<meta http-equiv="Content-Security-Policy" content="[^"]*">/)?.[0] ?? '<no policy>';
  let page = replacedOnce(html, served, `<meta http-equiv="Content-Security-Policy" content="${policy}">`);
  page = replacedOnce(page, '<link rel="manifest" href="manifest.webmanifest">\n', '');
  page = replacedOnce(page, '<link rel="apple-touch-icon" href="apple-touch-icon.png">\n', '');
  // The help page is a page of the site, which a file opened from disk
  // does not have beside it.
  const help = page.match(/\n *<a id="help"[^\n]*<\/a>/)?.[0];
  if (!help) throw new Error('index.html: the link to help.html must be on a line of its own');
  page = replacedOnce(page, help, '');
  page = replacedOnce(page, '<link rel="icon" href="icon.svg"',
    `<link rel="icon" href="data:image/svg+xml;base64,${Buffer.from(icon).toString('base64')}"`);
  page = replacedOnce(page, '<link rel="stylesheet" href="style.css">', `<style>${style}</style>`);
  return replacedOnce(page, '<script type="module" src="app.mjs"></script>', `<script type="module">${script}</script>`);
}
