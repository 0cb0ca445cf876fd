// The input pane. It reports each change of its text as the units of the
// program's form (lines separated by CR LF) that the change replaces, so
// that the engine's copy of the text follows it edit by edit.
//
// It edits a short text in a plain text area (plain-input.mjs) and a long
// one in the same text area holding only the lines around the caret
// (window-input.mjs), and trades one for the other as the text grows or
// shrinks, keeping the text, the selection, focus, the caret's place in
// the view and the undo history (edit-history.mjs). A text area lays out
// its whole text at each keystroke: in headless Chromium (`page_bench.mjs
// ... editors`) it took 9–15 ms from a keystroke to its frame at 5,000–
// 10,000 characters, and 19–20 ms at 40,000–80,000. The window holds 70
// lines or so, and a keystroke at 1 MB costs what it costs in 20 lines
// (medians 12.6–13.3 ms at 1 MB and 11.6–12.6 ms at 20 lines, each text on
// a fresh page at a load of 2–4; CodeMirror, which held long texts before,
// took 14.2–15.6 ms at 1 MB in the same runs). The pane moves to the window
// at 20,000 characters and back below 10,000, far enough apart that typing
// around either never flips it.
//
// The editors live in a shadow root: their styles are then stylesheets made
// by script, which the page's Content-Security-Policy needs no inline
// style for.
import { EditHistory } from './edit-history.mjs';
import { lineBreaks, PlainInput } from './plain-input.mjs';
import { WindowInput } from './window-input.mjs';

export const EDITOR_LIMITS = { longFrom: 20000, shortBelow: 10000 };

export class InputPane {
  // `host` is the pane's element; `label` names it for assistive
  // technology, `placeholderText` shows while it is empty. The callbacks:
  // - replaced(offset, removed, text): units [offset, offset + removed) of
  //   the program's form are now `text` (its lines separated by LF);
  // - changed(): a change is complete (an input method's pre-edit is none);
  // - caretMoved(): the caret moved, or the text around it changed (after
  //   changed(), when both are reported);
  // - keyReleased(key), fileDropped(file).
  constructor(host, options, callbacks) {
    this.host = host;
    this.options = options;
    this.callbacks = callbacks;
    this.limits = { ...EDITOR_LIMITS };
    this.history = new EditHistory();
    this.pendingChange = false;
    this.applying = false;
    this.root = host.attachShadow({ mode: 'open', delegatesFocus: true });
    this.editor = this.open(PlainInput, '', { anchor: 0, head: 0 });
    // Tests and benchmarks reach the pane through its element, as they
    // reach an editor's view in other pages.
    host.inputPane = this;
  }

  open(Editor, text, selection) {
    this.host.dataset.editor = Editor === PlainInput ? 'plain' : 'window';
    return new Editor(this.root, this.options, this, text, selection);
  }

  // The editor that suits a text of `length` characters in the editor now
  // open, which stays open between the two limits.
  editorFor(length) {
    if (length >= this.limits.longFrom) return WindowInput;
    if (length < this.limits.shortBelow) return PlainInput;
    return this.editor.constructor;
  }

  // Moves the text to the editor that suits its length, unless an input
  // method is composing in it (which the move would end).
  fitEditor(length = this.editor.length()) {
    const Editor = this.editorFor(length);
    if (Editor === this.editor.constructor || this.editor.isComposing()) return;
    const old = this.editor;
    const [text, selection, focused] = [old.text(), old.selection(), old.hasFocus()];
    const top = old.caretTop();
    old.destroy();
    this.editor = this.open(Editor, text, selection);
    if (focused) this.editor.focus();
    const height = this.host.clientHeight;
    this.editor.showCaretAt(top !== null && top >= 0 && top < height ? top : null);
  }

  // From the editors: `edit` ({from, removed, inserted}, see
  // edit-history.mjs) was made, with `breaksBefore` line breaks before
  // its place; `how` says how it is undone (EditHistory.record).
  edited(edit, breaksBefore, how) {
    this.callbacks.replaced(edit.from + breaksBefore, edit.removed.length + lineBreaks(edit.removed), edit.inserted);
    this.pendingChange = true;
    if (this.applying) return;
    this.history.record(edit, how, performance.now());
    // An input method's pre-edit is no change; its result is.
    if (!this.editor.isComposing()) this.finishChange();
  }

  compositionEnded() {
    this.finishChange();
  }

  finishChange() {
    if (!this.pendingChange) return;
    this.pendingChange = false;
    this.callbacks.changed();
    // Not inside the editor's own handling of the change, which the move
    // would end under it.
    queueMicrotask(() => this.fitEditor());
  }

  // From the editors: the caret is about to move (a key, a click), which
  // ends the step of undo.
  caretMoving() {
    this.history.endStep();
  }

  // From the editors: the caret moved; `alone`: with no edit.
  caretMoved(alone) {
    if (this.applying) return;
    if (alone) this.history.endStep();
    this.callbacks.caretMoved();
  }

  keyReleased(key) {
    this.callbacks.keyReleased(key);
  }

  dragOver(event) {
    if (!event.dataTransfer?.types.includes('Files')) return false;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
    return true;
  }

  // A dropped file is opened as the open command opens it, not pasted as
  // the editor would.
  dropped(event) {
    const file = event.dataTransfer?.files[0];
    if (!file) return false;
    event.preventDefault();
    this.callbacks.fileDropped(file);
    return true;
  }

  // Makes `edits` in order as one change, then selects `selection`.
  applyEdits(edits, selection) {
    this.applying = true;
    try {
      for (const edit of edits) this.editor.apply(edit);
      this.editor.select(selection);
    } finally {
      this.applying = false;
    }
    this.finishChange();
    this.callbacks.caretMoved();
  }

  undo() {
    const step = this.history.undo();
    if (step) this.step(step);
    return true;
  }

  redo() {
    const step = this.history.redo();
    if (step) this.step(step);
    return true;
  }

  // An undo or redo that makes the text long moves it to the window first,
  // so that the text area never holds a long text whole; one that makes it
  // short moves after.
  step({ edits, selection }) {
    const length = edits.reduce((sum, edit) => sum + edit.inserted.length - edit.removed.length, this.editor.length());
    if (this.editorFor(length) === WindowInput) this.fitEditor(length);
    this.applyEdits(edits, selection);
  }

  // Where the caret is in the program's form: its line (0-based), the unit
  // that line starts at, and its own unit.
  caretPlace() {
    return this.editor.caretPlace();
  }

  text() {
    return this.editor.text();
  }

  // Puts `text` in place of the whole text as one edit that undo takes
  // back, the caret at its start (`atStart`) or at its end.
  replaceAll(text, atStart) {
    const inserted = text.replace(/\r\n?/g, '\n');
    const edit = { from: 0, removed: this.editor.text(), inserted };
    const caret = { anchor: atStart ? 0 : inserted.length, head: atStart ? 0 : inserted.length };
    this.history.record(edit, { before: this.editor.selection(), after: caret, alone: true }, performance.now());
    this.step({ edits: [edit], selection: caret });
  }

  focus() {
    this.editor.focus();
  }
}
