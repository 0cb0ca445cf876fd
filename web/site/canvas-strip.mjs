// One strip of the output pane's canvas: a canvas element on the page and
// the 2D context that paints it.
//
// Where the browser has them, a strip is painted off the page, on an
// OffscreenCanvas, and shown on a 'bitmaprenderer' canvas, which takes
// the new picture at present(). Chromium drawing without a GPU copies
// every 2D canvas of the page for the compositor at every frame, changed
// or not, so that a keystroke that repaints one strip paid for all of
// them; a bitmaprenderer canvas is copied only when it is given a new
// picture. Elsewhere the element's own 2D context paints it directly.
export class CanvasStrip {
  constructor(canvas) {
    this.canvas = canvas;
    this.shown = typeof OffscreenCanvas === 'function' ? canvas.getContext('bitmaprenderer') : null;
    this.context = this.shown ? new OffscreenCanvas(canvas.width, canvas.height).getContext('2d', { alpha: false })
      : canvas.getContext('2d', { alpha: false });
    this.changed = false;
  }

  // Sizes the strip in device pixels, which loses its pixels and its
  // context's state (font, alignment, transform).
  resize(width, height) {
    this.canvas.width = width;
    this.canvas.height = height;
    if (!this.shown) return;
    this.context.canvas.width = width;
    this.context.canvas.height = height;
  }

  // The context to paint with; what it paints shows at the next present().
  painter() {
    this.changed = true;
    return this.context;
  }

  // Shows what was painted since the last present().
  present() {
    if (!this.changed) return;
    this.changed = false;
    if (!this.shown) return;
    const g = this.context;
    const picture = g.canvas.transferToImageBitmap();
    // Taking the picture leaves the offscreen canvas blank; it gets the
    // picture back, so that the next painting can change only some cells.
    g.save();
    g.setTransform(1, 0, 0, 1, 0, 0);
    g.drawImage(picture, 0, 0);
    g.restore();
    this.shown.transferFromImageBitmap(picture);
  }
}
