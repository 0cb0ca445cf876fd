// 縦書きをコピー: the vertical text on the clipboard, converted first as a
// save is, its lines ended by LF as the clipboard's text is everywhere.
import { copyText } from '../page-files.mjs';
import { showMessage, showStatus } from '../notices.mjs';
import { unitsToString } from '../text-units.mjs';

export async function copyOutput({ page, conversion }) {
  conversion.convert();
  if (conversion.tooLarge) {
    showMessage(`縦書きをコピーできません。\n${conversion.tooLarge}`);
    return;
  }
  const copied = await copyText(unitsToString(page.outputText()).replaceAll('\r\n', '\n'));
  showStatus(copied ? '縦書きをコピーしました。' : 'コピーできませんでした。');
}
