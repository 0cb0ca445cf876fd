// The page: the input pane, the output pane and the commands, wired to the
// engine as the desktop window wires its panes to the same functions.
import createMirotabe from './mirotabe.mjs';
import { InputPane } from './input-pane.mjs';
import { OutputPane } from './output-pane.mjs';
import { SettingsDialog } from './settings-dialog.mjs';
import { copyText, download, readFileBytes, withTextExtension } from './page-files.mjs';
import { loadSettingsBytes, storeSettingsBytes } from './storage.mjs';

const $ = (id) => document.getElementById(id);
const VERSION_TEXT = 'Mirotabe バージョン 1.1.0\n横書きの文章を縦書きにします。\nこのページはブラウザーの中だけで動き、文章をどこにも送りません。';
const ENCODING_NAMES = {
  cp932: 'Shift_JIS', 'utf-8': 'UTF-8', 'utf-16le': 'UTF-16LE', 'utf-16be': 'UTF-16BE',
  'euc-jp': 'EUC-JP', 'iso-2022-jp': 'ISO-2022-JP',
};

const PLACEHOLDER = 'ここに横書きの文章を入力するか、ファイルをドロップしてください';
const status = (text) => { $('status').textContent = text; };

// A message box; resolves true for OK. `ask` shows キャンセル too.
function message(text, ask = false) {
  const dialog = $('message-dialog');
  $('message-text').textContent = text;
  $('message-cancel').hidden = !ask;
  dialog.returnValue = '';
  dialog.showModal();
  return new Promise((resolve) => {
    dialog.addEventListener('close', () => resolve(dialog.returnValue === 'ok'), { once: true });
  });
}

function ask(dialog) {
  dialog.returnValue = '';
  dialog.showModal();
  return new Promise((resolve) => {
    dialog.addEventListener('close', () => resolve(dialog.returnValue === 'ok'), { once: true });
  });
}

