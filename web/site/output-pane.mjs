// The output pane: the layout drawn on a canvas straight from the engine,
// only the cells in view, each glyph centred in its cell of a fixed grid.
// A keystroke repaints only the cells that differ in the columns it
// changed (the canvas's cells are kept as painted to tell), and the marked
// cells; a new layout and the pane's own caret and selection repaint the
// view.
// The canvas holds some rows more than the view and scrolls with the
// cells, so that following the caret down a column repaints the canvas
// only when the view leaves it. It is cut into strips side by side, so
// that the column of a keystroke changes one or two of them, which is all
// that the frame then hands the compositor (see canvas-strip.mjs). The pane paints, and scrolls,
// once at the end of the task that changed it (a keystroke's, a scroll's),
// however often that task asked, so that the frame after it shows the
// change and then has nothing left to draw (see draw()).
// Like the desktop's pane it stands for the layout's rows joined by line
// breaks: it has a caret and a selection in that text (mouse, touch, keys),
// copies it, marks the input caret's cell, and gives assistive technology
// the columns in view as text.
// As on the desktop, the columns stand against the pane's right edge, where
// vertical text starts, and with 縦組み表示 on each glyph is set in the
// stand-in for its vertical form (see stand-in-glyphs.mjs). The font's size
// zooms.
import { CanvasStrip } from './canvas-strip.mjs';
import { fillReader, readingColumns, setReaderItem } from './column-reader.mjs';

const PADDING = 4;
// The rows that the canvas holds beyond the view's height.
const EXTRA_ROWS = 12;
// How long the changes to the pane pause before assistive technology is
// given its columns again, in milliseconds: longer than the time between
// two keys of a typist, shorter than a listener takes to go and read them.
const READER_PAUSE_MS = 300;
// The width of a strip of the canvas, in CSS pixels.
const STRIP_WIDTH = 64;

function parseCells(units) {
  const cells = [];
  for (let i = 0; i < units.length;) {
    const length = units[i++];
    cells.push(length === 0 ? '' : length === 1 ? String.fromCharCode(units[i])
      : String.fromCharCode(...units.subarray(i, i + length)));
    i += length;
  }
  return cells;
}

const before = (a, b) => a.row < b.row || (a.row === b.row && a.column < b.column);

export class OutputPane {
  // `glyphs`: a StandInGlyphs; `size`: the font's size in CSS pixels;
  // `vertical`: 縦組み表示.
  constructor(element, page, glyphs, { size, vertical }) {
    this.element = element;
    this.page = page;
    this.glyphs = glyphs;
    this.vertical = vertical;
    // The left edge of the layout's column 0, in the pane's scrolled
    // coordinates: the padding, and the room left of the columns that
    // keeps them against the right edge of a wider pane.
    this.columnsLeft = PADDING;
    this.sizer = element.querySelector('.sizer');
    // The canvas's strips, left to right: CanvasStrips with their x in
    // pixels from the canvas's left, and their width.
    this.strips = [Object.assign(new CanvasStrip(element.querySelector('.cells')), { x: 0, width: 0 })];
    this.messageBox = element.querySelector('.message');
    this.reader = element.querySelector('.reader');
    this.rows = 0;
    this.columns = 0;
    this.mark = null;
    this.caret = { row: 0, column: 0 };
    this.anchor = { row: 0, column: 0 };
    this.touchExtends = false;
    this.family = getComputedStyle(document.documentElement).getPropertyValue('--pane-font');
    this.measure(size);
    this.drawPending = false;
    // What the next frame repaints: everything, or some columns.
    this.damage = { all: true, columns: [] };
    // The text of the canvas's cells as last painted, row by row: from the
    // canvas's first row down to its bottom, whether the layout has those
    // rows or not ('' where it has none), over the columns of the layout it
    // shows. Null until the canvas is painted whole.
    this.painted = null;
    this.paintedMark = null;
    // What the reader is to take again when the changes pause: all the
    // columns in view, or only those that changed (null when nothing is
    // to), when it last changed (performance.now()), and the window() in
    // view it last took whole.
    this.readerDamage = null;
    this.readerChanged = 0;
    this.readerWindow = null;
    // The view's size and scroll position, kept here so that drawing reads
    // no layout back from the page; `scrollPending` when the next painting is
    // to scroll the pane there.
    this.view = { width: 0, height: 0, left: 0, top: 0 };
    this.scrollPending = false;
    // Where the canvas is, in the pane's scrolled coordinates, and where
    // the view was when the canvas was last painted.
    this.area = { width: 0, height: 0, left: 0, top: 0 };
    this.ratio = 0;
    this.paintedView = null;
    element.addEventListener('scroll', () => {
      // The pane's own scrolling was painted by the drawing that scrolled it.
      if (this.scrollPending || (element.scrollLeft === this.view.left && element.scrollTop === this.view.top)) return;
      this.view.left = element.scrollLeft;
      this.view.top = element.scrollTop;
      this.draw();
    });
    // Called after the rows the view holds may have changed: its size or
    // the font's (see rowsInView).
    this.onResize = null;
    new ResizeObserver(() => {
      this.view.width = element.clientWidth;
      this.view.height = element.clientHeight;
      this.placeColumns(this.columns);
      this.redraw();
      this.onResize?.();
    }).observe(element);
    matchMedia('(prefers-color-scheme: dark)').addEventListener('change', () => {
      this.colours = null;
      this.redraw();
    });
    this.listen();
  }

