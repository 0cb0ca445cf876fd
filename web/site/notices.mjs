// What the page tells the user: the status line, and message boxes.
import { $ } from './dom.mjs';

export function showStatus(text) {
  $('status').textContent = text;
}

// Shows the modal `dialog`; resolves true when it closes with OK.
export function askDialog(dialog) {
  dialog.returnValue = '';
  dialog.showModal();
  return new Promise((resolve) => {
    dialog.addEventListener('close', () => resolve(dialog.returnValue === 'ok'), { once: true });
  });
}

// A message box; resolves true for OK. `ask` shows キャンセル too.
export function showMessage(text, ask = false) {
  $('message-text').textContent = text;
  $('message-cancel').hidden = !ask;
  return askDialog($('message-dialog'));
}
