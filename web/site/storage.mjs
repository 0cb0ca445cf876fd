// The settings kept in the browser: the bytes of the Setting.ini that the
// engine reads and writes, so that an export gives the file back as it was.
const KEY = 'mirotabe.settings';

function toBase64(bytes) {
  let text = '';
  for (let i = 0; i < bytes.length; i += 0x8000) {
    text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  }
  return btoa(text);
}

export function loadSettingsBytes() {
  try {
    const stored = localStorage.getItem(KEY);
    if (!stored) return new Uint8Array();
    return Uint8Array.from(atob(stored), (c) => c.charCodeAt(0));
  } catch {
    return new Uint8Array();
  }
}

// False when the browser refuses to keep them (storage off or full).
export function storeSettingsBytes(bytes) {
  try {
    localStorage.setItem(KEY, toBase64(bytes));
    return true;
  } catch {
    return false;
  }
}

// The view's options, kept in the browser by name: a string, or null when
// none was ever stored or the storage is off.
export function loadViewOption(name) {
  try {
    return localStorage.getItem(`mirotabe.view.${name}`);
  } catch {
    return null;
  }
}

export function storeViewOption(name, value) {
  try {
    localStorage.setItem(`mirotabe.view.${name}`, value);
  } catch {
    // The option then lasts until the page is left.
  }
}

// The output pane's font size in CSS pixels, which its zoom sets.
export function loadPaneSize(fallback) {
  const size = Number(loadViewOption('paneSize'));
  return Number.isInteger(size) && size > 0 ? size : fallback;
}

export function storePaneSize(size) {
  storeViewOption('paneSize', String(size));
}
