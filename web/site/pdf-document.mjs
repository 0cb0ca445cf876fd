// A PDF of the engine's drawing plan (a picture cut into sheets, or the
// pages of a page setup) with pdf-lib: the page font embedded twice, as a
// subset, once as it stands and once with its vertical forms (OpenType vert
// and vrt2), so that every glyph drawn names its own character in the text
// layer, beyond the first 65,536 characters too (pdf-lib's ToUnicode maps
// carry them as UTF-16); each sheet's text is written in the plan's reading
// order, so that it reads back as the columns do (pdftotext -raw). A
// character the font lacks is drawn as the font's missing-glyph box, which
// every such character shares, so its text goes beside it as the span's
// ActualText: the text layer keeps it all the same. Ruby's readings are
// drawn as the glyphs' outlines, no part of the text layer, so that the
// text reads, searches and copies as the text alone. The pages are tagged
// as the desktop's are (see pdf-tags.mjs). The content of each
// page is written as PDF operators at once: hundreds of thousands of cells
// through pdf-lib's drawing calls would take many times as long.
import fontkit from '@pdf-lib/fontkit';
import { PDFDocument, PDFName } from 'pdf-lib';
import { PdfTags, artifact } from './pdf-tags.mjs';
import { forEachCell } from './sheet-painter.mjs';

const VERTICAL_FEATURES = { vert: true, vrt2: true };

