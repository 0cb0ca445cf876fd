// The layout of `rows` and `columns` drawn whole as a picture: square
// cells of `cellSize` pixels, glyphs centred, and manuscript-paper lines
// when `grid`. Null when a side would pass `maxSide` pixels.
export function drawPicture(page, { rows, columns }, cellSize, grid, maxSide) {
  const margin = Math.round(cellSize / 2);
  const width = columns * cellSize + 2 * margin;
  const height = rows * cellSize + 2 * margin;
  if (width > maxSide || height > maxSide || rows === 0) return null;
  const canvas = document.createElement('canvas');
  canvas.width = width;
  canvas.height = height;
  const g = canvas.getContext('2d');
  g.fillStyle = '#fff';
  g.fillRect(0, 0, width, height);
  if (grid) {
    g.strokeStyle = '#c89090';
    g.lineWidth = 1;
    for (let c = 0; c <= columns; ++c) g.strokeRect(margin + c * cellSize + 0.5, margin + 0.5, 0, rows * cellSize);
    for (let r = 0; r <= rows; ++r) g.strokeRect(margin + 0.5, margin + r * cellSize + 0.5, columns * cellSize, 0);
  }
  g.fillStyle = '#000';
  g.font = `${Math.round(cellSize * 0.85)}px ${getComputedStyle(document.documentElement).getPropertyValue('--pane-font')}`;
  g.textAlign = 'center';
  g.textBaseline = 'middle';
  const band = 256;
  for (let first = 0; first < rows; first += band) {
    const count = Math.min(band, rows - first);
    const units = page.cells(first, count, 0, columns);
    let i = 0;
    for (let r = 0; r < count; ++r) {
      for (let c = 0; c < columns; ++c) {
        const length = units[i++];
        const cell = String.fromCharCode(...units.subarray(i, i + length));
        i += length;
        if (cell === '' || cell === '\u3000') continue;
        g.fillText(cell, margin + (c + 0.5) * cellSize, margin + (first + r + 0.5) * cellSize);
      }
    }
  }
  return canvas;
}
