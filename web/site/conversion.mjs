// The conversion: lays the engine's copy of the input out and shows it in
// the output pane, when the trigger of the settings says so. It knows
// whether the layout was too large, and what the output pane shows.
export class Conversion {
  // `page`: the engine's page object; `output`: the output pane;
  // `guarded`: runs a call on the engine (see mirotabe.mjs); `triggers`:
  // the numbers of the triggers (engine.constants().trigger); `trigger`:
  // the one the settings hold; `emptyHint`: what the output pane shows
  // while there is no text.
  constructor(page, output, guarded, triggers, trigger, emptyHint) {
    this.page = page;
    this.output = output;
    this.guarded = guarded;
    this.triggers = triggers;
    this.trigger = trigger;
    this.emptyHint = emptyHint;
    // Why the text cannot be shown ('' when it can), and the size shown.
    this.tooLarge = '';
    this.shown = { rows: 0, columns: 0 };
  }

  convert() {
    const result = this.guarded(() => this.page.lay());
    if (result.tooLarge) {
      this.emptyHint.hidden = true;
      this.tooLarge = result.message;
      this.output.show(0, 0, null, this.tooLarge);
      return;
    }
    this.tooLarge = '';
    this.shown = { rows: result.rows, columns: result.columns };
    const empty = result.columns === 0;
    if (this.emptyHint.hidden === empty) this.emptyHint.hidden = !empty;
    this.output.show(result.rows, result.columns,
      result.whole ? null : { first: result.firstColumn, count: result.changedColumns });
  }

  // Marks the cell of the input caret's character (`caret`, the input
  // pane's caretPlace()) in the output pane.
  markCaret(caret) {
    this.output.markCell(this.page.caretCell(caret.line, caret.lineStart, caret.offset));
  }

  // The trigger, as the settings hold it; read once per change of the
  // settings rather than at every keystroke.
  setTrigger(trigger) {
    this.trigger = trigger;
  }

  convertsOnEveryChange() {
    return this.trigger === this.triggers.everyChange;
  }

  // Whether releasing `key` in the input pane converts.
  convertsOnKey(key) {
    return (key === 'Enter' && this.trigger === this.triggers.enterKey) ||
      (key === 'F1' && this.trigger === this.triggers.f1Key);
  }
}
