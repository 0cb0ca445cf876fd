// Holds the converter to the e-book goals on texts in Aozora Bunko's
// notation (Shift_JIS, as the archive publishes them): for each text, the
// book's EPUBCheck messages, the annotations left as text in the book, the
// page PDF's text layer and the picture's cells, the share of the body's
// characters the book carries, and the 外字 notes that name a character
// but were not shown as one.
//
// Usage: node bench/aozora_goals.mjs CONVERT OUT TEXT...
//
// The body is read back independently of the converter: notation stripped
// by patterns, so that a character the reader drops shows up as missing.
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { basename, join } from 'node:path';

const [convert, out, ...texts] = process.argv.slice(2);
if (!convert || !out || texts.length === 0) {
  console.error('usage: node bench/aozora_goals.mjs CONVERT OUT TEXT...');
  process.exit(2);
}
rmSync(out, { recursive: true, force: true });
mkdirSync(out, { recursive: true });
const settings = join(out, 'settings.ini');
writeFileSync(settings, '');
const jar = '/usr/share/java/epubcheck.jar';

const annotation = /［＃/g;
const namesCharacter = /(?:第[34]水準|\d-\d{1,2}-\d{1,2}|U\+[0-9A-Fa-f]{4,6})/;

function count(text, pattern) {
  return (text.match(pattern) || []).length;
}

function stripped(text, pattern) {
  for (let before = ''; before !== text; ) {
    before = text;
    text = text.replace(pattern, '');
  }
  return text;
}

// The 外字 notes of `text` that stand in it, not in another's description.
function gaijiNotes(text) {
  const notes = [];
  let depth = 0;
  let start = -1;
  for (let at = 0; at < text.length; ++at) {
    if (text.startsWith('［＃', at)) {
      if (depth === 0 && text[at - 1] === '※') start = at;
      ++depth;
    } else if (text[at] === '］' && depth > 0 && --depth === 0 && start >= 0) {
      notes.push(stripped(text.slice(start + 2, at), /［＃[^［］]*］/g));
      start = -1;
    }
  }
  return notes;
}

// The source's body and colophon, with the notation stripped: what a
// reader should find in the book, ruby readings apart.
function sourceBody(text) {
  let lines = text.split(/\r?\n/);
  const rules = lines.flatMap((line, i) => (/^-{20,}$/.test(line) ? [i] : []));
  if (rules.length >= 2) lines = lines.slice(rules[1] + 1);
  let body = lines.join('\n');
  // Innermost first: a note may quote another.
  body = stripped(stripped(body, /※［＃[^［］]*］/g), /［＃[^［］]*］/g);
  return body
    .replace(/《[^》]*》/g, '')
    .replace(/｜/g, '')
    .replace(/／″＼|／゛＼/g, '〴〵')
    .replace(/／＼/g, '〳〵');
}

function bookText(epub) {
  const list = execFileSync('unzip', ['-Z1', epub], { encoding: 'utf8' }).split('\n');
  const documents = list.filter((name) => /\.xhtml$/.test(name) && !/nav\.xhtml$/.test(name));
  return documents
    .map((name) => execFileSync('unzip', ['-p', epub, name], { encoding: 'utf8', maxBuffer: 1 << 28 }))
    .join('\n')
    .replace(/<rt>[\s\S]*?<\/rt>|<rp>[\s\S]*?<\/rp>/g, '')
    .replace(/<[^>]*>/g, '')
    .replace(/&#x([0-9a-f]+);/gi, (_, hex) => String.fromCodePoint(parseInt(hex, 16)))
    .replace(/&lt;/g, '<')
    .replace(/&gt;/g, '>')
    .replace(/&quot;/g, '"')
    .replace(/&amp;/g, '&');
}

// The share of `source`'s characters (spacing apart) that `book` holds as
// many times.
function carried(source, book) {
  const tally = (text) => {
    const counts = new Map();
    for (const c of text) if (!/\s|　/.test(c)) counts.set(c, (counts.get(c) || 0) + 1);
    return counts;
  };
  const want = tally(source);
  const have = tally(book);
  let total = 0;
  let found = 0;
  const missing = [];
  for (const [c, n] of want) {
    total += n;
    const got = Math.min(n, have.get(c) || 0);
    found += got;
    if (got < n) missing.push(`${c}×${n - got}`);
  }
  return { share: total ? found / total : 1, missing };
}

function run(args) {
  const result = spawnSync(convert, ['--settings', settings, ...args], {
    encoding: 'utf8',
    maxBuffer: 1 << 28,
  });
  return { status: result.status, stdout: result.stdout, stderr: result.stderr };
}

const rows = [];
for (const path of texts) {
  const name = basename(path, '.txt');
  const text = new TextDecoder('shift_jis').decode(readFileSync(path));
  const epub = join(out, `${name}.epub`);
  const book = run(['--format', 'epub', '-o', epub, path]);
  const pdf = join(out, `${name}.pdf`);
  const pages = run(['--page', 'a5', '-o', pdf, path]);
  const cells = run(['--notation', 'aozora', '--encoding', 'utf-8', path]);
  const check = spawnSync('java', ['-XX:TieredStopAtLevel=1', '-jar', jar, epub], { encoding: 'utf8' });
  const messages = /Messages: (\d+) fatals? \/ (\d+) errors? \/ (\d+) warnings?/.exec(
    check.stdout + check.stderr,
  );
  const xhtml = bookText(epub);
  const layer = execFileSync('pdftotext', ['-enc', 'UTF-8', pdf, '-'], { encoding: 'utf8', maxBuffer: 1 << 28 });
  const notes = gaijiNotes(text);
  const named = notes.filter((note) => namesCharacter.test(note)).length;
  const unnamed = Number(/(\d+) 外字 notes? names? no character/.exec(book.stderr)?.[1] || 0);
  const unknown = Number(/(\d+) annotations? (?:is|are) not known/.exec(book.stderr)?.[1] || 0);
  const { share, missing } = carried(sourceBody(text), xhtml);
  rows.push({
    name,
    exit: `${book.status}/${pages.status}/${cells.status}`,
    epubcheck: messages ? `${messages[1]}/${messages[2]}/${messages[3]}` : 'none',
    leftInBook: count(xhtml, annotation),
    leftInPages: count(layer, annotation),
    leftInCells: count(cells.stdout, annotation),
    carried: `${(share * 100).toFixed(3)} %`,
    gaiji: `${named - Math.max(0, unnamed - (notes.length - named))}/${named}`,
    unknown,
    missing: missing.slice(0, 8).join(' '),
  });
  if (messages && (messages[2] !== '0' || messages[3] !== '0')) {
    writeFileSync(join(out, `${name}.epubcheck.txt`), check.stdout + check.stderr);
  }
}
console.table(rows);
