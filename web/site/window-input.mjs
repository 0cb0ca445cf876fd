// The input pane's editor for long texts: the plain text area of short
// texts (plain-input.mjs), holding only the lines around the caret, its
// window, so that a keystroke in a long text costs what it costs in a
// short one. The text before and after the window is kept as it is;
// blocks above and below the text area stand for its height, so that the
// scroll bar stands for the whole text.
//
// The window moves when the caret comes near one of its edges, or the
// view is scrolled past one. A selection too long for the text area, and
// a caret that the view was scrolled away from, are held apart from it:
// the text area shows what part of the selection it has, and the next key
// acts on the held selection (copy, cut, typing over it) or brings the
// caret back into a window of its own.
import { adoptStyle } from './dom.mjs';
import { isModifier, lineBreaks, MOVING_KEYS, PlainInput } from './plain-input.mjs';

const STYLE = `
.window { box-sizing: border-box; height: 100%; overflow: auto; }
.window > textarea { height: auto; min-height: 100%; field-sizing: content; overflow: hidden; }
.window.held > textarea { caret-color: transparent; }
.window > textarea.ruler { position: absolute; visibility: hidden; height: 0; min-height: 0; field-sizing: fixed; }`;

// Lines kept on each side of the selection, while they are within so
// many characters of it: the view's lines many times over.
const SIDE_LINES = 35;
const SIDE_CHARS = 2500;
// The window moves when the caret comes within so many lines (and a third
// of the characters) of an edge that is not the text's.
const EDGE_LINES = 15;
// A longer selection is held rather than put into the text area.
const LONGEST_SELECTION = 50000;

// The start of the line `lines` lines above the one `at` is in, or of the
// first line that starts `chars` characters before `at` or more.
export function lineStartAbove(text, at, lines, chars) {
  let start = text.lastIndexOf('\n', at - 1) + 1;
  for (let i = 0; i < lines && start > 0 && at - start < chars; ++i) {
    start = start <= 1 ? 0 : text.lastIndexOf('\n', start - 2) + 1;
  }
  return start;
}

// The end (before its line break) of the line `lines` lines below the one
// `at` is in, or of the first that ends `chars` characters after `at` or
// more.
export function lineEndBelow(text, at, lines, chars) {
  let end = text.indexOf('\n', at);
  for (let i = 0; i < lines && end !== -1 && end - at < chars; ++i) end = text.indexOf('\n', end + 1);
  return end === -1 ? text.length : end;
}

const isNarrow = (code) => code < 0x1100 || (code >= 0xff61 && code <= 0xff9f);

// The rows that the lines of `text` take in rows `rowEms` ems wide (a
// narrow character half an em), counted up to the line that would pass
// `rows` rows: {rows, at}, the rows before that line and where it starts.
export function rowsOfLines(text, rowEms, rows = Infinity) {
  let counted = 0;
  let width = 0;
  let lineStart = 0;
  for (let i = 0; i <= text.length; ++i) {
    const code = i < text.length ? text.charCodeAt(i) : 10;
    if (code !== 10) {
      width += isNarrow(code) ? 0.5 : 1;
      continue;
    }
    const lineRows = Math.max(1, Math.ceil(width / rowEms));
    if (counted + lineRows > rows) break;
    counted += lineRows;
    width = 0;
    lineStart = i + 1;
  }
  return { rows: counted, at: Math.min(lineStart, text.length) };
}

// The rows of the lines of `text` before a window of [start, end) and
// after it, in rows `rowEms` wide: {above, below}. The line breaks at the
// window's edges are the blocks' own. With `from` ({start, end, above,
// below}: where a window of the same text was and its rows), only the lines
// between the two are counted.
export function rowsOutside(text, rowEms, start, end, from = null) {
  // The rows of the lines of [a, b) (an empty line when a is b, none when
  // a is past b).
  const count = (a, b) => (a <= b ? rowsOfLines(text.slice(a, b), rowEms).rows : 0);
  if (!from) return { above: count(0, start - 1), below: count(end + 1, text.length) };
  return { above: from.above + count(from.start, start - 1) - count(start, from.start - 1),
    below: from.below - count(from.end + 1, end) + count(end + 1, from.end) };
}

