// Mirotabe's engine as a JavaScript module, for the browser and for Node:
//
//   import createMirotabe from './mirotabe.mjs';
//   const m = await createMirotabe();
//   const r = m.convert(inputBytes, { settings, from, encoding,
//                                     columnLength, kinsoku, gap, ruby, reverse });
//   // r.bytes: what mirotabe-convert writes; r.warnings: string[]
//
// Bad options and inputs throw an Error that says why; nothing is ever
// returned half done.
import createEngine from './mirotabe-engine.mjs';

// Larger inputs are refused: the layout of a text holds at most 64 Mi
// cells, and the engine's memory (2 GiB) must hold the bytes, the text and
// the output at once.
const MAX_INPUT_BYTES = 128 * 1024 * 1024;

const KNOWN_OPTIONS = new Set(['settings', 'from', 'encoding', 'columnLength', 'kinsoku', 'gap',
  'ruby', 'reverse']);

const isNode = typeof process === 'object' && typeof process.versions?.node === 'string';

async function loadEngine(wasmBinary) {
  const moduleSettings = {};
  if (wasmBinary) {
    moduleSettings.wasmBinary = wasmBinary;
  } else if (isNode) {
    const { readFile } = await import('node:fs/promises');
    moduleSettings.wasmBinary = await readFile(new URL('./mirotabe-engine.wasm', import.meta.url));
  }
  return createEngine(moduleSettings);
}

function asBytes(value, what) {
  if (value instanceof Uint8Array) return value;
  if (value instanceof ArrayBuffer) return new Uint8Array(value);
  if (ArrayBuffer.isView(value)) return new Uint8Array(value.buffer, value.byteOffset, value.byteLength);
  throw new TypeError(`mirotabe: ${what} must be a Uint8Array or an ArrayBuffer`);
}

function checkedOptions(options) {
  if (options === null || typeof options !== 'object') {
    throw new TypeError('mirotabe: the options must be an object');
  }
  for (const name of Object.keys(options)) {
    if (!KNOWN_OPTIONS.has(name)) throw new Error(`mirotabe: unknown option '${name}'`);
  }
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

// The engine, ready. `options.wasmBinary` may hand over the .wasm's bytes
// (the single-file page does); otherwise it is fetched beside this module.
export default async function createMirotabe(options = {}) {
  const engine = await loadEngine(options.wasmBinary);
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
      const checked = checkedOptions(convertOptions);
      const settings = convertOptions.settings === undefined ? null
        : asBytes(convertOptions.settings, 'settings');
      const result = guarded(() => engine.convert(bytes, settings, checked));
      if (result.error !== undefined) throw new Error(`mirotabe: ${result.error}`);
      return { bytes: result.bytes, warnings: result.warnings };
    },
    // What the page itself uses beyond convert().
    engine,
    guarded,
  };
}
