// Opening a text file: by the open button or Ctrl+O, by a drop on the input
// pane, or by the system when the installed app is chosen to open a file.
// The file is read in the encoding chosen beside the open button; choosing
// another reads the last file again in it.
import { $, fillOptions } from '../dom.mjs';
import { readFileBytes } from '../page-files.mjs';
import { showMessage, showStatus } from '../notices.mjs';
import { unitsToString } from '../text-units.mjs';

export class OpenCommand {
  constructor(app) {
    this.app = app;
    fillOptions($('from'), app.constants.openEncodings);
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
    const decoded = guarded(() => engine.decodeFile(bytes, $('from').value, name));
    if (decoded.error) {
      showMessage(`ファイルを開けませんでした。\n${name}\n${decoded.error}`);
      return;
    }
    this.app.opened = { name, bytes };
    // A tab, like the desktop's window, is titled with the file it holds.
    document.title = `${name} — Mirotabe`;
    input.replaceAll(unitsToString(decoded.text).replaceAll('\r\n', '\n'), true);
    // Bytes lost to U+FFFD are said before anything else: 開き直す with
    // another encoding may bring them back.
    showStatus(decoded.undecodable ? unitsToString(decoded.undecodable)
      : decoded.undetermined ? `${name}: 文字コードを判別できませんでした`
        : `${name}: ${decoded.encodingName} として読み込みました`);
  }
}
