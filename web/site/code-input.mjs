// The input pane's editor for long texts: CodeMirror, which lays out only
// the lines in view, so that a keystroke in a long text costs what its line
// costs. Its undo is the pane's (edit-history.mjs), so that it goes on when
// the pane changes editors.
import { EditorSelection, EditorState, EditorView, insertNewline, keymap, placeholder, standardKeymap } from './codemirror.mjs';
import { EditorFramesView, keyTypes } from './editor-frames.mjs';

const THEME = EditorView.theme({
  '&': { height: '100%', color: 'inherit', backgroundColor: 'inherit' },
  '&.cm-focused': { outline: 'none' },
  '.cm-scroller': { font: '16px/1.25 var(--pane-font)' },
  '.cm-content': { padding: '4px 0', caretColor: 'currentColor' },
  '.cm-line': { padding: '0 4px' },
  '.cm-placeholder': { color: 'GrayText' },
});

// The TAB key types a tab, whose width the settings give; Esc then TAB
// leaves the pane, as in every CodeMirror editor.
function insertTab(view) {
  view.dispatch(view.state.replaceSelection('\t'), { scrollIntoView: true, userEvent: 'input.type' });
  return true;
}

const asSelection = ({ anchor, head }) => ({ anchor, head });
const isHistory = (event) => event.inputType === 'historyUndo' || event.inputType === 'historyRedo';

// A character, or one taken away, types (see editor-frames.mjs); not Enter,
// whose new line is to come into view in the frame that shows it.
function typingKey(event) {
  const plain = !event.ctrlKey && !event.metaKey && !event.altKey;
  if (plain && (event.key.length <= 2 || event.key === 'Backspace' || event.key === 'Delete')) keyTypes();
}

export class CodeInput {
  // `pane`: the input pane (input-pane.mjs), told of every edit and key.
  constructor(root, { label, placeholderText }, pane, text, selection) {
    this.pane = pane;
    this.composed = 0;  // edits of the composition so far
    this.view = new EditorFramesView({
      root,
      parent: root,
      state: EditorState.create({
        doc: text,
        selection: EditorSelection.single(selection.anchor, selection.head),
        extensions: this.extensions(label, placeholderText),
      }),
    });
    // Before the editor's own keydown, which may already ask for a frame.
    this.root = root;
    root.addEventListener('keydown', typingKey, true);
  }

  extensions(label, placeholderText) {
    const { pane } = this;
    return [
      keymap.of([{ key: 'Enter', run: insertNewline }, { key: 'Tab', run: insertTab },
        { key: 'Mod-z', run: () => pane.undo() }, { key: 'Mod-y', run: () => pane.redo() },
        { key: 'Mod-Shift-z', run: () => pane.redo() }, ...standardKeymap]),
      placeholder(placeholderText),
      THEME,
      // Long lines wrap: a phone's pane is narrow, and a line that scrolls
      // sideways as it is typed makes the editor measure it again at every
      // keystroke.
      EditorView.lineWrapping,
      // The text is what focusing the pane focuses (the shadow root
      // delegates focus to it), not the box that scrolls it.
      EditorView.contentAttributes.of({ 'aria-label': label, spellcheck: 'false', autofocus: 'true' }),
      EditorView.updateListener.of((update) => this.updated(update)),
      EditorView.domEventHandlers({
        // Undo from the browser's own menu.
        beforeinput: (event) => {
          if (!isHistory(event)) return false;
          event.preventDefault();
          return event.inputType === 'historyUndo' ? pane.undo() : pane.redo();
        },
        dragover: (event) => pane.dragOver(event),
        drop: (event) => pane.dropped(event),
        keydown: (event) => {
          if (event.key === 'F1') event.preventDefault();
          return false;
        },
        keyup: (event) => {
          pane.keyReleased(event.key);
          return false;
        },
      }),
      EditorView.domEventObservers({
        beforeinput: (event) => {
          if (!isHistory(event)) keyTypes();
        },
        compositionstart: () => {
          this.composed = 0;
        },
        // The input method's result may come with no further change; what
        // its pre-edit changed is then the change.
        compositionend: () => setTimeout(() => {
          this.composed = 0;
          pane.compositionEnded();
        }),
      }),
    ];
  }

  updated(update) {
    if (update.docChanged) {
      const before = update.startState;
      const after = update.state.doc;
      // A composition's pre-edits and its result are one step of undo of
      // its own, as are the changes of one transaction, and a paste or a
      // drop.
      const composition = update.view.composing || this.composed > 0;
      let joins = composition && this.composed > 0;
      if (composition) ++this.composed;
      const selections = { before: asSelection(before.selection.main), after: asSelection(update.state.selection.main),
        alone: (composition && !joins) ||
          update.transactions.some((tr) => tr.isUserEvent('input.paste') || tr.isUserEvent('input.drop')) };
      // Each change in order: the text before it is already the new one.
      update.changes.iterChanges((fromA, toA, fromB, toB, inserted) => {
        const edit = { from: fromB, removed: before.doc.sliceString(fromA, toA), inserted: inserted.toString() };
        this.pane.edited(edit, after.lineAt(fromB).number - 1, { ...selections, joins });
        joins = true;
        selections.alone = false;
      });
    }
    if (update.docChanged || update.selectionSet) this.pane.caretMoved(!update.docChanged);
  }

  // Makes `edit` as the program's own change (undo, redo, a whole new
  // text); the pane is told of it as of any other.
  apply(edit) {
    this.view.dispatch({ changes: { from: edit.from, to: edit.from + edit.removed.length, insert: edit.inserted } });
  }

  selection() {
    return asSelection(this.view.state.selection.main);
  }

  select({ anchor, head }) {
    this.view.dispatch({ selection: EditorSelection.single(anchor, head), scrollIntoView: true });
  }

  caretPlace() {
    const { state } = this.view;
    const caret = state.selection.main.head;
    const line = state.doc.lineAt(caret);
    const before = line.number - 1;
    return { line: before, lineStart: line.from + before, offset: caret + before };
  }

  text() {
    return this.view.state.doc.toString();
  }

  length() {
    return this.view.state.doc.length;
  }

  isComposing() {
    return this.view.composing;
  }

  hasFocus() {
    return this.view.hasFocus;
  }

  focus() {
    this.view.focus();
  }

  // How far below the top of the view the caret's line starts, in pixels
  // (null when it is out of view).
  caretTop() {
    const place = this.view.coordsAtPos(this.view.state.selection.main.head);
    return place && place.top - this.view.scrollDOM.getBoundingClientRect().top;
  }

  // Scrolls so that the caret's line starts `top` pixels below the top of
  // the view (null: in the middle).
  showCaretAt(top) {
    const { head } = this.view.state.selection.main;
    this.view.dispatch({ effects: EditorView.scrollIntoView(head, top === null ? { y: 'center' } : { y: 'start', yMargin: top }) });
  }

  destroy() {
    this.root.removeEventListener('keydown', typingKey, true);
    this.view.destroy();
  }
}
