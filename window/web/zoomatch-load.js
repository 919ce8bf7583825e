// The quiz's loader, after the program's runtime at the end of zoomatch.js
// (and of the single-file page's script). It finds the program a way in:
// - zoomatch.wasm, compiled while it downloads; where the browser cannot
//   stream it (no compileStreaming, or another MIME type than
//   application/wasm), compiled from its bytes;
// - the same program compiled to JavaScript, zoomatch-nowasm.js, where
//   WebAssembly is missing or refused, and for a page opened as a file,
//   which may not fetch files beside it but may load their scripts. The
//   single-file page has it with it.
// It starts the program once the page's elements are all there. When none
// of this works, the page says in one line that the quiz cannot start.
// (Plain ES5, for old browsers.)
(function () {
  var served = location.protocol == 'http:' || location.protocol == 'https:';
  var single = typeof zoomatchJs == 'function';

  // The output box, first in the window's Tab round, has the focus at start,
  // as in the window, given as soon as it is there and this script runs. It
  // is given without scrolling, so that the page opens at its top even where
  // the box lies below the screen (at the end of the one column on a phone);
  // and not taken from anything the learner has focused already.
  function focusOutput() {
    var box = document.querySelector('#MainForm textarea');
    if (box && (!document.activeElement || document.activeElement === document.body))
      box.focus({ preventScroll: true, focusVisible: true });
  }
  if (document.readyState == 'loading')
    document.addEventListener('DOMContentLoaded', focusOutput);
  else
    focusOutput();

  function failed() {
    var line = document.getElementById('failed');
    if (line)
      line.hidden = false;
    else if (document.readyState == 'loading')
      document.addEventListener('DOMContentLoaded', failed);
  }

  function start(program, settings) {
    function run() {
      try {
        program(settings);
      } catch (e) {
        failed();
      }
    }
    if (document.readyState == 'loading')
      document.addEventListener('DOMContentLoaded', run);
    else
      run();
  }

  function withoutWasm() {
    if (single)
      return start(zoomatchJs, {});
    var script = document.createElement('script');
    script.src = 'zoomatch-nowasm.js';
    script.onload = function () {
      start(zoomatchJs, {});
    };
    script.onerror = failed;
    document.head.appendChild(script);
  }

  // WebAssembly is there and allowed: the smallest module compiles.
  function wasmWorks() {
    try {
      return !!new WebAssembly.Module(new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0]));
    } catch (e) {
      return false;
    }
  }

  if (single || !served || typeof WebAssembly != 'object' || !wasmWorks()) {
    withoutWasm();
  } else {
    var download = fetch('zoomatch.wasm');
    var streamed = WebAssembly.compileStreaming ? download.then(function (response) {
      return WebAssembly.compileStreaming(response.clone());
    }) : Promise.reject();
    streamed.catch(function () {
      return download.then(function (response) {
        if (!response.ok)
          throw response.status;
        return response.arrayBuffer();
      }).then(function (bytes) {
        return WebAssembly.compile(bytes);
      });
    }).then(function (module) {
      start(zoomatchWasm, { wasm: module });
    }, failed);
  }

  // Where the page is served, it is an app that works offline: its manifest,
  // and the service worker that keeps every file. A page opened as a file,
  // or the single-file page, needs neither, and asks for neither.
  if (served && !single) {
    var manifest = document.createElement('link');
    manifest.rel = 'manifest';
    manifest.href = 'manifest.webmanifest';
    document.head.appendChild(manifest);
    if ('serviceWorker' in navigator) {
      // A new version's worker takes over while the old version shows: the
      // page loads again, once, to show the new one. (The first worker takes
      // over no page.)
      var workers = navigator.serviceWorker, kept = !!workers.controller;
      workers.addEventListener('controllerchange', function () {
        if (kept)
          location.reload();
        kept = false;
      });
      // Each load of a kept page asks for the worker anew (as not every
      // browser does by itself), so that a new version is found at the next
      // load; a first visit has just fetched it.
      addEventListener('load', function () {
        workers.register('sw.js').then(function (registration) {
          return kept && registration.update();
        }).catch(function () {});
      });
    }
  }
})();
