// What of CodeMirror the input pane uses, from the npm packages that
// web/package-lock.json pins. The build bundles it into codemirror.mjs of
// the site (tools/build-site.mjs), so that the page loads nothing from
// another origin.
export { EditorSelection, EditorState } from '@codemirror/state';
export { EditorView, keymap, placeholder } from '@codemirror/view';
export { insertNewline, standardKeymap } from '@codemirror/commands';
