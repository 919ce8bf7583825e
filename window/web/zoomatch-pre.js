// Linked at the head of zoomatch.js, in the scope of the code that calls into
// the quiz. (Plain ES5: emscripten's optimizer reads this.)

// A text that the quiz hands over as UTF-16 code units at address p, n long.
function utf16(p, n) {
  return String.fromCharCode.apply(null, HEAPU16.subarray(p >> 1, (p >> 1) + n));
}

// The service worker keeps every file of the quiz for play without a network.
// It is registered once the page has loaded, so it never delays the quiz;
// where the browser refuses it (a page not served over HTTPS or from this
// machine), the quiz simply needs the network.
if ('serviceWorker' in navigator)
  addEventListener('load', function () {
    navigator.serviceWorker.register('sw.js').catch(function () {});
  });
