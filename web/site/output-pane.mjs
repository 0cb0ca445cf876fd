// The output pane: the layout drawn on a canvas straight from the engine,
// only the cells in view, each glyph centred in its cell of a fixed grid.
// Like the desktop's pane it stands for the layout's rows joined by line
// breaks: it has a caret and a selection in that text (mouse, touch, keys),
// copies it, marks the input caret's cell, and gives assistive technology
// the rows in view as text.
const FONT_SIZE = 16;
const LINE_HEIGHT = 20;
const PADDING = 4;

function parseCells(units) {
  const cells = [];
  for (let i = 0; i < units.length;) {
    const length = units[i++];
    cells.push(length === 0 ? '' : String.fromCharCode(...units.subarray(i, i + length)));
    i += length;
  }
  return cells;
}

const before = (a, b) => a.row < b.row || (a.row === b.row && a.column < b.column);

export class OutputPane {
  constructor(element, page) {
    this.element = element;
    this.page = page;
    this.sizer = element.querySelector('.sizer');
    this.canvas = element.querySelector('.cells');
    this.messageBox = element.querySelector('.message');
    this.reader = element.querySelector('.reader');
    this.context = this.canvas.getContext('2d', { alpha: false });
    this.rows = 0;
    this.columns = 0;
    this.mark = null;
    this.caret = { row: 0, column: 0 };
    this.anchor = { row: 0, column: 0 };
    this.touchExtends = false;
    this.font = `${FONT_SIZE}px ${getComputedStyle(document.documentElement).getPropertyValue('--pane-font')}`;
    this.context.font = this.font;
    this.cellWidth = Math.max(FONT_SIZE, Math.ceil(this.context.measureText('\u3042').width));
    this.cellHeight = LINE_HEIGHT;
    this.drawPending = false;
    element.addEventListener('scroll', () => this.draw());
    new ResizeObserver(() => this.draw()).observe(element);
    this.listen();
  }

  // Shows a layout of `rows` × `columns` cells (the engine holds it); the
  // caret and the selection stay where the new layout still has them.
  show(rows, columns, message = '') {
    this.rows = rows;
    this.columns = columns;
    this.messageBox.hidden = message === '';
    this.messageBox.textContent = message;
    this.sizer.style.width = `${columns * this.cellWidth + 2 * PADDING}px`;
    this.sizer.style.height = `${rows * this.cellHeight + 2 * PADDING}px`;
    const clamp = (p) => ({ row: Math.min(p.row, Math.max(rows - 1, 0)), column: Math.min(p.column, columns) });
    this.caret = clamp(this.caret);
    this.anchor = clamp(this.anchor);
    this.mark = null;
    this.draw();
  }

  // Marks `cell` ({row, column} or null) and scrolls just enough to show it.
  markCell(cell) {
    this.mark = cell;
    if (cell) {
      const x = PADDING + cell.column * this.cellWidth;
      const y = PADDING + cell.row * this.cellHeight;
      const { clientWidth: w, clientHeight: h } = this.element;
      if (x < this.element.scrollLeft) this.element.scrollLeft = x - PADDING;
      else if (x + this.cellWidth > this.element.scrollLeft + w) this.element.scrollLeft = x + this.cellWidth + PADDING - w;
      if (y < this.element.scrollTop) this.element.scrollTop = y - PADDING;
      else if (y + this.cellHeight > this.element.scrollTop + h) this.element.scrollTop = y + this.cellHeight + PADDING - h;
    }
    this.draw();
  }

  hasSelection() {
    return this.caret.row !== this.anchor.row || this.caret.column !== this.anchor.column;
  }

