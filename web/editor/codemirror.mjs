// What of CodeMirror the input pane uses. The build bundles it into one
// module of the site (tools/bundle-editor.mjs), so that the page loads
// nothing from another origin.
export { EditorSelection, EditorState } from '@codemirror/state';
export { EditorView, keymap, placeholder } from '@codemirror/view';
export { history, historyKeymap, insertNewline, isolateHistory, standardKeymap } from '@codemirror/commands';