const TOWARD_START = /^(ArrowLeft|ArrowUp|Home|PageUp)$/;

export class WindowInput extends PlainInput {
  constructor(root, options, pane, text, selection) {
    super(root, options, pane, '', { anchor: 0, head: 0 });
    adoptStyle(root, STYLE);
    this.scroller = document.createElement('div');
    this.scroller.className = 'window';
    this.above = document.createElement('div');
    this.below = document.createElement('div');
    // Measures rows of the window's text, which the text area cannot tell.
    this.ruler = document.createElement('textarea');
    Object.assign(this.ruler, { className: 'ruler', disabled: true });
    this.ruler.setAttribute('aria-hidden', 'true');
    this.scroller.append(this.above, this.area, this.below, this.ruler);
    root.append(this.scroller);
    // The text area grows with its text, so that the box around it scrolls
    // the window's lines between the blocks. Where the browser cannot size
    // it to its content (no `field-sizing`), it is given its text's height
    // after every change.
    this.sizesItself = getComputedStyle(this.area).fieldSizing === 'content';
    // The text area is what focusing the pane focuses (the shadow root
    // delegates focus to it), and what a click on the blocks focuses, not
    // the box that scrolls it.
    this.area.autofocus = true;
    this.scroller.addEventListener('focus', () => this.area.focus({ preventScroll: true }));
    this.held = null;
    this.followPending = false;
    this.frame(selection, text);
    this.select(selection);
    this.catchHeld();
    this.scroller.addEventListener('scroll', () => {
      if (this.followPending) return;
      this.followPending = true;
      requestAnimationFrame(() => {
        this.followPending = false;
        this.followView();
      });
    });
  }

  // The selection's ends, in order.
  static span({ anchor, head }) {
    return [Math.min(anchor, head), Math.max(anchor, head)];
  }

  // Makes the text area hold the lines around `selection` of `text`, or of
  // the text it is part of now.
  frame(selection, text = null) {
    const [from, to] = WindowInput.span(selection);
    const { lineHeight, rowEms } = this.metrics();
    // The rows outside the window, which the blocks stand for, are counted
    // from where the window was, when the text outside it is the same (its
    // edits are made inside it).
    const same = text === null && this.rows?.rowEms === rowEms;
    const was = { start: this.ahead.length, end: this.ahead.length + this.value.length, ...this.rows };
    text ??= this.text();
    const start = lineStartAbove(text, from, SIDE_LINES, SIDE_CHARS);
    const end = lineEndBelow(text, to, SIDE_LINES, SIDE_CHARS);
    this.rows = { rowEms, ...rowsOutside(text, rowEms, start, end, same ? was : null) };
    this.ahead = text.slice(0, start);
    this.behind = text.slice(end);
    this.breaksAhead = lineBreaks(this.ahead);
    this.value = text.slice(start, end);
    this.area.value = this.value;
    this.showPlaceholder();
    this.fitArea();
    this.above.style.height = `${this.rows.above * lineHeight}px`;
    this.below.style.height = `${this.rows.below * lineHeight}px`;
  }

  // Makes the text area as tall as its text, where it does not grow by
  // itself; never shorter than the view (its minimum height). The ruler
  // measures the text: shrinking the text area to measure it would pull
  // the view's scroll back with it.
  fitArea() {
    if (this.sizesItself) return;
    const { area, ruler } = this;
    ruler.style.width = `${area.offsetWidth}px`;
    ruler.value = this.value;
    area.style.height = `${ruler.scrollHeight}px`;
    ruler.value = '';
  }

  inputted() {
    super.inputted();
    this.fitArea();
  }

  metrics() {
    const style = getComputedStyle(this.area);
    const lineHeight = parseFloat(style.lineHeight);
    const padding = parseFloat(style.paddingLeft) + parseFloat(style.paddingRight);
    return { lineHeight, rowEms: Math.max(1, (this.area.clientWidth - padding) / parseFloat(style.fontSize)) };
  }

