// Draws cells on a canvas from the page font's outlines, as the desktop's
// cell painter sets them: the glyphs centred across the cell on a baseline
// that centres the ideographs' face in it; a turned glyph turned a
// quarter turn clockwise about the cell's centre; 縦中横 upright side by side,
// narrowed to the cell's width where wider; a sideways run of Latin turned
// a quarter turn clockwise to read down the column, its baseline where the
// font's ascent and descent are centred across it. A cell the font cannot
// draw is drawn by the canvas's own text, upright, as the desktop falls back
// on its system's fonts.
export class FontCells {
  // `font`: a PageFont; `size`: the font's size in the canvas's units;
  // `family`: the CSS font family of the fallback; `cellItem` and
  // `cellOrientation`: the engine's numbers of the plan's cell items and
  // orientations (constants()).
  constructor(font, size, family, { cellItem, cellOrientation }) {
    this.font = font;
    this.scale = size / font.unitsPerEm;
    this.size = size;
    this.family = family;
    this.items = cellItem;
    this.asItStands = cellOrientation.asItStands;
  }

  draw(g, text, orientation, left, top, width, height, item, wordSpacing) {
    if (item === this.items.sideways) {
      this.drawSideways(g, text, left, top, width, wordSpacing);
      return;
    }
    const set = this.font.glyphsOf(text, orientation);
    if (!set) {
      g.font = `${this.size}px ${this.family}`;
      g.textAlign = 'center';
      g.textBaseline = 'middle';
      g.fillText(text, left + width / 2, top + height / 2);
      return;
    }
    const scale = this.scale;
    const advance = set.advances.reduce((a, b) => a + b, 0) * scale;
    const x = left + (width - advance) / 2;
    const baseline = top + this.font.baselineIn(height, scale);
    g.save();
    if (item === this.items.tcy && advance > width) {
      // Three digits are narrowed about the cell's centre.
      const cx = left + width / 2;
      g.translate(cx, 0);
      g.scale(width / advance, 1);
      g.translate(-cx, 0);
    }
    if (set.form === this.font.forms.turned) {
      const cx = left + width / 2;
      const cy = top + height / 2;
      g.translate(cx, cy);
      g.rotate(Math.PI / 2);
      g.translate(-cx, -cy);
    }
    this.fillGlyphs(g, set, x, baseline);
    g.restore();
  }

  // The glyphs of `set` along the baseline from `x`, each space of `text`
  // (where its characters and the glyphs pair up) `wordSpacing` wider.
  fillGlyphs(g, set, x, baseline, text = '', wordSpacing = 0) {
    const characters = [...text];
    set.ids.forEach((id, i) => {
      g.save();
      g.transform(this.scale, 0, 0, -this.scale, x, baseline);
      g.fill(this.font.pathOf(id));
      g.restore();
      x += set.advances[i] * this.scale;
      if (characters.length === set.ids.length && characters[i] === ' ') x += wordSpacing;
    });
  }

  drawSideways(g, text, left, top, width, wordSpacing) {
    const set = this.font.glyphsOf(text, this.asItStands);
    const scale = this.scale;
    g.save();
    // Turned a quarter turn clockwise about the column's top centre: x runs
    // down the column, y to its left.
    g.translate(left + width / 2, top);
    g.rotate(Math.PI / 2);
    const baseline = (this.font.runAscent - this.font.runDescent) * scale / 2;
    if (!set) {
      g.font = `${this.size}px ${this.family}`;
      g.textAlign = 'left';
      g.textBaseline = 'alphabetic';
      g.fillText(text, 0, baseline);
      g.restore();
      return;
    }
    this.fillGlyphs(g, set, 0, baseline, text, wordSpacing);
    g.restore();
  }
}
