// Files of the page: reading what the user opens or drops, and handing
// results over as downloads. Nothing leaves the computer.

export function readFileBytes(file) {
  return file.arrayBuffer().then((buffer) => new Uint8Array(buffer));
}

// The save command's rule: ".txt" is added unless the name ends in it, in
// any letter case.
export function withTextExtension(name) {
  return name.slice(-4).toUpperCase() === '.TXT' ? name : `${name}.txt`;
}

// The name that what is made of the opened file is offered under: the
// file's name without ".txt", then "-縦書き" and `extension`; "縦書き" and
// `extension` before a file is opened.
export function savedName(opened, extension) {
  return `${opened ? `${opened.name.replace(/\.txt$/i, '')}-縦書き` : '縦書き'}${extension}`;
}

export function download(blob, name) {
  const url = URL.createObjectURL(blob);
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

// The vertical text on the clipboard; a page opened from disk may have no
// clipboard API, where the older copy command serves.
export async function copyText(text) {
  if (navigator.clipboard && window.isSecureContext) {
    try {
      await navigator.clipboard.writeText(text);
      return true;
    } catch {
      // fall through to the copy command
    }
  }
  const area = document.createElement('textarea');
  area.value = text;
  document.body.append(area);
  area.select();
  const copied = document.execCommand('copy');
  area.remove();
  return copied;
}
