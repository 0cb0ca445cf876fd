// Draws cells on a canvas from the page font's outlines, as the desktop's
// cell painter sets them: the glyphs centred across the cell on a baseline
// that centres the ideographs' face in it; a turned glyph turned a
// quarter turn clockwise about the cell's centre. A cell the font cannot
// draw is drawn by the canvas's own text, upright, as the desktop falls back
// on its system's fonts.
export class FontCells {
  // `font`: a PageFont; `size`: the font's size in the canvas's units;
  // `family`: the CSS font family of the fallback.
  constructor(font, size, family) {
    this.font = font;
    this.scale = size / font.unitsPerEm;
    this.size = size;
    this.family = family;
  }

  draw(g, text, orientation, left, top, width, height) {
    const set = this.font.glyphsOf(text, orientation);
    if (!set) {
      g.font = `${this.size}px ${this.family}`;
      g.textAlign = 'center';
      g.textBaseline = 'middle';
      g.fillText(text, left + width / 2, top + height / 2);
      return;
    }
    const scale = this.scale;
    let x = left + (width - set.advances.reduce((a, b) => a + b, 0) * scale) / 2;
    const baseline = top + this.font.baselineIn(height, scale);
    g.save();
    if (set.form === this.font.forms.turned) {
      const cx = left + width / 2;
      const cy = top + height / 2;
      g.translate(cx, cy);
      g.rotate(Math.PI / 2);
      g.translate(-cx, -cy);
    }
    set.ids.forEach((id, i) => {
      g.save();
      g.transform(scale, 0, 0, -scale, x, baseline);
      g.fill(this.font.pathOf(id));
      g.restore();
      x += set.advances[i] * scale;
    });
    g.restore();
  }
}
