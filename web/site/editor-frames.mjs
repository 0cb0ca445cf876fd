// When CodeMirror's animation frame callbacks run. CodeMirror measures its
// lines, and scrolls what it was asked to show into view, in a callback of
// the next frame: before that frame's layout, which its reads then force,
// and on the way to showing the frame. A keystroke needs none of it to be
// shown right, the browser having put the character into its line already;
// at 1 MB it was 2–3 ms of the keystroke's frame. So the callbacks asked
// for while a key types run right after the frame instead, reading the
// layout that the frame made. Those of the program's own changes (a new
// text, an undo, the caret shown after the pane changed editors) and of
// keys that move the caret run in the frame as CodeMirror's own do, which
// then shows them in place.
import { EditorView } from './codemirror.mjs';

const callbacks = new Map();
let lastId = 0;
let typing = false;
const afterFrame = new MessageChannel();

function run(id, time) {
  const callback = callbacks.get(id);
  callbacks.delete(id);
  callback?.(time);
}
afterFrame.port1.onmessage = ({ data: id }) => run(id, performance.now());

function requestEditorFrame(callback) {
  const id = ++lastId;
  callbacks.set(id, callback);
  const late = typing;
  requestAnimationFrame((time) => {
    if (late) afterFrame.port2.postMessage(id);
    else run(id, time);
  });
  return id;
}

// A key types into the editor (its keydown, or the browser's beforeinput
// for an input method): what CodeMirror asks for while the event's task
// lasts runs after the frame.
export function keyTypes() {
  typing = true;
  setTimeout(() => {
    typing = false;
  });
}

// The window as the editor sees it: the page's, but for its frames.
const editorWindow = new Proxy(window, {
  get(target, name) {
    if (name === 'requestAnimationFrame') return requestEditorFrame;
    if (name === 'cancelAnimationFrame') return (id) => callbacks.delete(id);
    const value = Reflect.get(target, name);
    return typeof value === 'function' ? value.bind(target) : value;
  },
});

export class EditorFramesView extends EditorView {
  get win() {
    return editorWindow;
  }
}
