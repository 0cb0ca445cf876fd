// The input pane's editor for short texts: a plain text area, which the
// browser edits natively and so with the least work a keystroke. Each
// input event is turned into the one edit that makes the text before it
// the text after it, found between the unchanged start and end of the two
// and placed at the selection it was typed at.
//
// Its undo is the pane's (edit-history.mjs), so that it goes on when the
// pane changes editors; the text area's own never runs.
import { adoptStyle } from './dom.mjs';

const STYLE = `
textarea {
  box-sizing: border-box; display: block; width: 100%; height: 100%; margin: 0; border: 0; resize: none;
  padding: 4px; font: 16px/1.25 var(--pane-font); tab-size: 4; color: inherit; background: inherit;
  caret-color: currentColor; outline: none; overflow-wrap: anywhere;
}
textarea::placeholder { color: GrayText; opacity: 1; }`;

// How many line breaks `text` has in [0, end).
export function lineBreaks(text, end = text.length) {
  let count = 0;
  for (let at = text.indexOf('\n'); at !== -1 && at < end; at = text.indexOf('\n', at + 1)) ++count;
  return count;
}

const isLowSurrogate = (text, at) => (text.charCodeAt(at) & 0xfc00) === 0xdc00;

// The edit that makes `before` into `after`, typed at `selection` ({from,
// to} of `before`, or null): it lies around the selection where the texts
// allow, so that a letter typed beside the same letter is placed where it
// was typed, and it never cuts a character of two UTF-16 units in two.
export function editBetween(before, after, selection) {
  const common = Math.min(before.length, after.length);
  const endLimit = Math.min(common, selection ? before.length - selection.to : common);
  let end = 0;
  while (end < endLimit && before.charCodeAt(before.length - 1 - end) === after.charCodeAt(after.length - 1 - end)) ++end;
  if (end > 0 && isLowSurrogate(before, before.length - end)) --end;
  const startLimit = Math.min(common - end, selection ? selection.from : common);
  let start = 0;
  while (start < startLimit && before.charCodeAt(start) === after.charCodeAt(start)) ++start;
  if (start > 0 && (isLowSurrogate(before, start) || isLowSurrogate(after, start))) --start;
  return { from: start, removed: before.slice(start, before.length - end), inserted: after.slice(start, after.length - end) };
}

export const isModifier = (event) => event.ctrlKey || event.metaKey;
// The keys that move the caret.
export const MOVING_KEYS = /^(Arrow|Home$|End$|Page)/;

export class PlainInput {
  // `pane`: the input pane (input-pane.mjs), told of every edit and key.
  constructor(root, { label, placeholderText }, pane, text, selection) {
    this.pane = pane;
    // The text area may hold a part of a longer text (window-input.mjs):
    // the text before it (`ahead`, with `breaksAhead` line breaks) and
    // after it (`behind`). Positions outside this class are in the whole
    // text.
    this.ahead = '';
    this.breaksAhead = 0;
    this.behind = '';
    this.composing = false;
    this.composed = 0;    // edits of the composition so far
    this.typedAt = null;   // the selection an input event's edit was typed at
    this.escaped = false;  // Esc was the last key: TAB then leaves the pane
    adoptStyle(root, STYLE);
    const area = document.createElement('textarea');
    Object.assign(area, { spellcheck: false, autocomplete: 'off', value: text });
    this.placeholderText = placeholderText;
    // A phone's keyboard leaves the typed Latin letters as typed: the
    // pane's text is what the user means to lay out.
    for (const [name, value] of [['aria-label', label], ['autocapitalize', 'off'], ['autocorrect', 'off']]) {
      area.setAttribute(name, value);
    }
    root.append(area);
    this.area = area;
    this.value = area.value;
    this.showPlaceholder();
    this.shown = null;
    this.select(selection);
    this.listen();
  }

