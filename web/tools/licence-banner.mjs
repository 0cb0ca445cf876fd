// The comment that heads a bundle: the licence of every npm package whose
// files esbuild put in it, each text once, with the packages under it.
import { existsSync, readFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';

// `inputs`: the files that esbuild's metafile lists (absolute paths);
// `modules`: the node_modules folder the packages come from.
export function licenceBanner(inputs, modules) {
  const packages = new Set();
  for (const input of inputs) {
    if (!input.startsWith(modules)) continue;
    let folder = dirname(resolve(input));
    while (!existsSync(join(folder, 'package.json')) && folder !== modules) folder = dirname(folder);
    packages.add(folder);
  }
  if (packages.size === 0) return '';
  const licences = new Map();  // licence text → the packages under it
  for (const folder of [...packages].sort()) {
    const { name, version } = JSON.parse(readFileSync(join(folder, 'package.json'), 'utf8'));
    const file = ['LICENSE', 'LICENSE.md', 'LICENSE.txt'].map((n) => join(folder, n)).find(existsSync);
    if (!file) throw new Error(`${name} has no licence file`);
    const text = readFileSync(file, 'utf8').trim();
    licences.set(text, [...(licences.get(text) ?? []), `${name} ${version}`]);
  }
  let banner = '/*!\n';
  for (const [text, names] of licences) {
    const lines = text.replaceAll('*/', '* /').split('\n').map((line) => ` * ${line}`.trimEnd());
    banner += ` * ${names.join(', ')}\n *\n${lines.join('\n')}\n *\n`;
  }
  return `${banner} */\n`;
}
