// Setting.ini carried between the browser and the desktop program: read in
// from a file the user picks, and written out as a download, byte for byte
// as the engine keeps it.
import { download, readFileBytes } from '../page-files.mjs';
import { showMessage, showStatus } from '../notices.mjs';

// What `file` holds as settings ({name, bytes, settings}), for the settings
// dialog to show; null, the user told why, when the engine refuses it.
export async function importSettings({ engine }, file) {
  let bytes;
  try {
    bytes = await readFileBytes(file);
  } catch (error) {
    showMessage(`設定を読み込めませんでした。\n${file.name}\n${error.message}`);
    return null;
  }
  const read = engine.readSettingsFile(bytes);
  if (read.refusal) {
    showMessage(`設定を読み込めませんでした。\n${file.name}\n${read.refusal}`);
    return null;
  }
  return { name: file.name, bytes, settings: read.settings };
}

// Hands out `bytes` (a file read in and not yet taken), or the settings
// kept, as Setting.ini.
export function exportSettings({ settings }, bytes) {
  download(new Blob([bytes ?? settings.fileBytes()], { type: 'application/octet-stream' }), 'Setting.ini');
  showStatus('Setting.ini を書き出しました。');
}
