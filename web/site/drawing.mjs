// What only pictures and pages need, loaded the first time one is made:
// the page font (fontkit), its painter for canvases, and the PDF writer
// (pdf-lib). Kept out of the page's own script, whose first load it would
// double.
export { loadPageFont } from './page-font.mjs';
export { FontCells } from './font-cells.mjs';
export { makePdf } from './pdf-document.mjs';