// Starts the page. `wasmBinary` hands over the engine's .wasm where it
// cannot be fetched beside the engine's module (the single-file page).
export async function startPage({ wasmBinary } = {}) {
  let mirotabe;
  try {
    mirotabe = await createMirotabe({ wasmBinary });
  } catch (error) {
    status(`エンジンを読み込めませんでした: ${error.message}`);
    return;
  }
  const { engine, guarded } = mirotabe;
  const page = new engine.Page();
  if (!page.loadSettingsFile(loadSettingsBytes())) {
    page.loadSettingsFile(new Uint8Array());
    status('保存されていた設定を読み込めませんでした。既定の設定で続けます。');
  }
  const output = new OutputPane($('output'), page);
  let tooLarge = '';
  let shown = { rows: 0, columns: 0 };
  let lastFile = null;  // {name, bytes}: reopened when another encoding is chosen

  const keepSettings = () => {
    if (!storeSettingsBytes(page.settingsFileBytes())) {
      status('設定をブラウザーに保存できませんでした。');
    }
  };

  function convert() {
    const result = guarded(() => page.lay());
    if (result.tooLarge) {
      tooLarge = `縦書きにすると大きすぎるため表示できません。\n${result.lines} 行 × 最長 ${result.longestLine} 文字は、上限の ${result.bound} 文字を超えています。`;
      output.show(0, 0, null, tooLarge);
      return;
    }
    tooLarge = '';
    shown = { rows: result.rows, columns: result.columns };
    output.show(result.rows, result.columns,
      result.whole ? null : { first: result.firstColumn, count: result.changedColumns });
  }

  // The trigger, read once per change of the settings rather than at
  // every keystroke.
  let trigger = page.settings().trigger;
  const onChange = () => {
    if (trigger === 2) convert();
  };

  // The engine mirrors the input pane's text, edit by edit.
  const inputPane = new InputPane($('input'), { label: '入力', placeholderText: PLACEHOLDER }, {
    replaced: (offset, removed, text) => guarded(() => page.replace(offset, removed, text)),
    changed: onChange,
    caretMoved: () => followCaret(),
    keyReleased: (key) => {
      if ((key === 'Enter' && trigger === 0) || (key === 'F1' && trigger === 1)) {
        convert();
        followCaret();
      }
    },
    fileDropped: (file) => openFile(file),
  });

  // Marks the cell of the input caret's character in the output pane.
  function followCaret() {
    const caret = inputPane.caretPlace();
    output.markCell(page.caretCell(caret.line, caret.lineStart, caret.offset));
  }

  function setInput(text) {
    inputPane.replaceAll(text.replaceAll('\r\n', '\n'), true);
  }

  function openBytes(name, bytes) {
    const decoded = guarded(() => engine.decodeFile(bytes, $('from').value));
    if (decoded.error) {
      message(`ファイルを開けませんでした。\n${name}\n${decoded.error}`);
      return;
    }
    lastFile = { name, bytes };
    setInput(unitsToString(decoded.text));
    status(decoded.undetermined ? `${name}: 文字コードを判別できませんでした`
      : `${name}: ${ENCODING_NAMES[decoded.encoding] ?? decoded.encoding} として読み込みました`);
  }

  async function openFile(file) {
    try {
      openBytes(file.name, await readFileBytes(file));
    } catch (error) {
      message(`ファイルを開けませんでした。\n${file.name}\n${error.message}`);
    }
  }

  $('open').addEventListener('click', () => $('file').click());
  $('file').addEventListener('change', () => {
    const file = $('file').files[0];
    $('file').value = '';
    if (file) openFile(file);
  });
  $('from').addEventListener('change', () => {
    if (lastFile) openBytes(lastFile.name, lastFile.bytes);
  });
  if ('launchQueue' in window) {
    window.launchQueue.setConsumer(async (params) => {
      const handle = params.files?.[0];
      if (handle) openFile(await handle.getFile());
    });
  }

  async function save() {
    if (tooLarge) {
      message(`縦書きを保存できません。\n${tooLarge}`);
      return;
    }
    $('save-name').value = withTextExtension(lastFile ? lastFile.name.replace(/\.txt$/i, '') + '-縦書き' : '縦書き');
    $('save-encoding').value = page.settings().saveEncoding;
    if (!await ask($('save-dialog'))) return;
    const encoding = $('save-encoding').value;
    const failed = page.saveSaveEncoding(encoding);
    if (failed) status(`設定を保存できませんでした: ${failed}`);
    else keepSettings();
    if (encoding === 'cp932') {
      const lost = page.unencodableCells();
      if (lost.count !== 0 && !await message(
        `${lost.count} 文字は Shift_JIS で保存できないため「?」になります: ${[...lost.first].join('、')}\nこのまま保存しますか?`, true)) {
        status('保存しませんでした。');
        return;
      }
    }
    const name = withTextExtension($('save-name').value);
    download(new Blob([page.savedBytes(encoding)], { type: 'text/plain' }), name);
    status(`${name} を保存しました。`);
  }

  function reverse() {
    const horizontal = guarded(() => page.reverse());
    if (horizontal === null) {
      message('大きすぎるため横書きに戻せません。');
      return;
    }
    inputPane.focus();
    inputPane.replaceAll(unitsToString(horizontal).replaceAll('\r\n', '\n'), false);
  }

  async function copyOutput() {
    if (tooLarge) return;
    const copied = await copyText(unitsToString(page.outputText()));
    status(copied ? '縦書きをコピーしました。' : 'コピーできませんでした。');
  }

  async function savePicture() {
    if (tooLarge) {
      message(`画像にできません。\n${tooLarge}`);
      return;
    }
    const settings = page.settings();
    $('cell-size').value = String(settings.cellSize);
    $('grid').checked = settings.grid;
    if (!await ask($('picture-dialog'))) return;
    const cellSize = Math.min(Math.max(Math.trunc(Number($('cell-size').value)) || 24, 8), 256);
    const grid = $('grid').checked;
    if (page.savePictureStyle(cellSize, grid) === '') keepSettings();
    const picture = drawPicture(page, shown.rows, shown.columns, cellSize, grid);
    if (!picture) {
      message('縦書きが大きすぎるため、画像にできません (一辺 32767 ピクセルまで)。');
      return;
    }
    picture.toBlob((blob) => download(blob, '縦書き.png'), 'image/png');
  }

  const settingsDialog = new SettingsDialog(engine, page, {
    onClosed: () => {
      trigger = page.settings().trigger;
      inputPane.focus();
      if (trigger === 2) {
        convert();
        followCaret();
      }
    },
    onStored: keepSettings,
    onImport: async (file) => {
      const bytes = await readFileBytes(file);
      if (!page.loadSettingsFile(bytes)) {
        message(`設定を読み込めませんでした。\n${file.name}\nファイルが大きすぎます。`);
        page.loadSettingsFile(loadSettingsBytes());
        return false;
      }
      keepSettings();
      status(`${file.name} から設定を読み込みました。`);
      return true;
    },
    onExport: () => download(new Blob([page.settingsFileBytes()], { type: 'application/octet-stream' }), 'Setting.ini'),
    showError: (text) => message(text),
  });

  $('save').addEventListener('click', save);
  $('reverse').addEventListener('click', reverse);
  $('copy').addEventListener('click', copyOutput);
  $('picture').addEventListener('click', savePicture);
  $('settings').addEventListener('click', () => settingsDialog.open());
  $('about').addEventListener('click', () => message(VERSION_TEXT));
  document.addEventListener('keydown', (event) => {
    if (!(event.ctrlKey || event.metaKey) || document.querySelector('dialog[open]')) return;
    const key = event.key.toLowerCase();
    const command = key === 'o' ? () => $('file').click()
      : key === 's' ? save
        : key === 'c' && event.shiftKey ? copyOutput : null;
    if (!command) return;
    event.preventDefault();
    command();
  });

  convert();
  inputPane.focus();
  document.documentElement.dataset.ready = 'true';
  performance.mark('mirotabe-interactive');
}