  // Whether the text area holds [from, to] of the whole text.
  holds(from, to) {
    return from >= this.ahead.length && to <= this.ahead.length + this.value.length;
  }

  // The top of the row of `at` (a position the text area holds) in the
  // scrolled content, in pixels: the height of the window's text up to it.
  rowTop(at) {
    const { ruler, area } = this;
    ruler.style.width = `${area.offsetWidth}px`;
    ruler.value = this.value.slice(0, at - this.ahead.length);
    const style = getComputedStyle(area);
    const bottom = ruler.scrollHeight - parseFloat(style.paddingBottom);
    ruler.value = '';
    return this.above.offsetHeight + bottom - parseFloat(style.lineHeight);
  }

  // Moves the window to the lines around `selection`, which the text area
  // holds, keeping the row of `keep` (a position in it) where it is in the
  // view.
  move(selection, keep) {
    const shown = this.rowTop(keep) - this.scroller.scrollTop;
    this.frame(selection);
    super.select(selection);
    this.scroller.scrollTop = this.rowTop(keep) - shown;
  }

  // Holds `selection` apart from the text area, which shows the part of
  // it that it has.
  hold(selection) {
    this.held = selection;
    this.showHeld();
  }

  showHeld() {
    const [from, to] = WindowInput.span(this.held).map((at) => Math.min(Math.max(at - this.ahead.length, 0), this.value.length));
    this.area.setSelectionRange(from, to);
    this.scroller.classList.add('held');
  }

  release() {
    this.held = null;
    this.scroller.classList.remove('held');
  }

  // Brings a held caret back into a window of its own, shown in the view.
  bringBack() {
    const selection = this.held;
    this.release();
    this.select(selection);
    this.showCaretAt(null);
  }

  // Puts `text` in place of the held selection as a step of undo of its
  // own (a paste, typing over the whole text selected, a cut).
  replaceHeld(inserted) {
    const before = this.held;
    const [from, to] = WindowInput.span(before);
    const old = this.text();
    const text = old.slice(0, from) + inserted + old.slice(to);
    const caret = { anchor: from + inserted.length, head: from + inserted.length };
    this.release();
    this.frame(caret, text);
    super.select(caret);
    this.shown = caret;
    const edit = { from, removed: old.slice(from, to), inserted };
    this.pane.edited(edit, lineBreaks(text, from), { before, after: caret, alone: true });
    this.pane.caretMoved(false);
    this.showCaretAt(null);
  }

  // What the held selection makes of the keys and edits that reach the
  // text area, before the text area's own handling.
  catchHeld() {
    const { scroller, pane } = this;
    const take = (event) => {
      event.preventDefault();
      event.stopImmediatePropagation();
    };
    scroller.addEventListener('keydown', (event) => {
      if (event.isComposing || ['Shift', 'Control', 'Alt', 'Meta'].includes(event.key)) return;
      const key = event.key.toLowerCase();
      if (isModifier(event) && !event.altKey && !event.shiftKey && key === 'a') {
        event.preventDefault();
        this.hold({ anchor: 0, head: this.length() });
        pane.caretMoved(true);
        return;
      }
      // The text area's own start and end are the window's.
      if (isModifier(event) && (event.key === 'Home' || event.key === 'End')) {
        event.preventDefault();
        const head = event.key === 'Home' ? 0 : this.length();
        this.select({ anchor: event.shiftKey ? this.selection().anchor : head, head });
        this.showCaretAt(null, true);
        return;
      }
      // The text area is as tall as the window, which it would page
      // through.
      if ((event.key === 'PageUp' || event.key === 'PageDown') && !isModifier(event) && !event.altKey) {
        event.preventDefault();
        if (this.held && WindowInput.span(this.held)[0] !== WindowInput.span(this.held)[1]) this.release();
        this.page(event.key === 'PageDown' ? 1 : -1, event.shiftKey);
        return;
      }
      if (!this.held || (isModifier(event) && (key === 'c' || key === 'x' || key === 'z' || key === 'y'))) return;
      const [from, to] = WindowInput.span(this.held);
      if (from === to) {
        this.bringBack();
      } else if (MOVING_KEYS.test(event.key)) {
        event.preventDefault();
        const caret = TOWARD_START.test(event.key) ? from : to;
        this.release();
        this.select({ anchor: caret, head: caret });
        this.showCaretAt(null, true);
      }
    }, true);
    scroller.addEventListener('beforeinput', (event) => {
      if (!this.held || event.inputType === 'historyUndo' || event.inputType === 'historyRedo') return;
      take(event);
      const [from, to] = WindowInput.span(this.held);
      const inserted = event.data ?? event.dataTransfer?.getData('text/plain') ?? '';
      if (from !== to) {
        this.replaceHeld(inserted.replace(/\r\n?/g, '\n'));
        return;
      }
      this.bringBack();
      if (inserted) this.insert(inserted, event.inputType !== 'insertText');
    }, true);
    scroller.addEventListener('compositionstart', () => {
      if (!this.held) return;
      const [from, to] = WindowInput.span(this.held);
      if (from !== to) this.replaceHeld('');
      else this.bringBack();
    }, true);
    for (const type of ['copy', 'cut']) {
      scroller.addEventListener(type, (event) => {
        if (!this.held) return;
        const [from, to] = WindowInput.span(this.held);
        take(event);
        if (from === to) return;
        event.clipboardData.setData('text/plain', this.text().slice(from, to));
        if (type === 'cut') this.replaceHeld('');
      }, true);
    }
    // A click puts the caret where it says.
    this.area.addEventListener('pointerdown', () => this.release(), true);
  }

