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

// The output box, first in the window's Tab round, has the focus at start, as
// in the window, given as soon as the script runs. It is given without
// scrolling, so that the page opens at its top even where the box lies below
// the screen (at the end of the one column on a phone); and not taken from
// anything the learner has focused already.
(function () {
  var box = document.querySelector('#MainForm textarea');
  if (box && (!document.activeElement || document.activeElement === document.body))
    box.focus({preventScroll: true, focusVisible: true});
})();
