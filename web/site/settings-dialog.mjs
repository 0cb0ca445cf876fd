// The settings dialog: a working copy of the replacement table, the tab
// width, the trigger and the layout options. OK stores them through the
// engine (which writes the Setting.ini it keeps); キャンセル and Escape drop
// them. A Setting.ini read in from a file fills the dialog and is taken
// only by OK: until then キャンセル, 読み込みを取り消す or Ctrl+Z bring back
// what the dialog showed before.
// The trigger, kinsoku and entry kind controls name the engine's values
// (engine.constants()); the engine gives their numbers and the limits.
import { $, boxNumber, nameOf } from './dom.mjs';

// Puts `normal` into `box` when it differs from what was typed, keeping the
// caret where the text allows.
function normalise(box, normal) {
  if (box.value === normal) return;
  const caret = box.selectionStart;
  box.value = normal;
  box.setSelectionRange(Math.min(caret, normal.length), Math.min(caret, normal.length));
}

export class SettingsDialog {
  // `page` is the engine's page object; `onClosed` runs after OK and after
  // キャンセル alike; `onStored(imported)` keeps the new Setting.ini (and says
  // so, naming the file read in, if any); `onImport(file)` gives what the
  // file holds ({name, bytes, settings}) or null when it was refused;
  // `onExport(bytes)` hands out a Setting.ini (null: the one kept);
  // `onTakeFailed()` brings back the settings kept when OK could not store
  // a file read in.
  constructor(engine, page, callbacks) {
    this.engine = engine;
    this.page = page;
    this.constants = engine.constants();
    this.dialog = $('settings-dialog');
    this.entries = [];
    this.callbacks = callbacks;
    // The file read in and not yet taken ({name, bytes}), and what the
    // dialog showed before it.
    this.imported = null;
    this.beforeImport = null;
    $('tab-space').max = String(this.constants.maxTabSpace);
    $('column-length').max = String(this.constants.maxColumnLength);
    $('column-gap').max = String(this.constants.maxColumnGap);
    const presets = this.engine.presets();
    for (let i = 0; i < presets.length; ++i) $('preset').add(new Option(presets[i], String(i)));
    $('entry-from').addEventListener('input', () => normalise($('entry-from'), this.engine.entryFrom($('entry-from').value)));
    $('entry-to').addEventListener('input', () => this.normaliseTo());
    $('entries').addEventListener('change', () => this.pick());
    $('entry-add').addEventListener('click', () => this.add());
    $('entry-delete').addEventListener('click', () => this.remove());
    $('preset-add').addEventListener('click', () => {
      this.entries = this.engine.addPreset(this.entries, Number($('preset').value));
      this.fillList();
    });
    $('settings-import').addEventListener('click', () => $('settings-file').click());
    $('settings-file').addEventListener('change', async () => {
      const file = $('settings-file').files[0];
      $('settings-file').value = '';
      const read = file && await this.callbacks.onImport(file);
      if (read) this.showImported(read);
    });
    $('settings-import-undo').addEventListener('click', () => this.undoImport());
    $('settings-export').addEventListener('click', () => this.callbacks.onExport(this.imported?.bytes ?? null));
    this.dialog.addEventListener('close', () => this.closed());
    this.dialog.addEventListener('keydown', (event) => {
      // Enter in a box must not close the dialog or add an entry by accident.
      if (event.key === 'Enter' && event.target.tagName !== 'BUTTON') event.preventDefault();
      // Escape ends an input method's pre-edit, not the dialog.
      if (event.key === 'Escape' && event.isComposing) event.preventDefault();
      // Ctrl+Z outside a text box takes back a file read in.
      const typing = event.target.tagName === 'INPUT' && event.target.type !== 'radio';
      if ((event.ctrlKey || event.metaKey) && event.key.toLowerCase() === 'z' && !typing && this.imported) {
        event.preventDefault();
        this.undoImport();
      }
    });
  }

  open() {
    this.forgetImport();
    this.load();
    this.dialog.showModal();
    $('entries').focus();
  }

  // Shows what a file read in holds ({name, bytes, settings}); OK takes it.
  showImported({ name, bytes, settings }) {
    this.beforeImport ??= this.state();
    this.imported = { name, bytes };
    this.load(settings);
    $('settings-imported-text').textContent = `${name} の設定を表示しています。OK で保存します。`;
    $('settings-imported').hidden = false;
  }

  undoImport() {
    if (!this.imported) return;
    this.restore(this.beforeImport);
    this.forgetImport();
    $('settings-import').focus();
  }

  forgetImport() {
    this.imported = null;
    this.beforeImport = null;
    $('settings-imported').hidden = true;
  }

