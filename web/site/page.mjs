// The page: the engine, the input pane, the output pane and the dialogs,
// wired as the desktop window wires its panes to the same functions. The
// parts live in one object, `app`, that the commands (commands.mjs) take.
import createMirotabe from './mirotabe.mjs';
import { bindCommands } from './commands.mjs';
import { OpenCommand } from './commands/open.mjs';
import { exportSettings, importSettings } from './commands/settings-file.mjs';
import { Conversion } from './conversion.mjs';
import { $ } from './dom.mjs';
import { FitHeight } from './fit-height.mjs';
import { InputPane } from './input-pane.mjs';
import { showMessage, showStatus } from './notices.mjs';
import { OutputPane } from './output-pane.mjs';
import { bindPageSetup } from './commands/page-setup.mjs';
import { showVerticalView } from './commands/vertical-view.mjs';
import { bindPaneZoom, DEFAULT_PANE_SIZE } from './pane-zoom.mjs';
import { Pictures } from './pictures.mjs';
import { StandInGlyphs } from './stand-in-glyphs.mjs';
import { loadPaneSize } from './storage.mjs';
import { SettingsDialog } from './settings-dialog.mjs';
import { SettingsStore } from './settings-store.mjs';
import { bindToolbarMenu } from './toolbar-menu.mjs';

// Where nothing can be dropped (a phone, a tablet: a finger is the only
// pointer), the input pane does not ask for a drop.
const PLACEHOLDER = !matchMedia('(pointer: coarse)').matches
  ? 'ここに横書きの文章を入力するか、ファイルをドロップしてください'
  : 'ここに横書きの文章を入力してください（ファイルは「開く」から）';

// Starts the page. `wasmBinary` hands over the engine's .wasm where it
// cannot be fetched beside the engine's module (the single-file page).
export async function startPage({ wasmBinary } = {}) {
  let mirotabe;
  try {
    mirotabe = await createMirotabe({ wasmBinary, painter: false });
  } catch (error) {
    showStatus(`エンジンを読み込めませんでした: ${error.message}`);
    return;
  }
  const { engine, guarded } = mirotabe;
  const constants = engine.constants();
  const page = new engine.Page();
  const settings = new SettingsStore(page);
  const standIn = new StandInGlyphs(engine, constants);
  const output = new OutputPane($('output'), page, standIn, {
    size: loadPaneSize(DEFAULT_PANE_SIZE),
    vertical: settings.current().verticalView,
  });
  const conversion = new Conversion(page, output, guarded, constants.trigger, settings.current().trigger,
    document.querySelector('#output .empty-hint'));
  settings.onChanged((current) => conversion.setTrigger(current.trigger));
  // `opened`: the file last opened ({name, bytes}), or null.
  const app = { mirotabe, engine, guarded, constants, page, settings, output, conversion, opened: null };
  app.pictures = new Pictures(app, standIn, getComputedStyle(document.documentElement).getPropertyValue('--pane-font'));
  showVerticalView(app, output.vertical);
  bindPaneZoom(output, engine);
  bindPageSetup(app);

  // The engine mirrors the input pane's text, edit by edit.
  const markCaret = () => conversion.markCaret(app.input.caretPlace());
  app.input = new InputPane($('input'), { label: '入力', placeholderText: PLACEHOLDER }, {
    replaced: (offset, removed, text) => guarded(() => page.replace(offset, removed, text)),
    changed: () => {
      if (conversion.convertsOnEveryChange()) conversion.convert();
    },
    caretMoved: markCaret,
    keyReleased: (key) => {
      if (!conversion.convertsOnKey(key)) return;
      conversion.convert();
      markCaret();
    },
    fileDropped: (file) => app.openCommand.openFile(file),
  });
  app.openCommand = new OpenCommand(app);
  app.settingsDialog = new SettingsDialog(engine, page, {
    onClosed: () => {
      settings.changed();
      showVerticalView(app, settings.current().verticalView);
      app.input.focus();
      if (conversion.convertsOnEveryChange()) {
        conversion.convert();
        markCaret();
      }
    },
    onStored: (imported) => {
      if (settings.keep()) showStatus(imported ? `${imported} から読み込んだ設定を保存しました。` : '設定を保存しました。');
    },
    onImport: (file) => importSettings(app, file),
    onExport: (bytes) => exportSettings(app, bytes),
    onTakeFailed: () => settings.restore(),
    showError: (text) => showMessage(text),
  });
  bindCommands(app);
  bindToolbarMenu();
  app.fitHeight = new FitHeight(app, markCaret);

  conversion.convert();
  app.input.focus();
  document.documentElement.dataset.ready = 'true';
  performance.mark('mirotabe-interactive');
}