  // Shows a layout of `rows` × `columns` cells (the engine holds it), of
  // which only `changed` ({first, count} columns from the left) differ
  // from the one shown, or all when it is null (as when columns are added
  // or removed, which moves every column); the caret and the selection
  // stay where the new layout still has them. Rows added or removed at the
  // bottom move no cell.
  show(rows, columns, changed, message = '') {
    const resized = rows !== this.rows || columns !== this.columns;
    const previousColumns = this.columns;
    this.rows = rows;
    this.columns = columns;
    if (this.messageBox.textContent !== message) {
      this.messageBox.hidden = message === '';
      this.messageBox.textContent = message;
    }
    if (resized) this.placeColumns(previousColumns);
    const clamp = (p) => ({ row: Math.min(p.row, Math.max(rows - 1, 0)), column: Math.min(p.column, columns) });
    this.caret = clamp(this.caret);
    this.anchor = clamp(this.anchor);
    if (changed) this.damage.columns.push(changed);
    else this.damage.all = true;
    this.draw();
  }

  // The font's size in CSS pixels, and the cells it makes.
  measure(size) {
    this.size = size;
    this.font = `${size}px ${this.family}`;
    const g = this.strips[0].context;
    g.font = this.font;
    this.cellWidth = Math.max(size, Math.ceil(g.measureText('\u3042').width));
    this.cellHeight = Math.round(size * 1.25);
    this.glyphs.setSize(size);
  }

  // Zooms to a font of `size` CSS pixels, keeping the cell at the view's
  // top right where it is.
  zoom(size) {
    if (size === this.size) return;
    const fromRight = (this.columnsLeft + this.columns * this.cellWidth + PADDING - this.view.left - this.view.width) / this.cellWidth;
    const row = (this.view.top - PADDING) / this.cellHeight;
    this.measure(size);
    this.area.width = NaN;  // the strips take the new font
    this.placeColumns(this.columns);
    this.view.left = Math.max(0, this.columnsLeft + this.columns * this.cellWidth + PADDING - this.view.width - fromRight * this.cellWidth);
    this.view.top = Math.max(0, PADDING + row * this.cellHeight);
    this.scrollPending = true;
    this.redraw();
    this.onResize?.();
  }

  // 縦組み表示 on or off.
  setVertical(on) {
    this.vertical = on;
    this.redraw();
  }

