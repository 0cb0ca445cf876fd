// バージョン情報.
import { showMessage } from '../notices.mjs';

const VERSION_TEXT = 'Mirotabe バージョン 1.1.0\n横書きの文章を縦書きにします。\nこのページはブラウザーの中だけで動き、文章をどこにも送りません。';

export function showAbout() {
  showMessage(VERSION_TEXT);
}