  // Moves the caret a view's rows down (`direction` 1) or up (-1), in its
  // column where the line it comes to is long enough, and the view with it;
  // `extend`: the selection's anchor stays.
  page(direction, extend) {
    const { scroller } = this;
    const { lineHeight, rowEms } = this.metrics();
    const rows = Math.max(1, Math.floor(scroller.clientHeight / lineHeight) - 1);
    const text = this.text();
    const { anchor, head } = this.selection();
    const lineStart = text.lastIndexOf('\n', head - 1) + 1;
    let start = lineStart;
    if (direction > 0) {
      start += rowsOfLines(text.slice(lineStart), rowEms, rows).at;
    } else {
      for (let passed = 0; start > 0 && passed < rows;) {
        const above = start <= 1 ? 0 : text.lastIndexOf('\n', start - 2) + 1;
        passed += rowsOfLines(text.slice(above, start - 1), rowEms).rows;
        start = above;
      }
    }
    const end = text.indexOf('\n', start);
    const caret = Math.min(start + head - lineStart, end === -1 ? text.length : end);
    const top = scroller.scrollTop;
    this.select({ anchor: extend ? anchor : caret, head: caret });
    scroller.scrollTop = top + direction * rows * lineHeight;
    this.showCaretAt(null, true);
  }

  // The caret moved in the text area: the window moves when it comes near
  // an edge, and stays as small as its lines once a long selection ends.
  selectionSettled() {
    if (this.held || this.composing) return;
    const { anchor, head } = this.selection();
    const [from, to] = WindowInput.span({ anchor, head });
    if (this.nearEdge(from, to) || this.value.length > (to - from) + 4 * SIDE_CHARS) this.move({ anchor, head }, head);
  }

  // Whether [from, to], which the text area holds, comes near one of the
  // window's edges that is not the text's.
  nearEdge(from, to) {
    const [start, end] = [from - this.ahead.length, to - this.ahead.length];
    return (this.ahead && lineBreaks(this.value, start) < EDGE_LINES && start < SIDE_CHARS / 3) ||
      (this.behind && lineBreaks(this.value.slice(end)) < EDGE_LINES && this.value.length - end < SIDE_CHARS / 3);
  }