  // Sizes the sizer, to which the canvas is cut, for the layout's columns,
  // with room for the caret of an empty pane, and puts the columns against
  // the right edge. A pane scrolled to show some columns keeps its distance
  // from the right edge when `previousColumns` change to this.columns, so
  // that a line added at the end (a column at the left) moves nothing in
  // view.
  placeColumns(previousColumns) {
    const width = (columns) => columns * this.cellWidth + 2 * PADDING;
    const content = width(this.columns);
    const left = PADDING + Math.max(0, this.view.width - content);
    if (left !== this.columnsLeft) {
      this.columnsLeft = left;
      this.damage.all = true;
    }
    this.sizer.style.width = `${Math.max(content, this.view.width)}px`;
    this.sizer.style.height = `${Math.max(this.rows, 1) * this.cellHeight + 2 * PADDING}px`;
    if (previousColumns !== this.columns && content > this.view.width) {
      const fromRight = Math.max(0, width(previousColumns) - this.view.left - this.view.width);
      const scrolled = Math.max(0, content - this.view.width - fromRight);
      if (scrolled !== this.view.left) {
        this.view.left = scrolled;
        this.scrollPending = true;
      }
    }
  }

  // Marks `cell` ({row, column} or null) and, when it next paints, scrolls
  // just enough to show it.
  markCell(cell) {
    this.mark = cell;
    if (cell) {
      const x = this.columnsLeft + cell.column * this.cellWidth;
      const y = PADDING + cell.row * this.cellHeight;
      const { width: w, height: h } = this.view;
      let { left, top } = this.view;
      if (x < left) left = x - PADDING;
      else if (x + this.cellWidth > left + w) left = x + this.cellWidth + PADDING - w;
      if (y < top) top = y - PADDING;
      else if (y + this.cellHeight > top + h) top = y + this.cellHeight + PADDING - h;
      if (left !== this.view.left || top !== this.view.top) {
        this.view.left = left;
        this.view.top = top;
        this.scrollPending = true;
      }
    }
    this.draw();
  }

  // How many whole rows the view shows, from the size it last had (read
  // from no layout).
  rowsInView() {
    return Math.max(1, Math.floor((this.view.height - 2 * PADDING) / this.cellHeight));
  }

  hasSelection() {
    return this.caret.row !== this.anchor.row || this.caret.column !== this.anchor.column;
  }

  // The selected text: whole rows joined by LF, as copies are, cut at
  // both ends.
  selectedText() {
    let [from, to] = before(this.caret, this.anchor) ? [this.caret, this.anchor] : [this.anchor, this.caret];
    if (this.rows === 0) return '';
    const cells = parseCells(this.page.cells(from.row, to.row - from.row + 1, 0, this.columns));
    const lines = [];
    for (let row = from.row; row <= to.row; ++row) {
      const start = row === from.row ? from.column : 0;
      const end = row === to.row ? to.column : this.columns;
      const offset = (row - from.row) * this.columns;
      lines.push(cells.slice(offset + start, offset + end).join(''));
    }
    return lines.join('\n');
  }

  selectAll() {
    this.anchor = { row: 0, column: 0 };
    this.caret = { row: Math.max(this.rows - 1, 0), column: this.columns };
    this.redraw();
  }

  // Repaints the whole view (see draw()).
  redraw() {
    this.damage.all = true;
    this.draw();
  }

  // Paints what changed once the task that asked is done, once however
  // often it asked. Not in the next frame's animation callbacks: a canvas
  // changed there keeps the compositor asking for frames for some frames
  // after it, and a keystroke that comes in those frames waits for the
  // next one (up to 16.7 ms) where it would otherwise start its frame at
  // once.
  draw() {
    if (this.drawPending) return;
    this.drawPending = true;
    queueMicrotask(() => {
      this.drawPending = false;
      this.drawNow();
    });
  }

  drawNow() {
    this.paintChanges();
    for (const strip of this.strips) strip.present();
  }

