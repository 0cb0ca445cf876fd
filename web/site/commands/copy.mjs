// 縦書きをコピー: the vertical text on the clipboard.
import { copyText } from '../page-files.mjs';
import { showStatus } from '../notices.mjs';
import { unitsToString } from '../text-units.mjs';

export async function copyOutput({ page, conversion }) {
  if (conversion.tooLarge) return;
  const copied = await copyText(unitsToString(page.outputText()));
  showStatus(copied ? '縦書きをコピーしました。' : 'コピーできませんでした。');
}
