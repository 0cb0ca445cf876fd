// Pictures (PNG) and PDFs of the layout, drawn by the painter that every
// edition shares (the module's painter, WebAssembly) in the desktop's
// fonts, so that the same text and Setting.ini make the same bytes as the
// desktop's window: pictures in the Gothic, pages in the face of their
// setup. The painter and each font are loaded the first time they are
// needed, and the service worker keeps them from then on. A page opened
// from disk can load neither: its PNG is drawn with the system's font as
// the output pane draws, and it makes no PDF.
import { paintSheet } from './sheet-painter.mjs';

// By the face's number (constants().typeface).
const FONT_URLS = ['fonts/ipam.ttf', 'fonts/ipag.ttf'];

// Pictures whose canvas would pass this many pixels cannot be drawn by the
// browser (Chromium's limit for one canvas).
const MAX_CANVAS_PIXELS = 268435456;

export class Pictures {
  // `mirotabe`: the module (its painter is loaded from it); `standIn`: the
  // output pane's StandInGlyphs; `family`: the pane's font families.
  constructor({ mirotabe, guarded, constants, page }, standIn, family) {
    this.mirotabe = mirotabe;
    this.guarded = guarded;
    this.constants = constants;
    this.page = page;
    this.standIn = standIn;
    this.family = family;
    // Face → the promise of the painter with that face's font handed in.
    this.loaded = new Map();
  }

  // The painter with the font of `face` (the Gothic unless given) handed
  // in: {painter, why}, painter null with the reason where they cannot be
  // had. Tried again after a failure: the network may be back.
  async tools(face = this.constants.typeface.gothic) {
    if (!this.loaded.has(face)) {
      this.loaded.set(face, (async () => {
        try {
          const [painter, response] = await Promise.all([this.mirotabe.painter(),
            fetch(new URL(FONT_URLS[face], location.href))]);
          if (!response.ok) throw new Error(`${response.url}: ${response.status} ${response.statusText}`);
          const failed = painter.installFont(face, new Uint8Array(await response.arrayBuffer()));
          if (failed) throw new Error(failed);
          return { painter, why: '' };
        } catch (error) {
          this.loaded.delete(face);
          return { painter: null, why: error.message };
        }
      })());
    }
    return this.loaded.get(face);
  }

  // The page's text and settings, as the painter takes them.
  drawn(draw) {
    const made = this.guarded(() => draw(this.page.text(), this.page.settingsFileBytes()));
    if (made.tooLarge !== undefined) return { tooLarge: made.tooLarge };
    if (made.error !== undefined) throw new Error(made.error);
    return made;
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
    const { painter } = await this.tools();
    if (!painter) return this.standInPng();
    const made = this.drawn((text, settings) => painter.savedPicture(text, settings, false));
    return made.tooLarge ? made : { blob: new Blob([made.bytes], { type: 'image/png' }) };
  }

  // The PNG drawn on a canvas with the system's font, where the painter
  // and its fonts cannot be loaded.
  async standInPng() {
    const { cellSize } = this.page.settings().picture;
    const plan = this.page.drawPicture(cellSize, cellSize, false);
    let sheet;
    try {
      sheet = plan.sheet(0);
    } finally {
      plan.delete();
    }
    const { width, height } = sheet;
    if (width > this.constants.maxImageSide || height > this.constants.maxImageSide || width * height > MAX_CANVAS_PIXELS) {
      return { tooLarge: { width, height } };
    }
    const canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    const g = canvas.getContext('2d', { alpha: false });
    if (!g) throw new Error('画像のメモリーを確保できませんでした。');
    const cells = this.standInCells();
    paintSheet(g, sheet, cells, this.family, cells);
    const blob = await new Promise((resolve) => canvas.toBlob(resolve, 'image/png'));
    if (!blob) throw new Error('画像のメモリーを確保できませんでした。');
    return { blob };
  }

  // The PDF's bytes as a Blob: the pages of the page setup where it is on,
  // else the picture cut into sheets; {tooLarge: true} when the text laid
  // out for the pages is too large.
  async pdf() {
    const current = this.page.settings();
    const pages = current.page.enabled;
    const { painter, why } = await this.tools(pages ? current.page.face : this.constants.typeface.gothic);
    if (!painter) throw new Error(`PDF に埋め込むフォントを読み込めませんでした。サーバーから開いたページで保存してください。\n${why}`);
    const made = this.drawn((text, settings) => (pages ? painter.savedPages(text, settings)
      : painter.savedPicture(text, settings, true)));
    return made.tooLarge ? { tooLarge: true } : { blob: new Blob([made.bytes], { type: 'application/pdf' }) };
  }
}