  // Paints on the strips what changed since they were last painted.
  paintChanges() {
    const view = this.view;
    const area = this.area;
    const ratio = window.devicePixelRatio || 1;
    if (this.scrollPending) {
      this.element.scrollTo(view.left, view.top);
      view.left = this.element.scrollLeft;
      view.top = this.element.scrollTop;
      this.scrollPending = false;
    }
    const damage = this.damage;
    this.damage = { all: false, columns: [] };
    const width = view.width;
    const height = view.height + EXTRA_ROWS * this.cellHeight;
    if (area.width !== width || area.height !== height || this.ratio !== ratio) {
      this.cutStrips(width, height, ratio);
      area.width = width;
      area.height = height;
      this.ratio = ratio;
      area.left = NaN;
      damage.all = true;
    }
    // A view that has left the canvas gets it back: below the view when
    // it went down, so that it can go on down, and above it when it went
    // up.
    if (!(view.left === area.left) || view.top < area.top || view.top + view.height > area.top + area.height) {
      const top = view.top < area.top ? Math.max(0, view.top + view.height - area.height) : view.top;
      area.left = view.left;
      area.top = top;
      for (const strip of this.strips) strip.canvas.style.transform = `translate(${area.left + strip.x}px, ${area.top}px)`;
      damage.all = true;
    }
    const moved = this.paintedView === null || this.paintedView.left !== view.left || this.paintedView.top !== view.top;
    this.paintedView = { left: view.left, top: view.top };
    // The pane's own caret and selection are painted with the whole view.
    if (document.activeElement === this.element || this.hasSelection()) damage.all = true;
    if (!this.colours) {
      const style = getComputedStyle(this.element);
      const background = style.backgroundColor === 'rgba(0, 0, 0, 0)' ? '#fff' : style.backgroundColor;
      this.colours = { background, text: style.color };
    }
    const all = this.window(area);
    if (damage.all || damage.columns.length !== 0 || moved) this.refreshReaderSoon(damage.all || moved, damage.columns);
    const painted = this.painted;
    if (damage.all || !painted || painted.firstRow !== all.firstRow || painted.firstColumn !== all.firstColumn ||
        painted.columns !== all.columns) {
      this.paintWhole(all);
      this.paintedMark = this.mark;
      return;
    }
    for (const { first, count } of damage.columns) {
      const firstColumn = Math.max(first, all.firstColumn);
      const end = Math.min(first + count, all.firstColumn + all.columns);
      if (firstColumn < end) this.paintChangedCells(all, firstColumn, end);
    }
    const sameCell = (a, b) => a === b || (a && b && a.row === b.row && a.column === b.column);
    if (!sameCell(this.mark, this.paintedMark)) {
      // The cell the mark left may lie below the layout's rows now: it is
      // painted again as the canvas has it, blank there.
      const marks = [this.paintedMark, this.mark].filter((cell) => cell && cell.row >= painted.firstRow &&
        cell.row < painted.firstRow + painted.rows && cell.column >= painted.firstColumn &&
        cell.column < painted.firstColumn + painted.columns);
      this.repaintCells(marks.map(({ row, column }) => ({ row, column,
        cell: painted.cells[(row - painted.firstRow) * painted.columns + column - painted.firstColumn] })));
      this.paintedMark = this.mark;
    }
  }

  // Cuts a canvas of `width` × `height` CSS pixels into strips.
  cutStrips(width, height, ratio) {
    const count = Math.max(1, Math.ceil(width / STRIP_WIDTH));
    while (this.strips.length > count) this.strips.pop().canvas.remove();
    while (this.strips.length < count) {
      const canvas = this.strips[0].canvas.cloneNode(false);
      this.sizer.append(canvas);
      this.strips.push(Object.assign(new CanvasStrip(canvas), { x: 0, width: 0 }));
    }
    this.strips.forEach((strip, i) => {
      strip.x = i * STRIP_WIDTH;
      strip.width = Math.min(STRIP_WIDTH, width - strip.x);
      strip.resize(Math.round(strip.width * ratio), Math.round(height * ratio));
      strip.canvas.style.width = `${strip.width}px`;
      strip.canvas.style.height = `${height}px`;
      const g = strip.context;
      g.font = this.font;
      g.textAlign = 'center';
      g.textBaseline = 'middle';
    });
  }

  // Calls draw(g, from, to) for each strip that the pixels [x0, x1) of
  // the canvas reach, with the columns of [firstColumn, endColumn) that
  // reach the strip; `g` draws in the canvas's pixels.
  eachStrip(x0, x1, firstColumn, endColumn, draw) {
    const left = this.columnsLeft - this.area.left;
    for (const strip of this.strips) {
      if (strip.x >= x1 || strip.x + strip.width <= x0) continue;
      const from = Math.max(firstColumn, Math.floor((strip.x - left) / this.cellWidth));
      const to = Math.min(endColumn, Math.ceil((strip.x + strip.width - left) / this.cellWidth));
      const g = strip.painter();
      g.setTransform(this.ratio, 0, 0, this.ratio, -strip.x * this.ratio, 0);
      draw(g, from, to);
    }
  }

