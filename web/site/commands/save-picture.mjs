// 画像として保存: the vertical text as a PNG picture, in the cell size and
// with the lines that the user chooses (kept in the settings).
import { $, boxNumber } from '../dom.mjs';
import { download } from '../page-files.mjs';
import { askDialog, showMessage } from '../notices.mjs';
import { drawPicture } from '../draw-picture.mjs';

export async function savePicture({ constants, page, settings, conversion }) {
  if (conversion.tooLarge) {
    showMessage(`画像にできません。\n${conversion.tooLarge}`);
    return;
  }
  const current = settings.current();
  $('cell-size').min = String(constants.minCellSize);
  $('cell-size').max = String(constants.maxCellSize);
  $('cell-size').value = String(current.cellSize);
  $('grid').checked = current.grid;
  if (!await askDialog($('picture-dialog'))) return;
  const cellSize = boxNumber($('cell-size'), constants.defaultCellSize);
  const grid = $('grid').checked;
  if (page.savePictureStyle(cellSize, grid) === '') settings.keep();
  const picture = drawPicture(page, conversion.shown, cellSize, grid, constants.maxImageSide);
  if (!picture) {
    showMessage(`縦書きが大きすぎるため、画像にできません (一辺 ${constants.maxImageSide} ピクセルまで)。`);
    return;
  }
  picture.toBlob((blob) => download(blob, '縦書き.png'), 'image/png');
}
