// Opening a text file: by the open button or Ctrl+O, by a drop on the input
// pane, or by the system when the installed app is chosen to open a file.
// The file is read in the encoding chosen beside the open button; choosing
// another reads the last file again in it.
import { readFileBytes } from '../page-files.mjs';
import { showMessage, showStatus } from '../notices.mjs';
import { unitsToString } from '../text-units.mjs';

const $ = (id) => document.getElementById(id);
const ENCODING_NAMES = {
  cp932: 'Shift_JIS', 'utf-8': 'UTF-8', 'utf-16le': 'UTF-16LE', 'utf-16be': 'UTF-16BE',
  'euc-jp': 'EUC-JP', 'iso-2022-jp': 'ISO-2022-JP',
};

export class OpenCommand {
  constructor(app) {
    this.app = app;
    $('file').addEventListener('change', () => {
      const file = $('file').files[0];
      $('file').value = '';
      if (file) this.openFile(file);
    });
    $('from').addEventListener('change', () => {
      const opened = app.opened;
      if (opened) this.openBytes(opened.name, opened.bytes);
    });
    if ('launchQueue' in window) {
      window.launchQueue.setConsumer(async (params) => {
        const handle = params.files?.[0];
        if (handle) this.openFile(await handle.getFile());
      });
    }
  }

  // Asks for a file.
  run() {
    $('file').click();
  }

  async openFile(file) {
    try {
      this.openBytes(file.name, await readFileBytes(file));
    } catch (error) {
      showMessage(`ファイルを開けませんでした。\n${file.name}\n${error.message}`);
    }
  }

  openBytes(name, bytes) {
    const { engine, guarded, input } = this.app;
    const decoded = guarded(() => engine.decodeFile(bytes, $('from').value));
    if (decoded.error) {
      showMessage(`ファイルを開けませんでした。\n${name}\n${decoded.error}`);
      return;
    }
    this.app.opened = { name, bytes };
    input.replaceAll(unitsToString(decoded.text).replaceAll('\r\n', '\n'), true);
    showStatus(decoded.undetermined ? `${name}: 文字コードを判別できませんでした`
      : `${name}: ${ENCODING_NAMES[decoded.encoding] ?? decoded.encoding} として読み込みました`);
  }
}
