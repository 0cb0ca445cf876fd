// 横書きに戻す: the input read back from vertical into horizontal writing,
// as one edit that undo takes back.
import { showMessage } from '../notices.mjs';
import { unitsToString } from '../text-units.mjs';

export function reverseInput({ page, guarded, input }) {
  const horizontal = guarded(() => page.reverse());
  if (horizontal === null) {
    showMessage('大きすぎるため横書きに戻せません。');
    return;
  }
  input.focus();
  input.replaceAll(unitsToString(horizontal).replaceAll('\r\n', '\n'), false);
}
