// Linked at the head of the program's runtime, in the scope of the code that
// calls into the quiz; the same in zoomatch.js and zoomatch-nowasm.js. (Plain
// ES5: emscripten's optimizer reads this.)

// A text that the quiz hands over as UTF-16 code units at address p, n long.
function utf16(p, n) {
  return String.fromCharCode.apply(null, HEAPU16.subarray(p >> 1, (p >> 1) + n));
}
