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

// The output pane's font size in CSS pixels, which its zoom sets; the
// browser's own view, kept beside the settings rather than in them.
const PANE_SIZE_KEY = 'mirotabe.paneSize';

export function loadPaneSize(fallback) {
  try {
    const size = Number(localStorage.getItem(PANE_SIZE_KEY));
    return Number.isInteger(size) && size > 0 ? size : fallback;
  } catch {
    return fallback;
  }
}

export function storePaneSize(size) {
  try {
    localStorage.setItem(PANE_SIZE_KEY, String(size));
  } catch {
    // a view that is not kept is no loss
  }
}
