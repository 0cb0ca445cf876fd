// 縦書きを保存: the vertical text as a file, converted first, in the
// encoding the user chooses (the last one chosen is offered first), with a warning first when
// that encoding cannot hold some characters.
import { $, fillOptions } from '../dom.mjs';
import { download, savedName, withTextExtension } from '../page-files.mjs';
import { askDialog, showMessage, showStatus } from '../notices.mjs';

export async function saveText({ constants, page, settings, conversion, opened }) {
  conversion.convert();
  if (conversion.tooLarge) {
    showMessage(`縦書きを保存できません。\n${conversion.tooLarge}`);
    return;
  }
  $('save-name').value = withTextExtension(savedName(opened, ''));
  fillOptions($('save-encoding'), constants.saveEncodings);
  $('save-encoding').value = settings.current().saveEncoding;
  if (!await askDialog($('save-dialog'))) return;
  const encoding = $('save-encoding').value;
  const chosen = constants.saveEncodings.find((choice) => choice.name === encoding);
  const failed = page.saveSaveEncoding(encoding);
  if (failed) showStatus(`設定を保存できませんでした: ${failed}`);
  else settings.keep();
  if (chosen.lossy) {
    const lost = page.unencodableCells();
    if (lost.count !== 0 && !await showMessage(
      `${lost.count} 文字は ${chosen.label} で保存できないため「?」になります: ${[...lost.first].join('、')}\nこのまま保存しますか?`, true)) {
      showStatus('保存しませんでした。');
      return;
    }
  }
  const name = withTextExtension($('save-name').value);
  download(new Blob([page.savedBytes(encoding)], { type: 'text/plain' }), name);
  showStatus(`${name} を保存しました。`);
}