  // The rows and columns of the layout in a rectangle of the pane's
  // scrolled coordinates: the view, or the canvas's area.
  window({ width, height, left, top }) {
    const firstColumn = Math.max(0, Math.floor((left - this.columnsLeft) / this.cellWidth));
    const firstRow = Math.max(0, Math.floor((top - PADDING) / this.cellHeight));
    return {
      firstRow,
      rows: Math.max(0, Math.min(this.rows - firstRow, Math.ceil(height / this.cellHeight) + 1)),
      firstColumn,
      columns: Math.max(0, Math.min(this.columns - firstColumn, Math.ceil(width / this.cellWidth) + 1)),
    };
  }

  // The text of the cells of `area` (a window()), row by row.
  cellsOf({ firstRow, rows, firstColumn, columns }) {
    return rows === 0 || columns === 0 ? [] : parseCells(this.page.cells(firstRow, rows, firstColumn, columns));
  }

  // Paints the whole canvas, `all` its window(): the background, the cells
  // and the pane's own caret; and keeps the cells as painted.
  paintWhole(all) {
    const { firstRow, rows, firstColumn, columns } = all;
    const cells = this.cellsOf(all);
    const canvasRows = Math.ceil(this.area.height / this.cellHeight) + 1;
    this.painted = { firstRow, firstColumn, columns, rows: canvasRows,
      cells: new Array(canvasRows * columns).fill('') };
    for (let i = 0; i < cells.length; ++i) this.painted.cells[i] = cells[i];
    const { background, text } = this.colours;
    const left = this.columnsLeft - this.area.left;
    const top = PADDING - this.area.top;
    const selection = this.selection();
    this.eachStrip(0, this.area.width, firstColumn, firstColumn + columns, (g, from, to) => {
      g.fillStyle = background;
      g.fillRect(0, 0, this.area.width, this.area.height);
      for (let r = 0; r < rows; ++r) {
        const row = firstRow + r;
        const y = top + row * this.cellHeight;
        for (let column = from; column < to; ++column) {
          const x = left + column * this.cellWidth;
          this.drawCell(g, row, column, cells[r * columns + column - firstColumn], x, y, selection);
        }
      }
    });
    if (document.activeElement !== this.element) return;
    const x = left + this.caret.column * this.cellWidth - 1;
    this.eachStrip(x, x + 2, 0, 0, (g) => {
      g.fillStyle = text;
      g.fillRect(x, top + this.caret.row * this.cellHeight, 2, this.cellHeight);
    });
  }

  // Paints again the cells of columns [from, to) of `all` (the canvas's
  // window()) whose text differs from what the canvas shows: a keystroke
  // changes a column from the caret down, or only the cell it typed at the
  // end of a line. Rows that the layout no longer has are painted blank.
  paintChangedCells(all, from, to) {
    const painted = this.painted;
    const count = to - from;
    const cells = this.cellsOf({ ...all, firstColumn: from, columns: count });
    const changed = [];
    for (let r = 0; r < painted.rows; ++r) {
      for (let column = from; column < to; ++column) {
        const cell = r < all.rows ? cells[r * count + column - from] : '';
        const i = r * painted.columns + column - painted.firstColumn;
        if (painted.cells[i] === cell) continue;
        painted.cells[i] = cell;
        changed.push({ row: all.firstRow + r, column, cell });
      }
    }
    this.repaintCells(changed);
  }

