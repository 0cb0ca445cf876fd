// Bundles the input pane's editor: node bundle-editor.mjs ENTRY NPM_FOLDER
// OUTPUT, where NPM_FOLDER holds the node_modules that `npm ci` installed
// from editor/package-lock.json. The output is one minified ES module,
// headed by the licences of the packages inside it.
import { createRequire } from 'node:module';
import { existsSync, readFileSync, writeFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';

const [entry, npmFolder, output] = process.argv.slice(2);
const modules = join(resolve(npmFolder), 'node_modules');
const esbuild = createRequire(join(modules, 'package.json'))('esbuild');

const result = await esbuild.build({
  entryPoints: [entry],
  nodePaths: [modules],
  bundle: true,
  format: 'esm',
  minify: true,
  legalComments: 'none',
  metafile: true,
  write: false,
  logLevel: 'warning',
});

// The folder of the package that each bundled file comes from.
const packages = new Set();
for (const input of Object.keys(result.metafile.inputs)) {
  let folder = dirname(resolve(input));
  while (!existsSync(join(folder, 'package.json')) && folder !== dirname(folder)) folder = dirname(folder);
  if (folder.startsWith(modules)) packages.add(folder);
}
const licences = new Map();  // licence text → the packages under it
for (const folder of [...packages].sort()) {
  const { name, version } = JSON.parse(readFileSync(join(folder, 'package.json'), 'utf8'));
  const file = ['LICENSE', 'LICENSE.md', 'LICENSE.txt'].map((n) => join(folder, n)).find(existsSync);
  if (!file) throw new Error(`${name} has no licence file`);
  const text = readFileSync(file, 'utf8').trim();
  licences.set(text, [...(licences.get(text) ?? []), `${name} ${version}`]);
}
let banner = '/*!\n';
for (const [text, names] of licences) banner += ` * ${names.join(', ')}\n *\n${text.replaceAll('*/', '* /').split('\n').map((line) => ` * ${line}`.trimEnd()).join('\n')}\n *\n`;
banner += ' */\n';
writeFileSync(output, banner + result.outputFiles[0].text);
