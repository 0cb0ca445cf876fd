// The input pane: a plain-text editor (CodeMirror) that lays out only the
// lines in view, so that a keystroke in a long text costs what its line
// costs. It reports each change of its text as the units of the program's
// form (lines separated by CR LF) that the change replaces, so that the
// engine's copy of the text follows it edit by edit.
//
// The editor lives in a shadow root: its styles are then a stylesheet made
// by script, which the page's Content-Security-Policy needs no inline
// style for.
import {
  EditorSelection, EditorState, EditorView, history, historyKeymap, insertNewline, isolateHistory,
  keymap, placeholder, standardKeymap,
} from './codemirror.mjs';

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

export class InputPane {
  // `host` is the pane's element; `label` names it for assistive
  // technology, `placeholderText` shows while it is empty. The callbacks:
  // - replaced(offset, removed, text): units [offset, offset + removed) of
  //   the program's form are now `text` (its lines separated by LF);
  // - changed(): a change is complete (an input method's pre-edit is none);
  // - caretMoved(): the caret moved, or the text around it changed (after
  //   changed(), when both are reported);
  // - keyReleased(key), fileDropped(file).
  constructor(host, { label, placeholderText }, callbacks) {
    this.callbacks = callbacks;
    this.pendingChange = false;
    const root = host.attachShadow({ mode: 'open', delegatesFocus: true });
    this.view = new EditorView({
      root,
      parent: root,
      state: EditorState.create({ extensions: this.extensions(label, placeholderText) }),
    });
  }

  extensions(label, placeholderText) {
    return [
      history(),
      keymap.of([{ key: 'Enter', run: insertNewline }, { key: 'Tab', run: insertTab }, ...historyKeymap,
        ...standardKeymap]),
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
        dragover: (event) => {
          if (!event.dataTransfer?.types.includes('Files')) return false;
          event.preventDefault();
          event.dataTransfer.dropEffect = 'copy';
          return true;
        },
        // A dropped file is opened as the open command opens it, not
        // pasted as the editor would.
        drop: (event) => {
          const file = event.dataTransfer?.files[0];
          if (!file) return false;
          event.preventDefault();
          this.callbacks.fileDropped(file);
          return true;
        },
        keydown: (event) => {
          if (event.key === 'F1') event.preventDefault();
          return false;
        },
        keyup: (event) => {
          this.callbacks.keyReleased(event.key);
          return false;
        },
      }),
      EditorView.domEventObservers({
        // The input method's result may come with no further change; what
        // its pre-edit changed is then the change.
        compositionend: () => setTimeout(() => this.finishChange()),
      }),
    ];
  }

  updated(update) {
    if (update.docChanged) {
      const before = update.startState.doc;
      const after = update.state.doc;
      // Each change in order: the text before it is already the new one,
      // and each line break before it is two units (CR LF).
      update.changes.iterChanges((fromA, toA, fromB, toB, inserted) => {
        const offset = fromB + after.lineAt(fromB).number - 1;
        const removed = toA - fromA + before.lineAt(toA).number - before.lineAt(fromA).number;
        this.callbacks.replaced(offset, removed, inserted.toString());
      });
      this.pendingChange = true;
      // An input method's pre-edit is no change; its result is.
      if (!update.view.composing) this.finishChange();
    }
    if (update.docChanged || update.selectionSet) this.callbacks.caretMoved();
  }

  finishChange() {
    if (!this.pendingChange) return;
    this.pendingChange = false;
    this.callbacks.changed();
  }

  // Where the caret is in the program's form: its line (0-based), the unit
  // that line starts at, and its own unit.
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

  // Puts `text` in place of the whole text as one edit that undo takes
  // back, the caret at its start (`atStart`) or at its end.
  replaceAll(text, atStart) {
    const { state } = this.view;
    const inserted = state.toText(text);
    this.view.dispatch({
      changes: { from: 0, to: state.doc.length, insert: inserted },
      selection: EditorSelection.cursor(atStart ? 0 : inserted.length),
      scrollIntoView: true,
      annotations: isolateHistory.of('full'),
      userEvent: 'input.replace',
    });
  }

  focus() {
    this.view.focus();
  }
}