// A UTF-16 array from the engine as a string, in slices that the argument
// list of fromCharCode can take.
function unitsToString(units) {
  let text = '';
  for (let i = 0; i < units.length; i += 0x8000) text += String.fromCharCode(...units.subarray(i, i + 0x8000));
  return text;
}

// The layout drawn whole as a picture: square cells of `cellSize` pixels,
// glyphs centred, and manuscript-paper lines when `grid`. Null when a side
// would pass 32767 pixels, as for the desktop's pictures.
function drawPicture(page, rows, columns, cellSize, grid) {
  const margin = Math.round(cellSize / 2);
  const width = columns * cellSize + 2 * margin;
  const height = rows * cellSize + 2 * margin;
  if (width > 32767 || height > 32767 || rows === 0) return null;
  const canvas = document.createElement('canvas');
  canvas.width = width;
  canvas.height = height;
  const g = canvas.getContext('2d');
  g.fillStyle = '#fff';
  g.fillRect(0, 0, width, height);
  if (grid) {
    g.strokeStyle = '#c89090';
    g.lineWidth = 1;
    for (let c = 0; c <= columns; ++c) g.strokeRect(margin + c * cellSize + 0.5, margin + 0.5, 0, rows * cellSize);
    for (let r = 0; r <= rows; ++r) g.strokeRect(margin + 0.5, margin + r * cellSize + 0.5, columns * cellSize, 0);
  }
  g.fillStyle = '#000';
  g.font = `${Math.round(cellSize * 0.85)}px ${getComputedStyle(document.documentElement).getPropertyValue('--pane-font')}`;
  g.textAlign = 'center';
  g.textBaseline = 'middle';
  const band = 256;
  for (let first = 0; first < rows; first += band) {
    const count = Math.min(band, rows - first);
    const units = page.cells(first, count, 0, columns);
    let i = 0;
    for (let r = 0; r < count; ++r) {
      for (let c = 0; c < columns; ++c) {
        const length = units[i++];
        const cell = String.fromCharCode(...units.subarray(i, i + length));
        i += length;
        if (cell === '' || cell === '\u3000') continue;
        g.fillText(cell, margin + (c + 0.5) * cellSize, margin + (first + r + 0.5) * cellSize);
      }
    }
  }
  return canvas;
}
