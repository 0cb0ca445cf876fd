// The font that pictures and pages are drawn with: the same file as the
// desktop's (IPAGothic), read by fontkit, so that the browser's pictures
// show the desktop's glyphs, vertical forms included (OpenType vert and
// vrt2), at the desktop's sizes. Loaded from the site only when a picture
// or a PDF is first made; the service worker then keeps it for offline use.
import fontkit from '@pdf-lib/fontkit';

const VERTICAL_FEATURES = { vert: true, vrt2: true };

export async function loadPageFont(url, engine, forms) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url}: ${response.status} ${response.statusText}`);
  return new PageFont(new Uint8Array(await response.arrayBuffer()), engine, forms);
}

export class PageFont {
  // `engine`: the engine's module, whose rule says which form a cell
  // takes; `forms`: the numbers of those forms (constants().glyphForm).
  constructor(bytes, engine, forms) {
    this.bytes = bytes;
    this.engine = engine;
    this.forms = forms;
    this.font = fontkit.create(bytes);
    this.unitsPerEm = this.font.unitsPerEm;
    // The desktop's font engine takes a line's height from these.
    const os2 = this.font['OS/2'];
    this.ascent = os2?.winAscent || this.font.ascent;
    this.descent = os2?.winDescent || -this.font.descent;
    this.leading = Math.max(0, this.font.lineGap);
    // A sideways run and a page number are centred across their boxes by
    // the face's own ascent and descent (its hhea table), as the desktop's
    // painter centres them.
    this.runAscent = this.font.ascent;
    this.runDescent = -this.font.descent;
    this.fullWidth = this.font.glyphForCodePoint(0x3000).advanceWidth || this.unitsPerEm;
    // The middle of the ideographs' face, in font units up from the
    // baseline, as the desktop's painter takes it: kana and punctuation are
    // designed around that face, so centring it centres the characters.
    const middles = [...'\u56FD\u7530\u6C38\u6771']
      .map((c) => this.font.glyphForCodePoint(c.codePointAt(0)))
      .filter((glyph) => glyph.id !== 0 && glyph.bbox.maxY > glyph.bbox.minY)
      .map((glyph) => (glyph.bbox.minY + glyph.bbox.maxY) / 2);
    this.faceMiddle = middles.length === 0 ? null : middles.reduce((a, b) => a + b, 0) / middles.length;
    // Each code point's vertical form where it has one, else its own glyph.
    this.verticalOf = new Map();
    this.sets = new Map();
    this.paths = new Map();
  }

  // The size (in pixels) of the font whose full-width character is
  // `cellSize` wide, rounded to whole pixels as the desktop's are.
  sizeForCell(cellSize) {
    const advance = cellSize * this.fullWidth / this.unitsPerEm;
    if (advance <= 0 || Math.abs(advance - cellSize) < 0.5) return cellSize;
    return Math.round(cellSize * cellSize / advance);
  }

  // The baseline, down from a box's top, that centres the ideographs' face
  // in a box `height` high, the font drawn `scale` pixels to a unit.
  baselineIn(height, scale) {
    if (this.faceMiddle === null) return (height - (this.ascent + this.descent) * scale) / 2 + this.ascent * scale;
    return height / 2 + this.faceMiddle * scale;
  }

  // A picture's cell: the cell size wide, one line of the font high.
  cellBox(cellSize) {
    const size = this.sizeForCell(cellSize);
    const line = size * (this.ascent + this.descent + this.leading) / this.unitsPerEm;
    return { width: cellSize, height: Math.max(Math.floor(cellSize / 2), Math.ceil(line - 0.01)) };
  }

  // Looks up at once the vertical forms of the characters of `cells` not
  // yet known: one shaping of them all costs a fraction of one each.
  prepare(cells) {
    const unknown = [];
    for (const cell of cells) {
      const c = cell.codePointAt(0);
      if (cell.length <= 2 && String.fromCodePoint(c) === cell && !this.verticalOf.has(c)) {
        this.verticalOf.set(c, 0);
        unknown.push(c);
      }
    }
    if (unknown.length === 0) return;
    const glyphs = this.font.layout(String.fromCodePoint(...unknown), VERTICAL_FEATURES).glyphs;
    const oneEach = glyphs.length === unknown.length;
    unknown.forEach((c, i) => {
      const glyph = oneEach ? glyphs[i] : this.font.layout(String.fromCodePoint(c), VERTICAL_FEATURES).glyphs[0];
      this.verticalOf.set(c, glyph.id);
    });
  }

  // How `text` is drawn as a cell of `orientation`: its form (the engine's
  // GlyphForm), its glyphs and their advances in font units; null when the
  // font lacks a character.
  glyphsOf(text, orientation) {
    const key = `${orientation}:${text}`;
    let set = this.sets.get(key);
    if (set !== undefined) return set;
    const glyphs = this.font.layout(text).glyphs;
    set = null;
    if (glyphs.length !== 0 && glyphs.every((glyph) => glyph.id !== 0)) {
      let ids = glyphs.map((glyph) => glyph.id);
      let form = this.engine.formOfGlyph(orientation, false);
      const single = [...text].length === 1;
      if (single) {
        const c = text.codePointAt(0);
        this.prepare([text]);
        const vertical = this.verticalOf.get(c);
        const hasVertical = vertical !== 0 && vertical !== ids[0];
        form = this.engine.formOfGlyph(orientation, hasVertical);
        if (hasVertical && form === this.forms.vertical) ids = [vertical];
      }
      set = { form, ids, advances: ids.map((id) => this.font.getGlyph(id).advanceWidth) };
    }
    this.sets.set(key, set);
    return set;
  }

  // The outline of glyph `id`, in font units with y up.
  pathOf(id) {
    let path = this.paths.get(id);
    if (!path) {
      path = new Path2D(this.font.getGlyph(id).path.toSVG());
      this.paths.set(id, path);
    }
    return path;
  }
}
