// バージョン情報.
import { showMessage } from '../notices.mjs';

export function showAbout({ constants }) {
  showMessage(`Mirotabe バージョン ${constants.version}\n横書きの文章を縦書きにします。\n` +
    'このページはブラウザーの中だけで動き、文章をどこにも送りません。');
}
