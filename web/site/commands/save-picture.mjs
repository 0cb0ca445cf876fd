// 画像として保存: the vertical text as a PNG picture or a PDF, under a name
// that follows the opened file's, in the cell size and with the lines that
// the user chooses (kept in the settings only when changed). A PNG too
// large to be one is offered as a PDF, as on the desktop.
import { $, boxNumber } from '../dom.mjs';
import { download, savedName } from '../page-files.mjs';
import { askDialog, showMessage, showStatus } from '../notices.mjs';

const TYPES = { png: '.png', pdf: '.pdf' };

function withType(name, type) {
  const base = name.replace(/\.(png|pdf)$/i, '');
  return base + TYPES[type];
}

// Keeps the picture style chosen; what the dialog does not show stays.
function keepStyle({ page, settings }, chosen) {
  const current = settings.current().picture;
  if (chosen.cellSize === current.cellSize && chosen.grid === current.grid) return;
  const failed = page.savePictureStyle({ ...current, ...chosen });
  if (failed) showStatus(`設定を保存できませんでした: ${failed}`);
  else settings.keep();
}

export async function savePicture(app) {
  const { constants, settings, conversion, pictures } = app;
  if (conversion.tooLarge) {
    showMessage(`画像にできません。\n${conversion.tooLarge}`);
    return;
  }
  const current = settings.current().picture;
  $('picture-name').value = savedName(app.opened, TYPES[$('picture-type').value]);
  $('picture-type').onchange = () => { $('picture-name').value = withType($('picture-name').value, $('picture-type').value); };
  $('cell-size').min = String(constants.minCellSize);
  $('cell-size').max = String(constants.maxCellSize);
  $('cell-size').value = String(current.cellSize);
  $('grid').checked = current.grid;
  if (!await askDialog($('picture-dialog'))) return;
  keepStyle(app, { cellSize: boxNumber($('cell-size'), constants.defaultCellSize), grid: $('grid').checked });
  let type = $('picture-type').value;
  let name = withType($('picture-name').value.trim() || savedName(app.opened, ''), type);
  showStatus('画像を作っています…');
  try {
    let made = type === 'png' ? await pictures.png() : null;
    if (made?.tooLarge) {
      const asPdf = withType(name, 'pdf');
      if (!await showMessage(`画像が大きすぎるため PNG で保存できません。\n幅 ${made.tooLarge.width} × 高さ ${made.tooLarge.height} ピクセルで、PNG は縦横とも ${constants.maxImageSide} ピクセルまでです。\n複数のページに分けて PDF (${asPdf}) として保存しますか?`, true)) {
        showStatus('保存しませんでした。');
        return;
      }
      type = 'pdf';
      name = asPdf;
    }
    if (type === 'pdf') {
      made = await pictures.pdf();
      if (made.tooLarge) {
        showMessage(`ページに分けた縦書きが大きすぎるため、PDF にできません。\n${name}`);
        showStatus('保存しませんでした。');
        return;
      }
    }
    download(made.blob, name);
    showStatus(type === 'pdf' ? `PDF で保存しました: ${name}` : `PNG 画像で保存しました: ${name}`);
  } catch (error) {
    showMessage(`画像を保存できませんでした。\n${name}\n${error.message}`);
    showStatus('保存しませんでした。');
  }
}
