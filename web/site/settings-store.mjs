// The settings: the engine holds them, as the bytes of the Setting.ini it
// reads and writes; the browser's storage keeps those bytes between visits.
// Whoever changes them calls changed(), so that what depends on them
// (the trigger of the conversion) follows.
import { loadSettingsBytes, storeSettingsBytes } from './storage.mjs';
import { showStatus } from './notices.mjs';

export class SettingsStore {
  // `page`: the engine's page object.
  constructor(page) {
    this.page = page;
    this.listeners = [];
    if (!page.loadSettingsFile(loadSettingsBytes())) {
      page.loadSettingsFile(new Uint8Array());
      showStatus('保存されていた設定を読み込めませんでした。既定の設定で続けます。');
    }
  }

  // The settings as the engine reads them (a fresh object at each call).
  current() {
    return this.page.settings();
  }

  // Keeps the engine's Setting.ini in the browser; false (and the user
  // told) when the browser refuses.
  keep() {
    if (storeSettingsBytes(this.page.settingsFileBytes())) return true;
    showStatus('設定をブラウザーに保存できませんでした。');
    return false;
  }

  // Gives the engine back the settings kept in the browser.
  restore() {
    this.page.loadSettingsFile(loadSettingsBytes());
  }

  fileBytes() {
    return this.page.settingsFileBytes();
  }

  onChanged(listener) {
    this.listeners.push(listener);
  }

  changed() {
    const settings = this.current();
    for (const listener of this.listeners) listener(settings);
  }
}
