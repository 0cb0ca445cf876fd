// The input pane's edits, under Node: the edit that an input event of the
// text area made, found between the texts before and after it, the steps
// that undo takes back, and the lines that the window onto a long text
// holds. Run by ctest (web.input_edits).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { EditHistory } from '../../web/site/edit-history.mjs';
import { editBetween } from '../../web/site/plain-input.mjs';
import { lineEndBelow, lineStartAbove, rowsOfLines, rowsOutside } from '../../web/site/window-input.mjs';

// [what happened, text before, text after, selection it was typed at, the
// edit: [from, removed, inserted]]
const INPUTS = [
  ['a letter typed before the same letter', 'aa', 'aaa', { from: 0, to: 0 }, [0, '', 'a']],
  ['a letter typed after the same letter', 'aa', 'aaa', { from: 2, to: 2 }, [2, '', 'a']],
  ['Backspace after the first of three same letters', 'aaa', 'aa', { from: 1, to: 1 }, [0, 'a', '']],
  ['a selection typed over with a letter it held', 'abcd', 'abd', { from: 1, to: 3 }, [1, 'bc', 'b']],
  ['a line break typed', 'ab', 'a\nb', { from: 1, to: 1 }, [1, '', '\n']],
  ['a drop, where no selection tells', 'abc', 'abXc', null, [2, '', 'X']],
  ['a character of two units for another sharing its first unit', '\u{20B9F}\u{20B9F}', '\u{20B9F}\u{20BB7}',
    null, [2, '\u{20B9F}', '\u{20BB7}']],
  ['a character of two units for another sharing its second unit', 'a\u{20B9F}', 'a\u{20F9F}', null,
    [1, '\u{20B9F}', '\u{20F9F}']],
  ['a character of two units before another sharing its first unit', '\u{20B9F}', '\u{20BB7}\u{20B9F}',
    { from: 0, to: 0 }, [0, '', '\u{20BB7}']],
];
for (const [name, before, after, selection, [from, removed, inserted]] of INPUTS) {
  test(`the text area's edit: ${name}`, () => {
    assert.deepEqual(editBetween(before, after, selection), { from, removed, inserted });
  });
}

const caret = (at) => ({ anchor: at, head: at });
const typed = (from, text) => ({ from, removed: '', inserted: text });
const deleted = (from, text) => ({ from, removed: text, inserted: '' });
// [what happened, the edits: [edit, ms, how (EditHistory.record), or
// 'move' for the caret moved], the edits the first undo takes back]
const STEPS = [
  ['letters typed in a row', [[typed(0, 'a'), 0], [typed(1, 'b'), 100], [typed(2, 'c'), 200]],
    [deleted(2, 'c'), deleted(1, 'b'), deleted(0, 'a')]],
  ['a pause', [[typed(0, 'a'), 0], [typed(1, 'b'), 700]], [deleted(1, 'b')]],
  ['typing, then deleting', [[typed(0, 'ab'), 0], [deleted(1, 'b'), 100]], [typed(1, 'b')]],
  ['Backspace after Delete at the same place', [[deleted(2, 'c'), 0], [deleted(1, 'b'), 100]],
    [typed(1, 'b'), typed(2, 'c')]],
  ['a letter typed elsewhere', [[typed(0, 'a'), 0], [typed(5, 'b'), 100]], [deleted(5, 'b')]],
  ['the caret moved between', [[typed(0, 'a'), 0], 'move', [typed(1, 'b'), 100]], [deleted(1, 'b')]],
  ['a paste after typing', [[typed(0, 'a'), 0], [typed(1, 'xyz'), 100, { alone: true }]], [deleted(1, 'xyz')]],
  ['typing after a paste', [[typed(0, 'xyz'), 0, { alone: true }], [typed(3, 'a'), 100]], [deleted(3, 'a')]],
  ["an input method's pre-edits and result, the caret moving with them",
    [[typed(0, 'a'), 0], [typed(1, 'か'), 100, { alone: true }], 'move',
      [{ from: 1, removed: 'か', inserted: 'かん' }, 900, { joins: true }],
      [{ from: 1, removed: 'かん', inserted: '漢' }, 2000, { joins: true }]],
    [{ from: 1, removed: '漢', inserted: 'かん' }, { from: 1, removed: 'かん', inserted: 'か' }, deleted(1, 'か')]],
];
for (const [name, edits, undone] of STEPS) {
  test(`undo takes back one step: ${name}`, () => {
    const history = new EditHistory();
    for (const entry of edits) {
      if (entry === 'move') {
        history.endStep();
        continue;
      }
      const [edit, time, how] = entry;
      history.record(edit, { before: caret(edit.from), after: caret(edit.from + edit.inserted.length), ...how }, time);
    }
    const step = history.undo();
    assert.deepEqual(step.edits, undone);
    assert.deepEqual(step.selection, caret(undone.at(-1).from));
    // Redo makes again what undo took back, until something new is typed.
    assert.deepEqual(history.redo().edits.length, undone.length);
    history.undo();
    history.record(typed(0, 'z'), { before: caret(0), after: caret(1) }, 5000);
    assert.equal(history.redo(), null);
  });
}

