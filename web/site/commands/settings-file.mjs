// Setting.ini carried between the browser and the desktop program: read in
// from a file the user picks, and written out as a download, byte for byte
// as the engine keeps it.
import { download, readFileBytes } from '../page-files.mjs';
import { showMessage, showStatus } from '../notices.mjs';

// True when the settings were taken from `file`.
export async function importSettings({ settings }, file) {
  if (!settings.importFile(await readFileBytes(file))) {
    showMessage(`設定を読み込めませんでした。\n${file.name}\nファイルが大きすぎます。`);
    return false;
  }
  showStatus(`${file.name} から設定を読み込みました。`);
  return true;
}

export function exportSettings({ settings }) {
  download(new Blob([settings.fileBytes()], { type: 'application/octet-stream' }), 'Setting.ini');
}
