// A UTF-16 array from the engine as a string, in slices that the argument
// list of fromCharCode can take.
export function unitsToString(units) {
  let text = '';
  for (let i = 0; i < units.length; i += 0x8000) text += String.fromCharCode(...units.subarray(i, i + 0x8000));
  return text;
}
