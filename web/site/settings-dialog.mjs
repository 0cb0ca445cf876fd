// The settings dialog: a working copy of the replacement table, the tab
// width, the trigger and the layout options. OK stores them through the
// engine (which writes the Setting.ini it keeps); キャンセル drops them.
// The trigger, kinsoku and entry kind controls name the engine's values
// (engine.constants()); the engine gives their numbers and the limits.
import { $, boxNumber } from './dom.mjs';

// Puts `normal` into `box` when it differs from what was typed, keeping the
// caret where the text allows.
function normalise(box, normal) {
  if (box.value === normal) return;
  const caret = box.selectionStart;
  box.value = normal;
  box.setSelectionRange(Math.min(caret, normal.length), Math.min(caret, normal.length));
}

// The name in `names` (an enum of engine.constants()) of `number`, if any.
const nameOf = (names, number) => Object.keys(names).find((name) => names[name] === number);

export class SettingsDialog {
  // `page` is the engine's page object; `onClosed` runs after OK and after
  // キャンセル alike; `onStored(bytes)` keeps the new Setting.ini.
  constructor(engine, page, { onClosed, onStored, onImport, onExport, showError }) {
    this.engine = engine;
    this.page = page;
    this.constants = engine.constants();
    this.dialog = $('settings-dialog');
    this.entries = [];
    this.callbacks = { onClosed, onStored, onImport, onExport, showError };
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
      if (file && await this.callbacks.onImport(file)) this.load();
    });
    $('settings-export').addEventListener('click', () => this.callbacks.onExport());
    this.dialog.addEventListener('close', () => this.closed());
    // Enter in a box must not close the dialog or add an entry by accident.
    this.dialog.addEventListener('keydown', (event) => {
      if (event.key === 'Enter' && event.target.tagName !== 'BUTTON') event.preventDefault();
      if (event.key === 'Escape') event.preventDefault();
    });
  }

  open() {
    this.load();
    this.dialog.showModal();
    $('entries').focus();
  }

  load() {
    const settings = this.page.settings();
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
    if (this.dialog.returnValue === 'ok') {
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
      if (failed) this.callbacks.showError(`設定を保存できませんでした。\n${failed}`);
      else this.callbacks.onStored();
    }
    this.dialog.returnValue = '';
    this.callbacks.onClosed();
  }
}
