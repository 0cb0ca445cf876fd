// 画像として保存: the vertical text as a PNG picture, in the cell size and
// with the lines that the user chooses (kept in the settings).
import { download } from '../page-files.mjs';
import { askDialog, showMessage } from '../notices.mjs';
import { drawPicture } from '../draw-picture.mjs';

const $ = (id) => document.getElementById(id);

export async function savePicture({ page, settings, conversion }) {
  if (conversion.tooLarge) {
    showMessage(`画像にできません。\n${conversion.tooLarge}`);
    return;
  }
  const current = settings.current();
  $('cell-size').value = String(current.cellSize);
  $('grid').checked = current.grid;
  if (!await askDialog($('picture-dialog'))) return;
  const cellSize = Math.min(Math.max(Math.trunc(Number($('cell-size').value)) || 24, 8), 256);
  const grid = $('grid').checked;
  if (page.savePictureStyle(cellSize, grid) === '') settings.keep();
  const picture = drawPicture(page, conversion.shown.rows, conversion.shown.columns, cellSize, grid);
  if (!picture) {
    showMessage('縦書きが大きすぎるため、画像にできません (一辺 32767 ピクセルまで)。');
    return;
  }
  picture.toBlob((blob) => download(blob, '縦書き.png'), 'image/png');
}