const number = (n) => (Math.round(n * 1000) / 1000).toString();
const rgbOperands = (rgb) => [(rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF].map((c) => number(c / 255)).join(' ');

// A subset's name: six capital letters and a plus, as PDF readers expect.
function subsetName(name) {
  const letters = Array.from(crypto.getRandomValues(new Uint8Array(6)), (n) => String.fromCharCode(65 + (n % 26)));
  return `${letters.join('')}+${name}`;
}

// One embedded copy of the page font and the glyphs of the text drawn with
// it, each text's hex string made once.
class EmbeddedFont {
  constructor(font, key) {
    this.font = font;
    this.key = key;
    this.hex = new Map();
  }

  // Encodes at once the texts of `texts` not yet encoded: one shaping of
  // many characters costs a fraction of one each.
  prepare(texts) {
    const unknown = [...new Set(texts)].filter((text) => !this.hex.has(text));
    if (unknown.length === 0) return;
    if (unknown.every((text) => [...text].length === 1)) {
      const hex = this.font.encodeText(unknown.join('')).asString();
      if (hex.length === 4 * unknown.length) {
        unknown.forEach((text, i) => this.hex.set(text, hex.slice(4 * i, 4 * i + 4)));
        return;
      }
    }
    for (const text of unknown) this.hex.set(text, this.font.encodeText(text).asString());
  }

  hexOf(text) {
    if (!this.hex.has(text)) this.prepare([text]);
    return this.hex.get(text);
  }
}

// The PDF's bytes. `drawing`: the engine's Drawing; `font`: a PageFont;
// `onSheet(n, count)` is called before each sheet, and may wait, so that
// the page can say how far it is.
// `orientations` and `items`: the numbers of the cells' orientations and
// items (constants().cellOrientation and cellItem).
export async function makePdf(drawing, font, { title, orientations, items, onSheet = async () => {} }) {
  const doc = await PDFDocument.create();
  doc.registerFontkit(fontkit);
  doc.setCreator('Mirotabe');
  doc.setProducer('Mirotabe');
  doc.setLanguage('ja');
  if (title) doc.setTitle(title);
  const name = font.font.postscriptName || 'IPAGothic';
  const upright = new EmbeddedFont(await doc.embedFont(font.bytes, { subset: true, customName: subsetName(name) }), 'F1');
  const vertical = new EmbeddedFont(await doc.embedFont(font.bytes, {
    subset: true, customName: subsetName(`${name}-Vertical`), features: VERTICAL_FEATURES,
  }), 'F2');
  const forms = font.forms;
  const count = drawing.sheetCount();
  const tags = new PdfTags();
  for (let n = 0; n < count; ++n) {
    await onSheet(n, count);
    const sheet = drawing.sheet(n);
    const page = doc.addPage([sheet.width, sheet.height]);
    page.node.setFontDictionary(PDFName.of(upright.key), upright.font.ref);
    page.node.setFontDictionary(PDFName.of(vertical.key), vertical.font.ref);
    tags.startPage(page.ref);
    const operators = sheetOperators(sheet, font, { upright, vertical, forms, orientations, items, tags });
    page.node.addContentStream(doc.context.register(doc.context.flateStream(operators)));
  }
  tags.write(doc);
  return doc.save({ addDefaultPage: false });
}

function stepOperators(step, height, out) {
  const at = step.coordinates;
  if (step.lines) {
    out.push(`${rgbOperands(step.colour)} RG ${number(step.penWidth)} w`);
    for (let i = 0; i + 3 < at.length; i += 4) {
      out.push(`${number(at[i])} ${number(height - at[i + 1])} m ${number(at[i + 2])} ${number(height - at[i + 3])} l S`);
    }
    return;
  }
  out.push(`${rgbOperands(step.colour)} rg`);
  for (let i = 0; i + 3 < at.length; i += 4) {
    out.push(`${number(at[i])} ${number(height - at[i + 1] - at[i + 3])} ${number(at[i + 2])} ${number(at[i + 3])} re f`);
  }
}

// A sideways run of Latin: turned a quarter turn clockwise to read down its
// column from the cell's top, its baseline where the font's ascent and
// descent are centred across the column. The word spaces a spread column
// adds follow each space as a shift of the text, which a font of two-byte
// codes takes where it takes no word spacing.
function sidewaysOperators(cell, sheet, font, size, embedded, h) {
  const scale = size / font.unitsPerEm;
  const ox = cell.left + sheet.cellWidth / 2 - (font.runAscent - font.runDescent) * scale / 2;
  const matrix = `0 -1 1 0 ${number(ox)} ${number(h - cell.top)} Tm`;
  if (!cell.wordSpacing || !cell.text.includes(' ')) return `${matrix} <${embedded.hexOf(cell.text)}> Tj`;
  const shift = number(-cell.wordSpacing * 1000 / size);
  const parts = cell.text.split(' ').map((word) => (word ? `<${embedded.hexOf(word)}>` : ''));
  return `${matrix} [${parts.join(` <${embedded.hexOf(' ')}> ${shift} `)}] TJ`;
}

// The operators of a sheet. The plan measures from the top left with y
// down; a PDF page from the bottom left with y up.
function sheetOperators(sheet, font, { upright, vertical, forms, orientations, items, tags }) {
  const h = sheet.height;
  const ruling = [];
  if (sheet.background !== null) {
    ruling.push(`${rgbOperands(sheet.background)} rg 0 0 ${number(sheet.width)} ${number(h)} re f`);
  }
  for (const step of sheet.beneath) stepOperators(step, h, ruling);
  const out = [artifact(ruling.join('\n'))];
  // Characters are drawn at the plan's size, which on manuscript paper is
  // less than the square, and centred in their cells.
  const size = font.sizeForCell(sheet.characterSize || sheet.cellWidth);
  const scale = size / font.unitsPerEm;
  const baseline = font.baselineIn(sheet.cellHeight, scale);
  const cells = [];
  forEachCell(sheet, (text, orientation, left, top, item, wordSpacing) =>
    cells.push({ text, orientation, left, top, item, wordSpacing }));
  // The cells that may take a vertical form come from the copy with the
  // vertical forms, where each has its own glyph if it has no form.
  const fontOf = (cell) => (cell.item === items.glyphs && (cell.orientation === orientations.verticalOrUpright ||
    cell.orientation === orientations.verticalOrTurned) ? vertical : upright);
  font.prepare(cells.map((cell) => cell.text));
  upright.prepare(cells.filter((cell) => fontOf(cell) === upright).map((cell) => cell.text));
  vertical.prepare(cells.filter((cell) => fontOf(cell) === vertical).map((cell) => cell.text));
  out.push(`${rgbOperands(sheet.ink)} rg BT`);
  let current = null;
  // Each column a part of a paragraph: a cell on a column's left edge
  // other than the last cell's begins the next.
  let column = -1;
  let left = null;
  for (const cell of cells) {
    if (cell.left !== left) {
      left = cell.left;
      do ++column; while (column < sheet.columnLefts.length && sheet.columnLefts[column] !== left);
      out.push(tags.column(column >= sheet.columnLefts.length || sheet.paragraphStarts[column] === 1));
    }
    const set = font.glyphsOf(cell.text, cell.orientation);
    const advance = set ? set.advances.reduce((a, b) => a + b, 0) * scale : size;
    const embedded = fontOf(cell);
    if (embedded !== current) {
      out.push(`/${embedded.key} ${number(size)} Tf`);
      current = embedded;
    }
    const x = cell.left + (sheet.cellWidth - advance) / 2;
    const y = cell.top + baseline;
    if (!set && cell.item !== items.sideways && cell.item !== items.tcy) {
      out.push(tags.replaced(cell.text, `1 0 0 1 ${number(x)} ${number(h - y)} Tm <${embedded.hexOf(cell.text)}> Tj`));
    } else if (cell.item === items.sideways) {
      out.push(sidewaysOperators(cell, sheet, font, size, embedded, h));
    } else if (cell.item === items.tcy && advance > sheet.cellWidth) {
      // Three digits are narrowed to the cell's width about its centre.
      const squeeze = sheet.cellWidth / advance;
      out.push(`${number(squeeze)} 0 0 1 ${number(cell.left)} ${number(h - y)} Tm <${embedded.hexOf(cell.text)}> Tj`);
    } else if (set && set.form === forms.turned) {
      // A quarter turn clockwise about the cell's centre.
      const cx = cell.left + sheet.cellWidth / 2;
      const cy = cell.top + sheet.cellHeight / 2;
      const ox = cx - (y - cy);
      const oy = cy + (x - cx);
      out.push(`0 -1 1 0 ${number(ox)} ${number(h - oy)} Tm <${embedded.hexOf(cell.text)}> Tj`);
    } else {
      out.push(`1 0 0 1 ${number(x)} ${number(h - y)} Tm <${embedded.hexOf(cell.text)}> Tj`);
    }
  }
  out.push(tags.endColumn());
  const pageNumber = sheet.pageNumber;
  if (pageNumber) {
    const numberSize = pageNumber.characterSize;
    const digits = upright.hexOf(pageNumber.text);
    const width = [...pageNumber.text].reduce((sum, c) => sum + (font.glyphsOf(c, orientations.asItStands)?.advances[0] ?? 0), 0) * numberSize / font.unitsPerEm;
    const numberScale = numberSize / font.unitsPerEm;
    const y = pageNumber.top + pageNumber.height / 2 + (font.runAscent - font.runDescent) * numberScale / 2;
    out.push(artifact(`${rgbOperands(pageNumber.colour)} rg /${upright.key} ${number(numberSize)} Tf\n` +
      `1 0 0 1 ${number(pageNumber.left + (pageNumber.width - width) / 2)} ${number(h - y)} Tm <${digits}> Tj`, 'Pagination'));
  }
  out.push('ET');
  const readings = [];
  rubyOperators(sheet, font, readings);
  out.push(artifact(readings.join('\n')));
  return out.join('\n');
}

// A glyph's outline as PDF path operators in the font's units, made once.
const outlines = new WeakMap();
function outlineOf(font, id) {
  let known = outlines.get(font);
  if (!known) outlines.set(font, (known = new Map()));
  let path = known.get(id);
  if (path !== undefined) return path;
  const parts = [];
  let x = 0;
  let y = 0;
  for (const { command, args } of font.font.getGlyph(id).path.commands) {
    if (command === 'moveTo' || command === 'lineTo') {
      [x, y] = args;
      parts.push(`${number(x)} ${number(y)} ${command === 'moveTo' ? 'm' : 'l'}`);
    } else if (command === 'quadraticCurveTo') {
      // The cubic curve of the same shape.
      const [qx, qy, ex, ey] = args;
      const c = (from, to) => from + (2 / 3) * (to - from);
      parts.push([c(x, qx), c(y, qy), c(ex, qx), c(ey, qy), ex, ey].map(number).join(' ') + ' c');
      [x, y] = [ex, ey];
    } else if (command === 'bezierCurveTo') {
      parts.push(args.map(number).join(' ') + ' c');
      [x, y] = args.slice(4);
    } else if (command === 'closePath') {
      parts.push('h');
    }
  }
  path = parts.join(' ');
  known.set(id, path);
  return path;
}

// The readings' glyphs, filled as outlines, each centred in its cell as the
// text's are.
function rubyOperators(sheet, font, out) {
  const cells = [];
  forEachCell(sheet, (text, orientation, left, top) => cells.push({ text, orientation, left, top }), true);
  if (cells.length === 0) return;
  const h = sheet.height;
  const side = sheet.rubyCell;
  const scale = font.sizeForCell(sheet.rubyCharacterSize) / font.unitsPerEm;
  const baseline = font.baselineIn(side, scale);
  font.prepare(cells.map((cell) => cell.text));
  out.push(`${rgbOperands(sheet.ink)} rg`);
  for (const cell of cells) {
    const set = font.glyphsOf(cell.text, cell.orientation);
    if (!set) continue;
    let x = cell.left + (side - set.advances.reduce((a, b) => a + b, 0) * scale) / 2;
    const y = cell.top + baseline;
    const turned = set.form === font.forms.turned;
    set.ids.forEach((id, i) => {
      let matrix = `${number(scale)} 0 0 ${number(scale)} ${number(x)} ${number(h - y)}`;
      if (turned) {
        // A quarter turn clockwise about the cell's centre.
        const cx = cell.left + side / 2;
        const cy = cell.top + side / 2;
        matrix = `0 ${number(-scale)} ${number(scale)} 0 ${number(cx - (y - cy))} ${number(h - (cy + (x - cx)))}`;
      }
      out.push(`q ${matrix} cm ${outlineOf(font, id)} f Q`);
      x += set.advances[i] * scale;
    });
  }
}