// [what, text, position, lines, characters, the window's start, its end]
const WINDOWS = [
  ['two lines each side', 'a\nb\nc\nd\ne\nf\ng', 6, 2, 100, 2, 11],
  ['at the text\'s edges', 'a\nb\nc', 2, 5, 100, 0, 5],
  ['an empty first line', '\nb\nc', 3, 5, 100, 0, 4],
  ['empty lines around', 'a\n\n\nb\n\n\nc', 4, 2, 100, 2, 7],
  ['no further than the characters allow, in whole lines', 'aaaa\nbbbb\ncccc\ndddd\neeee', 12, 5, 3, 5, 19],
  ['one long line', 'x'.repeat(50), 20, 5, 3, 0, 50],
  ['the caret at a line\'s end', 'ab\ncd\nef', 5, 0, 100, 3, 5],
];
for (const [name, text, at, lines, chars, start, end] of WINDOWS) {
  test(`the window's lines: ${name}`, () => {
    assert.equal(lineStartAbove(text, at, lines, chars), start);
    assert.equal(lineEndBelow(text, at, lines, chars), end);
  });
}

// [what, text, ems a row holds, rows to stop at, {rows, at}: the rows
// before the line that holds the row to stop at, and where it starts (the
// text's end, when it has no such row)]
const ROWS = [
  ['a line a row', 'ab\ncd\nef', 10, Infinity, { rows: 3, at: 8 }],
  ['a wide line wraps', 'あいうえお\nx', 2, Infinity, { rows: 4, at: 7 }],
  ['narrow characters are half as wide', 'abcd\nｱｲｳｴ', 2, Infinity, { rows: 2, at: 9 }],
  ['an empty line takes a row', '\n\n', 10, Infinity, { rows: 3, at: 2 }],
  ['stops at the line that passes the rows', 'あいうえお\nab\ncd', 2, 3, { rows: 3, at: 6 }],
  ['and before it', 'ab\nあいうえお\ncd', 2, 3, { rows: 1, at: 3 }],
];
for (const [name, text, rowEms, rows, found] of ROWS) {
  test(`the rows lines take: ${name}`, () => {
    assert.deepEqual(rowsOfLines(text, rowEms, rows), found);
  });
}

// [what, text, ems a row holds, windows in turn ([start, end]: from a
// line's start to a line's end)]: the rows outside each window, counted
// from the window before, are those counted from scratch.
const MOVES = [
  ['down and up a line at a time', 'a\nb\nc\nd\ne\nf', 10, [[4, 7], [6, 9], [4, 7], [0, 3], [10, 11]]],
  ['past empty lines, one at a time', 'a\n\n\nb\n\n\nc', 10,
    [[8, 9], [7, 7], [6, 6], [4, 5], [3, 3], [2, 2], [0, 1], [2, 3], [0, 9], [6, 7]]],
  ['to the start and the end, past wrapped lines', 'あいうえお\nab\ncd\n\nef', 2,
    [[13, 15], [6, 8], [0, 5], [12, 15], [9, 11], [12, 12]]],
];
for (const [name, text, rowEms, windows] of MOVES) {
  test(`the rows outside the window: ${name}`, () => {
    let from = null;
    for (const [start, end] of windows) {
      const counted = rowsOutside(text, rowEms, start, end, from);
      assert.deepEqual(counted, rowsOutside(text, rowEms, start, end), `[${start}, ${end}]`);
      from = { start, end, ...counted };
    }
  });
}