  listen() {
    const { area, pane } = this;
    area.addEventListener('beforeinput', (event) => {
      if (event.inputType === 'historyUndo' || event.inputType === 'historyRedo') {
        event.preventDefault();
        if (event.inputType === 'historyUndo') pane.undo();
        else pane.redo();
        return;
      }
      // The document tells of a moved caret later: an edit first ends the
      // step of undo that the move ended.
      if (!event.isComposing) this.selectionChanged();
      // The text area's own insertion of many lines takes seconds (its
      // editing treats each line in turn): a text inserted whole, as a
      // paste or a command's insertion is, goes straight into its value.
      if (event.inputType === 'insertText' && event.data?.length > 1 && event.cancelable) {
        event.preventDefault();
        this.insert(event.data, false);
        return;
      }
      this.typedAt = { from: area.selectionStart, to: area.selectionEnd, selection: this.selection(),
        alone: event.inputType.endsWith('Drop') || event.inputType === 'deleteByDrag' };
    });
    area.addEventListener('paste', (event) => {
      const text = event.clipboardData?.getData('text/plain');
      if (!text) return;
      event.preventDefault();
      this.insert(text, true);
    });
    area.addEventListener('input', () => this.inputted());
    area.addEventListener('compositionstart', () => {
      this.composing = true;
      this.composed = 0;
    });
    area.addEventListener('compositionend', () => {
      this.composing = false;
      // The result may come just after the end.
      setTimeout(() => { this.composed = 0; });
      pane.compositionEnded();
    });
    area.addEventListener('keydown', (event) => this.keyPressed(event));
    area.addEventListener('keyup', (event) => pane.keyReleased(event.key));
    // Chromium tells of a text area's selection only through the document.
    this.onSelectionChange = () => {
      if (!this.hasFocus()) return;
      this.selectionChanged();
      this.selectionSettled();
    };
    document.addEventListener('selectionchange', this.onSelectionChange);
    area.addEventListener('pointerdown', () => pane.caretMoving());
    area.addEventListener('dragover', (event) => pane.dragOver(event));
    area.addEventListener('drop', (event) => pane.dropped(event));
  }

  keyPressed(event) {
    if (event.isComposing) return;
    // A key that moves the caret ends the step of undo, even where the
    // caret comes back before the next edit.
    if (MOVING_KEYS.test(event.key)) this.pane.caretMoving();
    const escaped = this.escaped;
    this.escaped = event.key === 'Escape';
    if (event.key === 'F1') event.preventDefault();
    if (event.key === 'Tab' && !escaped && !isModifier(event) && !event.altKey && !event.shiftKey) {
      event.preventDefault();
      this.insert('\t', false);
      return;
    }
    if (!isModifier(event) || event.altKey) return;
    const key = event.key.toLowerCase();
    const undo = key === 'z' && !event.shiftKey;
    const redo = key === 'y' || (key === 'z' && event.shiftKey);
    if (!undo && !redo) return;
    event.preventDefault();
    if (undo) this.pane.undo();
    else this.pane.redo();
  }

  // Puts `text` in place of the selection as typed there; `alone`: a step
  // of undo of its own.
  insert(text, alone) {
    const { area } = this;
    this.selectionChanged();
    const [start, end] = [area.selectionStart, area.selectionEnd];
    this.typedAt = { from: start, to: end, selection: this.selection(), alone };
    area.setRangeText(text, start, end, 'end');
    this.inputted();
    // The text area keeps its scroll where a value set by script leaves it.
    if (text.includes('\n')) this.showCaretAt(null, true);
  }

  inputted() {
    const before = this.value;
    this.value = this.area.value;
    const edit = editBetween(before, this.value, this.typedAt);
    const breaks = this.breaksAhead + lineBreaks(this.value, edit.from);
    edit.from += this.ahead.length;
    const after = this.selection();
    const typedAt = this.typedAt ?? { selection: after, alone: false };
    this.typedAt = null;
    if (edit.removed === '' && edit.inserted === '') return;
    // A composition's pre-edits and its result are one step of undo, of
    // its own.
    const composition = this.composing || this.composed > 0;
    const joins = composition && this.composed > 0;
    const alone = typedAt.alone || (composition && !joins);
    if (composition) ++this.composed;
    this.showPlaceholder();
    this.pane.edited(edit, breaks, { before: typedAt.selection, after, joins, alone });
    this.shown = after;
    this.pane.caretMoved(false);
  }

