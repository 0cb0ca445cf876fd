// ページ設定: how pictures and PDFs are drawn, as on the desktop: the
// picture's cell size, glyph forms, ruby and column spacing, and the pages
// of a PDF (paper, landscape, face, margin, character size, characters a
// column, columns a page, page numbers, line-breaking rule), kept in the
// settings' [Layout] and [Page].
import { $, boxNumber, fillOptions, nameOf } from '../dom.mjs';
import { askDialog, showStatus } from '../notices.mjs';

const BOXES = ['page-paper', 'page-landscape', 'page-face', 'page-margin', 'page-points', 'page-column-length', 'page-columns',
  'page-numbers', 'page-kinsoku'];

// Manuscript paper fixes its own orientation, squares and counts.
function updateEnabled(genkou) {
  const pages = $('page-enabled').checked;
  const isGenkou = Number($('page-paper').value) === genkou;
  for (const id of BOXES) $(id).disabled = !pages;
  for (const id of ['page-landscape', 'page-points', 'page-column-length', 'page-columns']) $(id).disabled = !pages || isGenkou;
}

export function bindPageSetup({ constants }) {
  fillOptions($('page-paper'), constants.papers.map((paper) => ({ name: String(paper.value), label: paper.label })));
  fillOptions($('page-face'), [
    { name: String(constants.typeface.mincho), label: '明朝' },
    { name: String(constants.typeface.gothic), label: 'ゴシック' },
  ]);
  const update = () => updateEnabled(constants.genkouPaper);
  $('page-enabled').addEventListener('change', update);
  $('page-paper').addEventListener('change', update);
}

export async function editPageSetup({ constants, page, settings }) {
  const { picture, page: setup } = settings.current();
  const limits = {
    'page-cell-size': [constants.minCellSize, constants.maxCellSize, picture.cellSize],
    'page-margin': [0, constants.maxMarginMm, setup.marginMm],
    'page-points': [constants.minCharacterPoints, constants.maxCharacterPoints, setup.characterPoints],
    'page-column-length': [0, constants.maxColumnLength, setup.columnLength],
    'page-columns': [0, constants.maxPageColumns, setup.columns],
  };
  for (const [id, [min, max, value]] of Object.entries(limits)) {
    Object.assign($(id), { min: String(min), max: String(max), value: String(value) });
  }
  Object.assign($('page-column-spacing'), {
    min: String(constants.minColumnSpacing), max: String(constants.maxColumnSpacing), value: String(picture.columnSpacing),
  });
  $('page-glyphs').checked = picture.verticalGlyphs;
  // Unchosen (null), pages set ruby and pictures do not.
  $('page-ruby').value = picture.ruby === null ? '' : picture.ruby ? 'on' : 'off';
  $('page-enabled').checked = setup.enabled;
  $('page-paper').value = String(setup.paper);
  $('page-landscape').checked = setup.landscape;
  $('page-face').value = String(setup.face);
  $('page-numbers').checked = setup.pageNumbers;
  const shownKinsoku = settings.current().pageKinsoku;
  $('page-kinsoku').value = nameOf(constants.kinsoku, shownKinsoku);
  updateEnabled(constants.genkouPaper);
  if (!await askDialog($('page-setup-dialog'))) return;
  const chosenKinsoku = constants.kinsoku[$('page-kinsoku').value];
  const points = Math.min(Math.max(Number($('page-points').value) || setup.characterPoints, constants.minCharacterPoints),
    constants.maxCharacterPoints);
  const failed = page.savePageSetup({
    ...picture,
    cellSize: boxNumber($('page-cell-size'), constants.defaultCellSize),
    verticalGlyphs: $('page-glyphs').checked,
    ruby: $('page-ruby').value === '' ? null : $('page-ruby').value === 'on',
    columnSpacing: Number($('page-column-spacing').value),
  }, {
    enabled: $('page-enabled').checked,
    paper: Number($('page-paper').value),
    landscape: $('page-landscape').checked,
    face: Number($('page-face').value),
    marginMm: Math.min(Math.max(Math.trunc(Number($('page-margin').value)) || 0, 0), constants.maxMarginMm),
    characterPoints: Math.round(points * 10) / 10,
    columnLength: Math.min(Math.max(Math.trunc(Number($('page-column-length').value)) || 0, 0), constants.maxColumnLength),
    columns: Math.min(Math.max(Math.trunc(Number($('page-columns').value)) || 0, 0), constants.maxPageColumns),
    pageNumbers: $('page-numbers').checked,
    // Pages keep following the layout's rule until one is chosen here.
    kinsoku: chosenKinsoku !== shownKinsoku || setup.kinsoku !== null ? chosenKinsoku : null,
  });
  if (failed) {
    showStatus(`設定を保存できませんでした: ${failed}`);
    return;
  }
  settings.keep();
  showStatus('ページ設定を保存しました。');
}