  // The selected text: whole rows joined by CR LF, cut at both ends.
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
    return lines.join('\r\n');
  }

  selectAll() {
    this.anchor = { row: 0, column: 0 };
    this.caret = { row: Math.max(this.rows - 1, 0), column: this.columns };
    this.draw();
  }

  // Draws in the next frame, once however often it is asked.
  draw() {
    if (this.drawPending) return;
    this.drawPending = true;
    requestAnimationFrame(() => {
      this.drawPending = false;
      this.drawNow();
    });
  }

  drawNow() {
    const { clientWidth: width, clientHeight: height, scrollLeft, scrollTop } = this.element;
    const ratio = window.devicePixelRatio || 1;
    if (this.canvas.width !== Math.round(width * ratio) || this.canvas.height !== Math.round(height * ratio)) {
      this.canvas.width = Math.round(width * ratio);
      this.canvas.height = Math.round(height * ratio);
      this.canvas.style.width = `${width}px`;
      this.canvas.style.height = `${height}px`;
    }
    const g = this.context;
    const style = getComputedStyle(this.element);
    g.setTransform(ratio, 0, 0, ratio, 0, 0);
    g.fillStyle = style.backgroundColor === 'rgba(0, 0, 0, 0)' ? '#fff' : style.backgroundColor;
    g.fillRect(0, 0, width, height);
    if (this.rows === 0) {
      this.reader.textContent = '';
      return;
    }
    const firstColumn = Math.max(0, Math.floor((scrollLeft - PADDING) / this.cellWidth));
    const firstRow = Math.max(0, Math.floor((scrollTop - PADDING) / this.cellHeight));
    const columns = Math.min(this.columns - firstColumn, Math.ceil(width / this.cellWidth) + 1);
    const rows = Math.min(this.rows - firstRow, Math.ceil(height / this.cellHeight) + 1);
    const cells = parseCells(this.page.cells(firstRow, rows, firstColumn, columns));
    const left = PADDING - scrollLeft;
    const top = PADDING - scrollTop;
    const [from, to] = before(this.caret, this.anchor) ? [this.caret, this.anchor] : [this.anchor, this.caret];
    const selected = (row, column) => this.hasSelection() && !before({ row, column }, from) && before({ row, column }, to);
    if (this.mark) {
      g.fillStyle = '#fff3b0';
      g.fillRect(left + this.mark.column * this.cellWidth, top + this.mark.row * this.cellHeight, this.cellWidth, this.cellHeight);
    }
    g.font = this.font;
    g.textAlign = 'center';
    g.textBaseline = 'middle';
    const text = style.color;
    const lines = [];
    for (let r = 0; r < rows; ++r) {
      const row = firstRow + r;
      const y = top + row * this.cellHeight;
      lines.push(cells.slice(r * columns, (r + 1) * columns).join(''));
      for (let c = 0; c < columns; ++c) {
        const column = firstColumn + c;
        const x = left + column * this.cellWidth;
        const isSelected = selected(row, column);
        if (isSelected) {
          g.fillStyle = 'Highlight';
          g.fillRect(x, y, this.cellWidth, this.cellHeight);
        }
        const cell = cells[r * columns + c];
        if (cell === '' || cell === '\u3000') continue;
        g.fillStyle = isSelected ? 'HighlightText' : text;
        g.fillText(cell, x + this.cellWidth / 2, y + this.cellHeight / 2);
      }
    }
    if (document.activeElement === this.element) {
      g.fillStyle = text;
      g.fillRect(left + this.caret.column * this.cellWidth - 1, top + this.caret.row * this.cellHeight, 2, this.cellHeight);
    }
    this.reader.textContent = lines.join('\n');
  }

  positionAt(clientX, clientY) {
    const box = this.element.getBoundingClientRect();
    const x = clientX - box.left + this.element.scrollLeft - PADDING;
    const y = clientY - box.top + this.element.scrollTop - PADDING;
    return {
      row: Math.min(Math.max(Math.floor(y / this.cellHeight), 0), Math.max(this.rows - 1, 0)),
      column: Math.min(Math.max(Math.round(x / this.cellWidth), 0), this.columns),
    };
  }

  moveCaret(position, extend) {
    this.caret = position;
    if (!extend) this.anchor = position;
    this.draw();
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
    element.addEventListener('focus', () => this.draw());
    element.addEventListener('blur', () => this.draw());
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
