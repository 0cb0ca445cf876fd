// Vertical writing with whatever Japanese font the system has: the output
// pane, and a picture when the page's own font cannot be loaded. Canvas
// text has no vertical forms, so each cell is drawn in the engine's stand-in
// for its form (see standInForm in the bindings): upright, turned a quarter
// turn, the comma and full stop moved to the top right, small kana moved up
// and right. Each cell's form is asked of the engine once and kept.
export class StandInGlyphs {
  // `engine`: the engine's module; `forms`: constants().standInForm;
  // `smallKanaShift`: constants().smallKanaShift.
  constructor(engine, { standInForm, smallKanaShift }) {
    this.engine = engine;
    this.forms = standInForm;
    this.shift = smallKanaShift;
    this.known = new Map();
    this.size = 0;
  }

  // Forgets what depends on the font's size: `size` is the font's em in
  // the canvas's units.
  setSize(size) {
    if (size === this.size) return;
    this.size = size;
    for (const [cell, placed] of this.known) {
      if (placed.form === this.forms.mirroredPlace) this.known.delete(cell);
    }
  }

  placed(g, cell) {
    let placed = this.known.get(cell);
    if (placed) return placed;
    const form = this.engine.standInForm(cell);
    placed = { form, dx: 0, dy: 0 };
    if (form === this.forms.mirroredPlace) {
      // The ink's centre goes to the point opposite it across the cell's
      // centre, where vertical fonts draw these marks.
      const m = g.measureText(cell);
      placed.dx = m.actualBoundingBoxLeft - m.actualBoundingBoxRight;
      placed.dy = m.actualBoundingBoxAscent - m.actualBoundingBoxDescent;
    } else if (form === this.forms.smallKana) {
      placed.dx = this.shift * this.size;
      placed.dy = -this.shift * this.size;
    }
    this.known.set(cell, placed);
    return placed;
  }

  // Draws `cell` centred on (x, y) with `g`'s font, fill, and its text
  // centred and set on the middle baseline.
  draw(g, cell, x, y) {
    const placed = this.placed(g, cell);
    if (placed.form !== this.forms.turned) {
      g.fillText(cell, x + placed.dx, y + placed.dy);
      return;
    }
    g.save();
    g.translate(x, y);
    g.rotate(Math.PI / 2);
    g.fillText(cell, 0, 0);
    g.restore();
  }
}
