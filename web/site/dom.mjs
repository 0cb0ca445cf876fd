// The page's elements, and filling its controls with what the engine says.
export const $ = (id) => document.getElementById(id);

// Puts `choices` ({name, label}: the engine's) into `select` as its options.
export function fillOptions(select, choices) {
  select.replaceChildren(...choices.map((choice) => new Option(choice.label, choice.name)));
}

// The name in `names` (an enum of engine.constants()) of `number`, if any.
export const nameOf = (names, number) => Object.keys(names).find((name) => names[name] === number);

// The whole number typed into `box`, within its min and max; `fallback`
// for none or 0.
export function boxNumber(box, fallback) {
  return Math.min(Math.max(Math.trunc(Number(box.value)) || fallback, Number(box.min)), Number(box.max));
}

// Gives `root`, a shadow root, the style sheet of `css`, made once however
// many roots take it (the page's Content-Security-Policy allows no inline
// style, but sheets made by script).
const sheets = new Map();
export function adoptStyle(root, css) {
  let sheet = sheets.get(css);
  if (!sheet) {
    sheet = new CSSStyleSheet();
    sheet.replaceSync(css);
    sheets.set(css, sheet);
  }
  if (!root.adoptedStyleSheets.includes(sheet)) root.adoptedStyleSheets = [...root.adoptedStyleSheets, sheet];
}
