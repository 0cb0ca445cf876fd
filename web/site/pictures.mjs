// Pictures (PNG) and PDFs of the layout, drawn by the engine's drawing plan
// with the desktop's fonts, so that the same text and Setting.ini make the
// same picture in both editions: pictures in the Gothic, pages in the face
// of their setup. Each font and the code that reads it and writes PDFs
// (drawing.mjs) are loaded the first time they are needed. A page opened
// from disk cannot load the fonts: its PNG is drawn with the system's font
// as the output pane draws, and it makes no PDF.
import { paintSheet } from './sheet-painter.mjs';

const GOTHIC_URL = 'fonts/ipag.ttf';
const MINCHO_URL = 'fonts/ipam.ttf';

// Pictures whose canvas would pass this many pixels cannot be drawn by the
// browser (Chromium's limit for one canvas).
const MAX_CANVAS_PIXELS = 268435456;

export class Pictures {
  // `standIn`: the output pane's StandInGlyphs; `family`: the pane's
  // font families.
  constructor({ engine, constants, page, settings }, standIn, family) {
    this.engine = engine;
    this.constants = constants;
    this.page = page;
    this.settings = settings;
    this.standIn = standIn;
    this.family = family;
    // Font URL → the promise of its tools.
    this.loaded = new Map();
  }

  // The drawing module and the font at `fontUrl`, the Gothic unless given
  // ({drawing, font, why}; font null with the reason where they cannot be
  // had). Tried again after a failure: the network may be back.
  async tools(fontUrl = GOTHIC_URL) {
    if (!this.loaded.has(fontUrl)) {
      this.loaded.set(fontUrl, (async () => {
        try {
          const drawing = await import('./drawing.mjs');
          const url = new URL(fontUrl, location.href);
          return { drawing, font: await drawing.loadPageFont(url, this.engine, this.constants.glyphForm), why: '' };
        } catch (error) {
          this.loaded.delete(fontUrl);
          return { drawing: null, font: null, why: error.message };
        }
      })());
    }
    return this.loaded.get(fontUrl);
  }

  // Draws the cells with the system's font, as the output pane does.
  standInCells() {
    const { standIn, family } = this;
    const asItStands = this.constants.cellOrientation.asItStands;
    const items = this.constants.cellItem;
    return {
      draw(g, text, orientation, left, top, width, height, item, wordSpacing) {
        g.font = `${width}px ${family}`;
        g.textAlign = 'center';
        g.textBaseline = 'middle';
        standIn.setSize(width);
        if (item === items.sideways) {
          g.save();
          g.translate(left + width / 2, top);
          g.rotate(Math.PI / 2);
          g.textAlign = 'left';
          g.wordSpacing = `${wordSpacing}px`;
          g.fillText(text, 0, 0);
          g.restore();
        } else if (item === items.tcy) {
          g.fillText(text, left + width / 2, top + width / 2, width);
        } else if (orientation === asItStands) {
          g.fillText(text, left + width / 2, top + width / 2);
        } else {
          standIn.draw(g, text, left + width / 2, top + width / 2);
        }
      },
    };
  }

  // The PNG's bytes as a Blob; {tooLarge: {width, height}} when its sides
  // pass the largest a PNG may have.
  async png() {
    const { drawing, font } = await this.tools();
    const { cellSize } = this.settings.current().picture;
    const box = font ? font.cellBox(cellSize) : { width: cellSize, height: cellSize };
    const plan = this.page.drawPicture(box.width, box.height, false);
    let sheet;
    try {
      sheet = plan.sheet(0);
    } finally {
      plan.delete();
    }
    const cells = font
      ? new drawing.FontCells(font, font.sizeForCell(sheet.characterSize || cellSize), this.family, this.constants)
      : this.standInCells();
    const rubyCells = font
      ? new drawing.FontCells(font, font.sizeForCell(sheet.rubyCharacterSize), this.family, this.constants)
      : cells;
    const { width, height } = sheet;
    if (width > this.constants.maxImageSide || height > this.constants.maxImageSide || width * height > MAX_CANVAS_PIXELS) {
      return { tooLarge: { width, height } };
    }
    const canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    const g = canvas.getContext('2d', { alpha: false });
    if (!g) throw new Error('画像のメモリーを確保できませんでした。');
    paintSheet(g, sheet, cells, this.family, rubyCells);
    const blob = await new Promise((resolve) => canvas.toBlob(resolve, 'image/png'));
    if (!blob) throw new Error('画像のメモリーを確保できませんでした。');
    return { blob };
  }

  // The PDF's bytes as a Blob: the pages of the page setup where it is on,
  // else the picture cut into sheets; {tooLarge: true} when the text laid
  // out for the pages is too large. `progress(n, count)` is told of each
  // sheet.
  async pdf(title, progress) {
    const current = this.settings.current();
    const pages = current.page.enabled;
    const { drawing, font, why } =
      await this.tools(pages && current.page.face === this.constants.typeface.mincho ? MINCHO_URL : GOTHIC_URL);
    if (!font) throw new Error(`PDF に埋め込むフォントを読み込めませんでした。サーバーから開いたページで保存してください。\n${why}`);
    let plan;
    if (pages) {
      plan = this.page.drawPages();
      if (!plan) return { tooLarge: true };
    } else {
      const box = font.cellBox(current.picture.cellSize);
      plan = this.page.drawPicture(box.width, box.height, true);
    }
    try {
      const bytes = await drawing.makePdf(plan, font, {
        title,
        orientations: this.constants.cellOrientation,
        items: this.constants.cellItem,
        onSheet: async (n, count) => {
          // Lets the page show how far it is, now and then.
          if (n % 16 !== 0 || count < 16) return;
          progress(n, count);
          await new Promise((resolve) => setTimeout(resolve));
        },
      });
      return { blob: new Blob([bytes], { type: 'application/pdf' }) };
    } finally {
      plan.delete();
    }
  }
}