  // Paints each of `cells` ({row, column, cell: its text}) over what was
  // there, its background included.
  repaintCells(cells) {
    if (cells.length === 0) return;
    const { background } = this.colours;
    const left = this.columnsLeft - this.area.left;
    const top = PADDING - this.area.top;
    const from = Math.min(...cells.map(({ column }) => column));
    const to = Math.max(...cells.map(({ column }) => column)) + 1;
    const x0 = left + from * this.cellWidth;
    const selection = this.selection();
    this.eachStrip(x0, x0 + (to - from) * this.cellWidth, from, to, (g, first, end) => {
      for (const { row, column, cell } of cells) {
        if (column < first || column >= end) continue;
        const x = left + column * this.cellWidth;
        const y = top + row * this.cellHeight;
        g.fillStyle = background;
        g.fillRect(x, y, this.cellWidth, this.cellHeight);
        this.drawCell(g, row, column, cell, x, y, selection);
      }
    });
  }

  // The selection as drawCell() takes it.
  selection() {
    const [start, end] = before(this.caret, this.anchor) ? [this.caret, this.anchor] : [this.anchor, this.caret];
    return { selecting: this.hasSelection(), start, end };
  }

  // Draws `cell` at (`row`, `column`), its top left at (x, y), over a
  // background already painted: its highlight when it is selected or
  // marked, and its glyph.
  drawCell(g, row, column, cell, x, y, { selecting, start, end }) {
    const mark = this.mark;
    const isSelected = selecting && !before({ row, column }, start) && before({ row, column }, end);
    const isMarked = mark !== null && mark.row === row && mark.column === column;
    if (isSelected || isMarked) {
      g.fillStyle = isSelected ? 'Highlight' : '#fff3b0';
      g.fillRect(x, y, this.cellWidth, this.cellHeight);
    }
    if (cell === '' || cell === '\u3000') return;
    // The marked cell's light yellow takes dark text in a dark scheme too.
    g.fillStyle = isSelected ? 'HighlightText' : isMarked ? '#000' : this.colours.text;
    if (this.vertical) this.glyphs.draw(g, cell, x + this.cellWidth / 2, y + this.cellHeight / 2);
    else g.fillText(cell, x + this.cellWidth / 2, y + this.cellHeight / 2);
  }

  // The columns in view as text, for assistive technology (see
  // column-reader.mjs), set once the changes pause for READER_PAUSE_MS: a
  // listener reads them after typing, and setting them at every keystroke
  // would lay them out again each time, in a frame of its own after the
  // keystroke's that keeps the compositor ticking for the next keystroke.
  // Until then the reader is marked busy (aria-busy), as assistive
  // technology expects of content that is being changed.
  // A change that moved nothing in view gives it only the columns it
  // changed (`all` when others may differ too).
  refreshReaderSoon(all, columns) {
    this.readerChanged = performance.now();
    if (this.readerDamage) {
      this.readerDamage.all ||= all;
      this.readerDamage.columns.push(...columns);
      return;
    }
    this.readerDamage = { all, columns: [...columns] };
    this.reader.setAttribute('aria-busy', 'true');
    this.refreshReaderAfterPause();
  }

  // One timer for a run of changes rather than one set again at each:
  // when it fires before the pause is whole, it waits for the rest.
  refreshReaderAfterPause() {
    const wait = this.readerChanged + READER_PAUSE_MS - performance.now();
    if (wait > 0) {
      setTimeout(() => this.refreshReaderAfterPause(), wait);
      return;
    }
    const damage = this.readerDamage;
    this.readerDamage = null;
    this.reader.removeAttribute('aria-busy');
    const inView = this.window(this.view);
    const last = this.readerWindow;
    this.readerWindow = inView;
    if (damage.all || !last || last.firstRow !== inView.firstRow || last.firstColumn !== inView.firstColumn ||
        last.columns !== inView.columns) {
      fillReader(this.reader, readingColumns(this.cellsOf(inView), inView.rows, inView.columns), inView.rows);
      return;
    }
    // Rows added or taken at the bottom change only the padding of the
    // columns that no edit changed, which the reader leaves out. Its items
    // run right to left: the last column in view is its first.
    this.reader.dataset.rows = String(inView.rows);
    const end = inView.firstColumn + inView.columns;
    for (const { first, count } of damage.columns) {
      const from = Math.max(first, inView.firstColumn);
      const to = Math.min(first + count, end);
      if (from >= to) continue;
      const part = { ...inView, firstColumn: from, columns: to - from };
      readingColumns(this.cellsOf(part), inView.rows, to - from)
        .forEach((text, i) => setReaderItem(this.reader, end - to + i, text));
    }
  }

