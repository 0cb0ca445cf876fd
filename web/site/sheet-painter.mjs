// Carries out a sheet of the engine's drawing plan (see Drawing in the
// bindings) on a canvas: the background, the rules beneath the text, each
// cell's glyphs as `cells` sets them, and the page number. What is drawn and
// where is the plan's; this only draws it, as the desktop's painter does.

export const colour = (rgb) => `#${rgb.toString(16).padStart(6, '0')}`;

// Calls visit(text, orientation, left, top, item, wordSpacing) for each
// cell of `sheet` that holds something, in reading order; with `ruby`, for
// each cell of the readings of ruby instead.
export function forEachCell(sheet, visit, ruby = false) {
  const { at, orientation, item, wordSpacing, text } = ruby
    ? { at: sheet.rubyAt, orientation: sheet.rubyOrientation, item: sheet.rubyItem,
      wordSpacing: sheet.rubyWordSpacing, text: sheet.rubyText }
    : sheet;
  let unit = 0;
  for (let i = 0; i < orientation.length; ++i) {
    const length = text[unit++];
    const cell = length === 1 ? String.fromCharCode(text[unit]) : String.fromCharCode(...text.subarray(unit, unit + length));
    unit += length;
    visit(cell, orientation[i], at[2 * i], at[2 * i + 1], item[i], wordSpacing[i]);
  }
}

// The rules of a step drawn beneath the text: lines, each x1 y1 x2 y2, or
// filled rectangles, each x y width height.
function paintStep(g, step) {
  const at = step.coordinates;
  if (!step.lines) {
    g.fillStyle = colour(step.colour);
    for (let i = 0; i + 3 < at.length; i += 4) g.fillRect(at[i], at[i + 1], at[i + 2], at[i + 3]);
    return;
  }
  // A pen of whole pixels on whole coordinates covers whole pixels, as an
  // aliased painter's does.
  const offset = step.penWidth % 2 === 1 ? 0.5 : 0;
  g.strokeStyle = colour(step.colour);
  g.lineWidth = step.penWidth;
  g.beginPath();
  for (let i = 0; i + 3 < at.length; i += 4) {
    g.moveTo(at[i] + offset, at[i + 1] + offset);
    g.lineTo(at[i + 2] + offset, at[i + 3] + offset);
  }
  g.stroke();
}

// Paints `sheet` with `g`, whose units are the plan's; `cells.draw(g, text,
// orientation, left, top, width, height, item, wordSpacing)` draws a cell's
// glyphs in the fill style, and `rubyCells.draw` those of ruby's readings at
// their own size; `family` is the font family of the page number.
export function paintSheet(g, sheet, cells, family, rubyCells = cells) {
  if (sheet.background !== null) {
    g.fillStyle = colour(sheet.background);
    g.fillRect(0, 0, sheet.width, sheet.height);
  }
  for (const step of sheet.beneath) paintStep(g, step);
  g.fillStyle = colour(sheet.ink);
  forEachCell(sheet, (text, orientation, left, top, item, wordSpacing) =>
    cells.draw(g, text, orientation, left, top, sheet.cellWidth, sheet.cellHeight, item, wordSpacing));
  forEachCell(sheet, (text, orientation, left, top, item) =>
    rubyCells.draw(g, text, orientation, left, top, sheet.rubyCell, sheet.rubyCell, item, 0), true);
  const number = sheet.pageNumber;
  if (number) {
    g.fillStyle = colour(number.colour);
    g.font = `${number.characterSize}px ${family}`;
    g.textAlign = 'center';
    g.textBaseline = 'middle';
    g.fillText(number.text, number.left + number.width / 2, number.top + number.height / 2);
  }
}
