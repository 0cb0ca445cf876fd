// The input pane's editor for long texts: CodeMirror, which lays out only
// the lines in view, so that a keystroke in a long text costs what its line
// costs. Its undo is the pane's (edit-history.mjs), so that it goes on when
// the pane changes editors.
import { EditorSelection, EditorState, EditorView, insertNewline, keymap, placeholder, standardKeymap } from './codemirror.mjs';

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

// CodeMirror measures its lines, and scrolls the caret into view, in an
// animation frame callback: before the frame's layout, which its reads then
// force, and on the way to showing the frame. A keystroke needs none of it
// to be shown right, the browser having put the character into its line
// already; at 1 MB it was 2–3 ms of each keystroke's frame. So its
// callbacks run right after the frame instead, when they read the layout
// that the frame has made. (What it scrolls into view, as the caret after
// an undo, comes into view a frame later.)
const afterFrame = { channel: new MessageChannel(), callbacks: new Map(), last: 0 };
afterFrame.channel.port1.onmessage = ({ data: id }) => {
  const callback = afterFrame.callbacks.get(id);
  afterFrame.callbacks.delete(id);
  callback?.(performance.now());
};

function requestAfterFrame(callback) {
  const id = ++afterFrame.last;
  afterFrame.callbacks.set(id, callback);
  requestAnimationFrame(() => afterFrame.channel.port2.postMessage(id));
  return id;
}

// The window as the editor sees it: the page's, but for its frames.
const editorWindow = new Proxy(window, {
  get(target, name) {
    if (name === 'requestAnimationFrame') return requestAfterFrame;
    if (name === 'cancelAnimationFrame') return (id) => afterFrame.callbacks.delete(id);
    const value = Reflect.get(target, name);
    return typeof value === 'function' ? value.bind(target) : value;
  },
});

class AfterFrameEditorView extends EditorView {
  get win() {
    return editorWindow;
  }
}

export class CodeInput {
  // `pane`: the input pane (input-pane.mjs), told of every edit and key.
  constructor(root, { label, placeholderText }, pane, text, selection) {
    this.pane = pane;
    this.composed = 0;  // edits of the composition so far
    this.view = new AfterFrameEditorView({
      root,
      parent: root,
      state: EditorState.create({
        doc: text,
        selection: EditorSelection.single(selection.anchor, selection.head),
        extensions: this.extensions(label, placeholderText),
      }),
    });
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
          if (event.inputType !== 'historyUndo' && event.inputType !== 'historyRedo') return false;
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
    this.view.destroy();
  }
}
