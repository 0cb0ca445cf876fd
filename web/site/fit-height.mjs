// 高さに合わせる: a view option that cuts the columns shown to the rows the
// output pane can show, so that a reader on a small screen scrolls across
// the columns only, never down each one. It changes only what is shown:
// saves and copies take the layout of the settings (see the engine's
// setViewColumnLength). The choice is kept in the browser; until the user
// makes it, it is on where the panes stand one above the other.
import { $ } from './dom.mjs';
import { loadViewOption, storeViewOption } from './storage.mjs';

const OPTION = 'fitHeight';

export class FitHeight {
  // `app`: the page's parts (see page.mjs); `relaid()` runs after a new
  // layout was shown.
  constructor(app, relaid) {
    this.app = app;
    this.relaid = relaid;
    this.button = $('fit-height');
    this.length = 0;
    const stored = loadViewOption(OPTION);
    this.on = stored === null ? matchMedia('(max-width: 700px)').matches : stored === '1';
    this.button.setAttribute('aria-pressed', String(this.on));
    this.button.addEventListener('click', () => this.toggle());
    app.output.onResize = () => this.update();
    app.settings.onChanged(() => this.update());
  }

  toggle() {
    this.on = !this.on;
    this.button.setAttribute('aria-pressed', String(this.on));
    storeViewOption(OPTION, this.on ? '1' : '0');
    this.update();
  }

  // The column length the view takes now: the rows in view (one less
  // when a character may hang below the column's end), or 0 when off.
  wanted() {
    if (!this.on) return 0;
    const { constants, output, settings } = this.app;
    const hangs = settings.current().kinsoku === constants.kinsoku.hang;
    return Math.min(Math.max(1, output.rowsInView() - (hangs ? 1 : 0)), constants.maxColumnLength);
  }

  // Lays the text out again when the view's column length changed.
  update() {
    const length = this.wanted();
    if (length === this.length) return;
    this.length = length;
    this.app.page.setViewColumnLength(length);
    this.app.conversion.convert();
    this.relaid();
  }
}
