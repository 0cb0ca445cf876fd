// 電子書籍 (EPUB) で保存: a vertical e-book of the input, read in the
// notation the settings name, made by the painter's module (loaded with
// the first e-book or picture), as the desktop's window makes it.
import { $ } from '../dom.mjs';
import { download, savedName } from '../page-files.mjs';
import { askDialog, showMessage, showStatus } from '../notices.mjs';

export async function saveEbook({ mirotabe, guarded, page, opened }) {
  $('ebook-name').value = savedName(opened, '.epub');
  if (!await askDialog($('ebook-dialog'))) return;
  const typed = $('ebook-name').value.trim() || savedName(opened, '.epub');
  showStatus('電子書籍を作っています…');
  try {
    const painter = await mirotabe.painter();
    const { bytes, name } = guarded(() => painter.savedEbook(page.text(), page.settingsFileBytes(), typed));
    download(new Blob([bytes], { type: 'application/epub+zip' }), name);
    showStatus(`電子書籍で保存しました: ${name}`);
  } catch (error) {
    showMessage(`電子書籍を保存できませんでした。\n${typed}\n${error.message}`);
    showStatus('保存しませんでした。');
  }
}
