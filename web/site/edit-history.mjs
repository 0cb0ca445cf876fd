// The input pane's undo history, kept apart from its editors so that one
// history goes on when the pane trades a plain text area for the editor of
// long texts and back. An edit is {from, removed, inserted}: at `from` (a
// position in the text, its lines separated by LF) `removed` became
// `inserted`. A selection is {anchor, head}.
//
// Edits join the last step that undo takes back when they come within
// half a second of it, of the same kind (typing, deleting) and where it
// ended, or while an input method composes: a word typed is one step. A
// paste or a drop is a step of its own, and moving the caret ends a step.
const JOIN_WITHIN_MS = 500;
const MOST_STEPS = 200;

const kindOf = (edit) => {
  if (edit.removed === '' && edit.inserted !== '') return 'type';
  if (edit.inserted === '' && edit.removed !== '') return 'delete';
  return 'replace';
};

// The edit that takes `edit` back.
const inverse = (edit) => ({ from: edit.from, removed: edit.inserted, inserted: edit.removed });

export class EditHistory {
  constructor() {
    this.done = [];
    this.undone = [];
    this.isolateNext = false;
  }

  // Records `edit`, made from selection `before` to `after` at `time`
  // (ms). `joins`: it belongs with the edit before it (an input method's
  // pre-edits, the changes of one command); `alone`: it is a step of its
  // own (a paste, a drop, a whole new text).
  record(edit, { before, after, joins = false, alone = false }, time) {
    this.undone = [];
    const last = this.done.at(-1);
    const kind = kindOf(edit);
    const joined = last && !alone && (joins || (!this.isolateNext && time - last.time < JOIN_WITHIN_MS &&
      kind === last.kind && (edit.from + edit.removed.length === last.end || edit.from === last.end)));
    this.isolateNext = alone;
    if (joined) {
      last.edits.push(edit);
      last.after = after;
      last.time = time;
      last.end = edit.from + edit.inserted.length;
      return;
    }
    this.done.push({ edits: [edit], before, after, time, kind, end: edit.from + edit.inserted.length });
    if (this.done.length > MOST_STEPS) this.done.shift();
  }

  // The next edit starts a step of its own.
  endStep() {
    this.isolateNext = true;
  }

  // The edits that take the last step back, in order, and the selection to
  // restore; null when there is none.
  undo() {
    const step = this.done.pop();
    if (!step) return null;
    this.undone.push(step);
    this.isolateNext = true;
    return { edits: step.edits.map(inverse).reverse(), selection: step.before };
  }

  // The edits that make the last undone step again, and its selection.
  redo() {
    const step = this.undone.pop();
    if (!step) return null;
    this.done.push(step);
    this.isolateNext = true;
    return { edits: step.edits, selection: step.after };
  }
}