  // The view was scrolled: the window moves to the lines in view when the
  // view comes within a quarter of its height of one of its edges; a caret it
  // leaves behind, or near its edge, is held (where the caret would move
  // the window away from the view).
  followView() {
    if (this.composing) return;
    const { scroller, area } = this;
    const [top, height] = [scroller.scrollTop, scroller.clientHeight];
    const areaTop = this.above.offsetHeight;
    const areaBottom = areaTop + area.offsetHeight;
    if (!(this.ahead && top < areaTop + height / 4) && !(this.behind && top + height > areaBottom - height / 4)) return;
    const { lineHeight, rowEms } = this.metrics();
    const middle = top + height / 2;
    // The line in the middle of the view, and where its row is.
    let at;
    let rowAt;
    if (middle < areaTop) {
      const found = rowsOfLines(this.ahead.slice(0, -1), rowEms, middle / lineHeight);
      at = found.at;
      rowAt = found.rows * lineHeight;
    } else if (middle >= areaBottom) {
      const found = rowsOfLines(this.behind.slice(1), rowEms, (middle - areaBottom) / lineHeight);
      at = this.ahead.length + this.value.length + 1 + found.at;
      rowAt = areaBottom + found.rows * lineHeight;
    } else {
      at = this.ahead.length + rowsOfLines(this.value, rowEms, (middle - areaTop) / lineHeight).at;
      rowAt = this.rowTop(at);
    }
    const shown = rowAt - top;
    const selection = this.selection();
    this.frame({ anchor: at, head: at });
    const [from, to] = WindowInput.span(selection);
    if (this.holds(from, to) && !this.nearEdge(from, to)) {
      this.release();
      super.select(selection);
    } else {
      this.hold(selection);
    }
    scroller.scrollTop = this.rowTop(at) - shown;
  }

  selection() {
    return this.held ?? super.selection();
  }

  // Selects `selection`, moving the window to it when the text area does
  // not hold it.
  select(selection) {
    // (The text area's own constructor selects before the window is made.)
    if (!this.scroller) {
      super.select(selection);
      return;
    }
    this.release();
    const [from, to] = WindowInput.span(selection);
    if (to - from > LONGEST_SELECTION) {
      if (!this.holds(selection.head, selection.head)) this.frame({ anchor: selection.head, head: selection.head });
      this.hold(selection);
      this.selectionChanged();
      return;
    }
    if (!this.holds(from, to)) this.frame(selection);
    super.select(selection);
  }

  // Typing over a held selection replaces it; a held caret comes back first.
  insert(text, alone) {
    if (this.held) {
      const [from, to] = WindowInput.span(this.held);
      if (from !== to) {
        this.replaceHeld(text);
        return;
      }
      this.bringBack();
    }
    super.insert(text, alone);
  }

  // An edit of the program's own (undo, redo, a whole new text) that the
  // window holds and that adds a few lines is made in the text area; any
  // other makes the window anew, around the edit's end.
  apply(edit) {
    const to = edit.from + edit.removed.length;
    if (this.holds(edit.from, to) && edit.inserted.length < SIDE_CHARS) {
      super.apply(edit);
      this.fitArea();
      return;
    }
    const old = this.text();
    const text = old.slice(0, edit.from) + edit.inserted + old.slice(to);
    const end = edit.from + edit.inserted.length;
    this.release();
    this.frame({ anchor: end, head: end }, text);
    this.pane.edited(edit, lineBreaks(text, edit.from), {});
  }

  caretTop() {
    const { head } = this.selection();
    if (!this.holds(head, head)) return null;
    return this.rowTop(head) - this.scroller.scrollTop;
  }

  // Scrolls so that the caret's row starts `top` pixels below the top of
  // the view (null: in the middle); `ifHidden`: only when it is out of
  // view.
  showCaretAt(top, ifHidden = false) {
    const { scroller } = this;
    const { head } = this.selection();
    if (!this.holds(head, head)) this.select(this.selection());
    const rowTop = this.rowTop(head);
    const { lineHeight } = this.metrics();
    const hidden = rowTop < scroller.scrollTop || rowTop + lineHeight > scroller.scrollTop + scroller.clientHeight;
    if (ifHidden && !hidden) return;
    scroller.scrollTop = rowTop - (top ?? (scroller.clientHeight - lineHeight) / 2);
  }

  destroy() {
    super.destroy();
    this.scroller.remove();
  }
}
