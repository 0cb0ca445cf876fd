// 縦組み表示: the output pane with the glyphs' vertical forms, or as they
// stand; kept in the settings as on the desktop.
import { $ } from '../dom.mjs';
import { showStatus } from '../notices.mjs';

export function showVerticalView({ output }, on) {
  $('vertical-view').setAttribute('aria-pressed', String(on));
  output.setVertical(on);
}

export function toggleVerticalView(app) {
  const on = !app.output.vertical;
  showVerticalView(app, on);
  const failed = app.page.saveVerticalView(on);
  if (failed) showStatus(`設定を保存できませんでした: ${failed}`);
  else app.settings.keep();
}
