// The comment that heads a bundle: the licence of every npm package whose
// files esbuild put in it, each text once, with the packages under it.
import { existsSync, readFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';

// The MIT licence's terms, for a package that names it in package.json but
// ships no licence file.
const MIT_TERMS = `Permission is hereby granted, free of charge, to any person obtaining a copy of this software
and associated documentation files (the "Software"), to deal in the Software without restriction,
including without limitation the rights to use, copy, modify, merge, publish, distribute,
sublicense, and/or sell copies of the Software, and to permit persons to whom the Software is
furnished to do so, subject to the following conditions:

The above copyright notice and this permission notice shall be included in all copies or
substantial portions of the Software.

THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED.`;

// The licence text of the package in `folder`: its licence file's, or
// for an MIT package without one, the terms under its authors' names.
function licenceText(folder, pkg) {
  const file = ['LICENSE', 'LICENSE.md', 'LICENSE.txt'].map((n) => join(folder, n)).find(existsSync);
  if (file) return readFileSync(file, 'utf8').trim();
  if (pkg.license !== 'MIT') throw new Error(`${pkg.name} has no licence file`);
  const people = [pkg.author, ...(pkg.contributors ?? [])].map((p) => (typeof p === 'string' ? p : p?.name)).filter(Boolean);
  return `MIT License\n\nCopyright (c) ${people.join(', ')}\n\n${MIT_TERMS}`;
}

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
    const pkg = JSON.parse(readFileSync(join(folder, 'package.json'), 'utf8'));
    const { name, version } = pkg;
    const text = licenceText(folder, pkg);
    licences.set(text, [...(licences.get(text) ?? []), `${name} ${version}`]);
  }
  let banner = '/*!\n';
  for (const [text, names] of licences) {
    const lines = text.replaceAll('*/', '* /').split('\n').map((line) => ` * ${line}`.trimEnd());
    banner += ` * ${names.join(', ')}\n *\n${lines.join('\n')}\n *\n`;
  }
  return `${banner} */\n`;
}