  positionAt(clientX, clientY) {
    const box = this.element.getBoundingClientRect();
    const x = clientX - box.left + this.element.scrollLeft - this.columnsLeft;
    const y = clientY - box.top + this.element.scrollTop - PADDING;
    return {
      row: Math.min(Math.max(Math.floor(y / this.cellHeight), 0), Math.max(this.rows - 1, 0)),
      column: Math.min(Math.max(Math.round(x / this.cellWidth), 0), this.columns),
    };
  }

  moveCaret(position, extend) {
    this.caret = position;
    if (!extend) this.anchor = position;
    this.redraw();
  }

  listen() {
    const element = this.element;
    let dragging = false;
    let pressTimer = 0;
    element.addEventListener('pointerdown', (event) => {
      if (event.button !== 0) return;
      const position = this.positionAt(event.clientX, event.clientY);
      if (event.pointerType === 'touch') {
        // A long press starts a selection there; later taps extend it.
        pressTimer = setTimeout(() => {
          this.touchExtends = true;
          this.moveCaret(position, false);
        }, 500);
        return;
      }
      element.focus();
      dragging = true;
      element.setPointerCapture(event.pointerId);
      this.moveCaret(position, event.shiftKey);
    });
    element.addEventListener('pointermove', (event) => {
      if (event.pointerType === 'touch') clearTimeout(pressTimer);
      if (dragging) this.moveCaret(this.positionAt(event.clientX, event.clientY), true);
    });
    element.addEventListener('pointerup', (event) => {
      dragging = false;
      if (event.pointerType !== 'touch') return;
      clearTimeout(pressTimer);
      this.moveCaret(this.positionAt(event.clientX, event.clientY), this.touchExtends);
    });
    element.addEventListener('contextmenu', (event) => {
      if (event.pointerType === 'touch' || this.touchExtends) event.preventDefault();
    });
    element.addEventListener('focus', () => this.redraw());
    element.addEventListener('blur', () => this.redraw());
    element.addEventListener('keydown', (event) => this.onKey(event));
    document.addEventListener('copy', (event) => {
      if (document.activeElement !== element || !this.hasSelection()) return;
      event.clipboardData.setData('text/plain', this.selectedText());
      event.preventDefault();
    });
  }

  onKey(event) {
    const control = event.ctrlKey || event.metaKey;
    if (control && event.key.toLowerCase() === 'a') {
      this.selectAll();
      event.preventDefault();
      return;
    }
    const { row, column } = this.caret;
    const lastRow = Math.max(this.rows - 1, 0);
    const page = Math.max(1, Math.floor(this.element.clientHeight / this.cellHeight) - 1);
    const moves = {
      ArrowLeft: () => (column > 0 ? { row, column: column - 1 } : row > 0 ? { row: row - 1, column: this.columns } : this.caret),
      ArrowRight: () => (column < this.columns ? { row, column: column + 1 } : row < lastRow ? { row: row + 1, column: 0 } : this.caret),
      ArrowUp: () => ({ row: Math.max(row - 1, 0), column }),
      ArrowDown: () => ({ row: Math.min(row + 1, lastRow), column }),
      PageUp: () => ({ row: Math.max(row - page, 0), column }),
      PageDown: () => ({ row: Math.min(row + page, lastRow), column }),
      Home: () => (control ? { row: 0, column: 0 } : { row, column: 0 }),
      End: () => (control ? { row: lastRow, column: this.columns } : { row, column: this.columns }),
    };
    const move = moves[event.key];
    if (!move) return;
    event.preventDefault();
    this.touchExtends = false;
    const position = move();
    this.moveCaret(position, event.shiftKey);
    this.markCell(null);
    this.scrollTo(position);
  }

  scrollTo(position) {
    const saved = this.mark;
    this.markCell({ row: position.row, column: Math.min(position.column, Math.max(this.columns - 1, 0)) });
    this.mark = saved;
  }
}
