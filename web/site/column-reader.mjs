// The output pane's text for assistive technology: one item for each
// column in view, right to left as the columns are read, each column's
// characters top to bottom, without the full-width spaces that pad it.
// A listener then hears each line of the text whole, in reading order.

const PADDING = /\u3000+$/u;

// The columns of `cells` (rows × columns, row by row, left to right), in
// reading order.
export function readingColumns(cells, rows, columns) {
  const texts = [];
  for (let column = columns - 1; column >= 0; --column) {
    let text = '';
    for (let row = 0; row < rows; ++row) text += cells[row * columns + column];
    texts.push(text.replace(PADDING, ''));
  }
  return texts;
}

// Puts `texts` into the list `reader` as its items, changing only the
// items that differ; `rows` is the count of rows they were cut from.
export function fillReader(reader, texts, rows) {
  const items = reader.children;
  while (items.length > texts.length) items[items.length - 1].remove();
  texts.forEach((text, i) => setReaderItem(reader, i, text));
  reader.dataset.rows = String(rows);
}

// Makes item `i` of `reader`, which has at least `i` items, read `text`.
export function setReaderItem(reader, i, text) {
  const items = reader.children;
  if (i < items.length) {
    if (items[i].textContent !== text) items[i].textContent = text;
    return;
  }
  const item = document.createElement('li');
  item.textContent = text;
  reader.append(item);
}