  // What the dialog shows, for restore().
  state() {
    const values = {};
    for (const box of this.dialog.querySelectorAll('input:not([type="file"]), select')) {
      values[box.id || `${box.name}=${box.value}`] = box.type === 'radio' ? box.checked : box.value;
    }
    return { values, entries: this.entries.map((entry) => ({ ...entry })), stored: this.stored, shownTabSpace: this.shownTabSpace };
  }

  restore({ values, entries, stored, shownTabSpace }) {
    this.entries = entries;
    this.stored = stored;
    this.shownTabSpace = shownTabSpace;
    this.fillList();
    for (const box of this.dialog.querySelectorAll('input:not([type="file"]), select')) {
      const value = values[box.id || `${box.name}=${box.value}`];
      if (box.type === 'radio') box.checked = value;
      else if (box.id !== 'entries') box.value = value;
    }
  }

  load(settings = this.page.settings()) {
    this.entries = settings.entries.map((entry) => ({ ...entry }));
    this.stored = settings;
    this.fillList();
    $('entry-from').value = '';
    $('entry-to').value = '';
    $('entry-kind').value = 'cell';
    this.shownTabSpace = String(Math.min(settings.tabSpace, this.constants.maxTabSpace));
    $('tab-space').value = this.shownTabSpace;
    for (const radio of document.querySelectorAll('input[name="trigger"]')) {
      radio.checked = this.constants.trigger[radio.value] === settings.trigger;
    }
    $('column-length').value = String(settings.columnLength);
    $('kinsoku').value = nameOf(this.constants.kinsoku, settings.kinsoku) ?? '';
    $('column-gap').value = String(settings.columnGap);
  }

  // An entry that keeps the settings file's own text of a value it could
  // not take shows the engine's mark, and what the mark says as its tip.
  row(entry) {
    const kind = entry.kind === this.constants.swapKind.cell ? ' 変換時' : ' 変換前';
    const option = new Option(`${entry.mark ?? ''}${entry.from} >> ${entry.to}${kind}`);
    if (entry.note) option.title = entry.note;
    return option;
  }

  chosenKind() {
    return this.constants.swapKind[$('entry-kind').value];
  }

  fillList() {
    const list = $('entries');
    list.replaceChildren(...this.entries.map((entry) => this.row(entry)));
    list.selectedIndex = -1;
  }

  normaliseTo() {
    normalise($('entry-to'), this.engine.entryTo($('entry-to').value, this.chosenKind()));
  }

  pick() {
    const entry = this.entries[$('entries').selectedIndex];
    if (!entry) return;
    const kind = nameOf(this.constants.swapKind, entry.kind);
    if (kind) $('entry-kind').value = kind;
    $('entry-from').value = this.engine.entryFrom(entry.from);
    $('entry-to').value = entry.to;
    this.normaliseTo();
  }

  add() {
    const from = $('entry-from').value;
    if (from === '' || this.entries.length >= this.constants.maxEntries) return;
    this.entries.push({ from, to: $('entry-to').value, kind: this.chosenKind() });
    const list = $('entries');
    const selected = list.selectedIndex;
    list.add(this.row(this.entries.at(-1)));
    list.selectedIndex = selected;
    $('entry-from').value = '';
    $('entry-to').value = '';
  }

  remove() {
    const row = $('entries').selectedIndex;
    if (row < 0) return;
    this.entries.splice(row, 1);
    this.fillList();
    $('entry-from').value = '';
    $('entry-to').value = '';
  }

  closed() {
    if (this.dialog.returnValue === 'ok') this.store();
    this.forgetImport();
    this.dialog.returnValue = '';
    this.callbacks.onClosed();
  }

  // OK: the file read in, if any, then what the dialog shows.
  store() {
    const imported = this.imported;
    if (imported && !this.page.loadSettingsFile(imported.bytes)) {
      this.callbacks.onTakeFailed();
      this.callbacks.showError(`設定を保存できませんでした。\n${imported.name}`);
      return;
    }
    const checked = document.querySelector('input[name="trigger"]:checked');
    const failed = this.page.saveSettings({
      // A stored width beyond the box's range stays unless the box changed.
      tabSpace: $('tab-space').value === this.shownTabSpace ? this.stored.tabSpace
        : boxNumber($('tab-space'), 0),
      trigger: checked ? this.constants.trigger[checked.value] : this.stored.trigger,
      entries: this.entries,
      columnLength: boxNumber($('column-length'), 0),
      kinsoku: this.constants.kinsoku[$('kinsoku').value] ?? this.constants.kinsoku.none,
      columnGap: boxNumber($('column-gap'), 0),
    });
    if (!failed) {
      this.callbacks.onStored(imported?.name ?? null);
      return;
    }
    if (imported) this.callbacks.onTakeFailed();
    this.callbacks.showError(`設定を保存できませんでした。\n${failed}`);
  }
}