  // The placeholder is the text area's only while it holds no text: with
  // one, the browser styles its placeholder again at every keystroke.
  showPlaceholder() {
    const empty = this.value === '' && this.ahead === '' && this.behind === '';
    if (empty === this.area.hasAttribute('placeholder')) return;
    if (empty) this.area.placeholder = this.placeholderText;
    else this.area.removeAttribute('placeholder');
  }

  // The selection moved with no edit (an edit reports its caret itself).
  selectionChanged() {
    const now = this.selection();
    const moved = this.shown && (now.anchor !== this.shown.anchor || now.head !== this.shown.head);
    this.shown = now;
    if (moved) this.pane.caretMoved(true);
  }

  // The document told of the selection (a key, a click, an edit): no more
  // to do for a text area that holds the whole text.
  selectionSettled() {}

  // Makes `edit` as the program's own change (undo, redo, a whole new
  // text): the pane is told of it, but the text area's undo is not.
  apply(edit) {
    const from = edit.from - this.ahead.length;
    this.area.setRangeText(edit.inserted, from, from + edit.removed.length);
    this.value = this.area.value;
    this.showPlaceholder();
    this.pane.edited(edit, this.breaksAhead + lineBreaks(this.value, from), {});
  }

  selection() {
    const { selectionStart, selectionEnd, selectionDirection: direction } = this.area;
    const [start, end] = [selectionStart + this.ahead.length, selectionEnd + this.ahead.length];
    return direction === 'backward' ? { anchor: end, head: start } : { anchor: start, head: end };
  }

  select({ anchor, head }) {
    const [start, end] = [Math.min(anchor, head) - this.ahead.length, Math.max(anchor, head) - this.ahead.length];
    this.area.setSelectionRange(start, end, anchor > head ? 'backward' : 'forward');
    this.selectionChanged();
  }

  caretPlace() {
    const head = this.selection().head - this.ahead.length;
    const line = this.breaksAhead + lineBreaks(this.value, head);
    // The text area's part starts at a line's start.
    const lineStart = this.ahead.length + this.value.lastIndexOf('\n', head - 1) + 1;
    return { line, lineStart: lineStart + line, offset: this.ahead.length + head + line };
  }

  text() {
    return this.ahead + this.value + this.behind;
  }

  length() {
    return this.ahead.length + this.value.length + this.behind.length;
  }

  isComposing() {
    return this.composing;
  }

  hasFocus() {
    return this.area.getRootNode().activeElement === this.area;
  }

  focus() {
    this.area.focus({ preventScroll: true });
  }

  // Where the row of the caret (or of position `at` of the text area)
  // starts in the text area's content, in pixels: the height of the text
  // up to it, which the text area holds alone for a moment (a text area
  // tells no caret's place). A switch of editors is rare, and the text
  // area's texts are short.
  caretLineTop(at = this.selection().head - this.ahead.length) {
    const { area } = this;
    area.style.height = '0';
    area.value = this.value.slice(0, at);
    const bottom = area.scrollHeight - parseFloat(getComputedStyle(area).paddingBottom);
    area.style.height = '';
    return bottom - parseFloat(getComputedStyle(area).lineHeight);
  }

  // How far below the top of the view the caret's line starts, in pixels.
  // The text area loses its text, which it no longer needs.
  caretTop() {
    const scrolled = this.area.scrollTop;
    return this.caretLineTop() - scrolled;
  }

  // Scrolls so that the caret's line starts `top` pixels below the top of
  // the view (null: in the middle); `ifHidden`: only when it is out of
  // view.
  showCaretAt(top, ifHidden = false) {
    const { area } = this;
    const selection = this.selection();
    const scrolled = area.scrollTop;
    const lineTop = this.caretLineTop();
    area.value = this.value;
    this.select(selection);
    const lineHeight = parseFloat(getComputedStyle(area).lineHeight);
    const hidden = lineTop < scrolled || lineTop + lineHeight > scrolled + area.clientHeight;
    area.scrollTop = ifHidden && !hidden ? scrolled : lineTop - (top ?? (area.clientHeight - lineHeight) / 2);
  }

  destroy() {
    document.removeEventListener('selectionchange', this.onSelectionChange);
    this.area.remove();
  }
}
