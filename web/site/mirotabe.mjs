// Mirotabe's engine as a JavaScript module, for the browser and for Node:
//
//   import createMirotabe from './mirotabe.mjs';
//   const m = await createMirotabe();
//   const r = m.convert(inputBytes, { settings, from, encoding,
//                                     columnLength, kinsoku, gap, ruby, reverse });
//   // r.bytes: what mirotabe-convert writes; r.warnings: string[]
//   const png = m.convert(inputBytes, { format: 'png', fontData, latin: 'sideways', tcy: 2 });
//   const pdf = m.convert(inputBytes, { page: 'a4', fontData, notation: 'aozora' });
//   const book = m.convert(inputBytes, { format: 'epub', title: '…' });
//
// Pictures, pages and e-books take every option of mirotabe-convert, by
// the names above (format, page, landscape, font, latin, tcy,
// columnSpacing, cellSize, grid, width, verticalGlyphs, notation, title,
// author, …), and give the bytes it writes for the same options and font
// file; fontData holds the font's bytes (.ttf, .otf or .ttc): the module
// reads no fonts of its own. They are drawn by the painter, a WebAssembly
// module of its own that createMirotabe() loads beside the engine unless
// told `{ painter: false }` (the page loads it with its first picture).
//
// Bad options and inputs throw an Error that says why; nothing is ever
// returned half done.
import createEngine from './mirotabe-engine.mjs';

// Larger inputs are refused: the layout of a text holds at most 64 Mi
// cells, and the engine's memory (2 GiB) must hold the bytes, the text and
// the output at once.
const MAX_INPUT_BYTES = 128 * 1024 * 1024;

// The options of a conversion into text; any other goes to the painter,
// which knows all of the converter's.
const TEXT_OPTIONS = new Set(['settings', 'from', 'encoding', 'columnLength', 'kinsoku', 'gap',
  'ruby', 'reverse']);

const isNode = typeof process === 'object' && typeof process.versions?.node === 'string';

async function loadModule(create, wasmName, wasmBinary) {
  const moduleSettings = {};
  if (wasmBinary) {
    moduleSettings.wasmBinary = wasmBinary;
  } else if (isNode) {
    const { readFile } = await import('node:fs/promises');
    moduleSettings.wasmBinary = await readFile(new URL(`./${wasmName}`, import.meta.url));
  }
  return create(moduleSettings);
}

const loadEngine = (wasmBinary) => loadModule(createEngine, 'mirotabe-engine.wasm', wasmBinary);
const loadPainter = async () => loadModule((await import('./mirotabe-painter.mjs')).default,
  'mirotabe-painter.wasm');

const isTextConversion = (options) => (options.format === undefined || options.format === 'text')
  && Object.keys(options).every((name) => TEXT_OPTIONS.has(name) || name === 'format');

function asBytes(value, what) {
  if (value instanceof Uint8Array) return value;
  if (value instanceof ArrayBuffer) return new Uint8Array(value);
  if (ArrayBuffer.isView(value)) return new Uint8Array(value.buffer, value.byteOffset, value.byteLength);
  throw new TypeError(`mirotabe: ${what} must be a Uint8Array or an ArrayBuffer`);
}

// The options of a text conversion (see isTextConversion), typed as the
// engine takes them.
function checkedOptions(options) {
  const checked = {};
  for (const name of ['from', 'encoding', 'kinsoku', 'ruby']) {
    if (options[name] === undefined) continue;
    if (typeof options[name] !== 'string') throw new TypeError(`mirotabe: ${name} must be a string`);
    checked[name] = options[name];
  }
  for (const name of ['columnLength', 'gap']) {
    if (options[name] === undefined) continue;
    if (typeof options[name] !== 'number') throw new TypeError(`mirotabe: ${name} must be a number`);
    checked[name] = String(options[name]);
  }
  if (options.reverse !== undefined && typeof options.reverse !== 'boolean') {
    throw new TypeError('mirotabe: reverse must be true or false');
  }
  checked.reverse = options.reverse === true;
  return checked;
}

// The engine, ready, with the painter unless `options.painter` is false.
// `options.wasmBinary` may hand over the engine's .wasm (the single-file
// page does); otherwise it is fetched beside this module.
export default async function createMirotabe(options = {}) {
  const engine = await loadEngine(options.wasmBinary);
  let painter = options.painter === false ? null : await loadPainter();
  let stopped = null;

  // Runs `call` on the engine; an engine that has run out of memory (a
  // WebAssembly trap) cannot be trusted again.
  function guarded(call) {
    if (stopped) throw new Error(`mirotabe: the engine stopped after an earlier failure (${stopped}); create a new one`);
    try {
      return call();
    } catch (error) {
      if (error instanceof WebAssembly.RuntimeError) {
        stopped = error.message;
        throw new Error(`mirotabe: the engine ran out of memory or failed: ${error.message}`);
      }
      throw error;
    }
  }

  return {
    convert(input, convertOptions = {}) {
      const bytes = asBytes(input, 'the input');
      if (bytes.length > MAX_INPUT_BYTES) {
        throw new Error(`mirotabe: the input is larger than ${MAX_INPUT_BYTES} bytes`);
      }
      if (convertOptions === null || typeof convertOptions !== 'object') {
        throw new TypeError('mirotabe: the options must be an object');
      }
      const settings = convertOptions.settings === undefined ? null
        : asBytes(convertOptions.settings, 'settings');
      let result;
      if (isTextConversion(convertOptions)) {
        const checked = checkedOptions(convertOptions);
        result = guarded(() => engine.convert(bytes, settings, checked));
      } else {
        if (!painter) throw new Error('mirotabe: pictures, pages and e-books need the painter: create the module without { painter: false }');
        const drawn = { ...convertOptions };
        if (drawn.fontData !== undefined) drawn.fontData = asBytes(drawn.fontData, 'fontData');
        result = guarded(() => painter.convert(bytes, settings, drawn));
      }
      if (result.error !== undefined) throw new Error(`mirotabe: ${result.error}`);
      return { bytes: result.bytes, warnings: result.warnings };
    },
    // What the page itself uses beyond convert().
    engine,
    guarded,
    // The painter, loaded at the first call when the module was created
    // without it.
    async painter() {
      painter ??= await loadPainter();
      return painter;
    },
  };
}
